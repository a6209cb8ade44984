// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "lineframer.h"
#include "commandline.h"

LineFramer::LineFramer(const QSet<QString> &payloadCommands)
    : m_payloadCommands(payloadCommands)
{
}

LineFramer::Result LineFramer::next(KZemvikBuffer &buffer, Frame &frame)
{
    const int p = buffer.findNewline();
    if (p < 0) {
        // A CR that waits for its LF may sit one byte past the cap.
        if (buffer.length() > CommandLine::MaxLineLength + 1) {
            m_error = QStringLiteral("line longer than %1 bytes").arg(CommandLine::MaxLineLength);
            return Result::Error;
        }
        return Result::NeedMore;
    }
    if (p > CommandLine::MaxLineLength) {
        m_error = QStringLiteral("line longer than %1 bytes").arg(CommandLine::MaxLineLength);
        return Result::Error;
    }
    const QString line = QString::fromUtf8(buffer.constData(), p);
    QStringList fields = CommandLine::split(line);
    const bool payload = !fields.isEmpty() && m_payloadCommands.contains(fields.first());
    if (!payload) {
        buffer.remove(p + 2);
        frame.line = line;
        frame.fields = std::move(fields);
        frame.hasPayload = false;
        frame.payload.clear();
        return Result::Frame;
    }
    bool ok = false;
    const qlonglong n = fields.size() >= 2 ? fields.last().toLongLong(&ok) : -1;
    if (!ok || n < 0 || n > CommandLine::MaxPayloadLength) {
        m_error = QStringLiteral("bad payload length in \"%1\"").arg(line.left(80));
        return Result::Error;
    }
    if (buffer.length() - (p + 2) < n) {
        return Result::NeedMore;
    }
    frame.payload = buffer.mid(p + 2, int(n));
    buffer.remove(p + 2 + int(n));
    frame.line = line;
    frame.fields = std::move(fields);
    frame.hasPayload = true;
    return Result::Frame;
}

QString LineFramer::errorString() const
{
    return m_error;
}
