// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "commandline.h"

namespace CommandLine
{
QStringList split(const QString &line)
{
    return line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString escape(const QString &text)
{
    if (text.isEmpty()) {
        return QStringLiteral("%00");
    }
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char(' ')) {
            out += QLatin1String("%20");
        } else if (c == QLatin1Char('\r')) {
            out += QLatin1String("%0D");
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1String("%0A");
        } else {
            out += c;
        }
    }
    return out;
}

QString unescape(const QString &text)
{
    QString out = text;
    out.replace(QLatin1String("%20"), QLatin1String(" "));
    out.replace(QLatin1String("%0D"), QLatin1String("\r"));
    out.replace(QLatin1String("%0A"), QLatin1String("\n"));
    return out;
}

QString unescapeField(const QString &field)
{
    if (field == QLatin1String("%00")) {
        return QString();
    }
    return unescape(field);
}

int intField(const QStringList &fields, int i, int fallback)
{
    if (i < 0 || i >= fields.size()) {
        return fallback;
    }
    bool ok = false;
    const int value = fields.at(i).toInt(&ok);
    return ok ? value : fallback;
}

int byteLength(const QString &text)
{
    return text.toUtf8().size();
}
}
