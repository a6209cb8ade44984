// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "kzemvikbuffer.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

//! Cuts command lines, and the counted payloads that follow some of them, out of a buffer.
//! A frame's bytes are removed from the buffer before the frame is handed out, so a handler
//! that spins a nested event loop can never see the same line twice.
class LineFramer
{
public:
    enum class Result {
        NeedMore, //!< no complete frame yet; the bytes stay in the buffer
        Frame, //!< one frame was cut and removed from the buffer
        Error, //!< a line or payload length over its cap, or a bad length field: close the connection
    };

    struct Frame {
        QString line; //!< the command line without CR LF
        QStringList fields; //!< the line split on blanks
        bool hasPayload = false;
        QByteArray payload;
    };

    //! payloadCommands: command words whose last field counts the payload bytes after the line.
    explicit LineFramer(const QSet<QString> &payloadCommands);

    Result next(KZemvikBuffer &buffer, Frame &frame);
    //! Why the last Error was returned.
    QString errorString() const;

private:
    QSet<QString> m_payloadCommands;
    QString m_error;
};
