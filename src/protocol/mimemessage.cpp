// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "mimemessage.h"

#include "commandline.h"
#include "protocol_debug.h"

#include <QDateTime>
#include <QUuid>

namespace
{
const QString s_crlf = QStringLiteral("\r\n");

//! A header value must stay on its line, whatever the caller passes.
QString headerValue(QString value)
{
    value.remove(QLatin1Char('\r'));
    value.remove(QLatin1Char('\n'));
    return value;
}
}

MimeMessage::MimeMessage(QObject *parent)
    : QObject(parent)
{
}

MimeMessage::MimeMessage(const QByteArray &payload, QObject *parent)
    : QObject(parent)
{
    qCDebug(KZEMVIK_PROTOCOL) << "MimeMessage - Constructor.";
    const int zero = payload.indexOf('\0');
    parse(QString::fromUtf8(payload.constData(), zero < 0 ? payload.size() : zero));
}

void MimeMessage::parse(const QString &text)
{
    qCDebug(KZEMVIK_PROTOCOL) << "MimeMessage - Parse the message.";
    QString header;
    const int end = text.indexOf(QLatin1String("\r\n\r\n"));
    if (end < 0) {
        header = text;
    } else {
        header = text.left(end + 2);
        m_body = text.mid(end + 4);
    }
    const QVector<QStringRef> lines = header.splitRef(s_crlf);
    for (const QStringRef &line : lines) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 0) {
            // No colon ("IMSG"), or an empty name.
            continue;
        }
        const QStringRef value = line.mid(colon + 1);
        addField(line.left(colon).toString(), value.isEmpty() ? QString() : value.toString());
    }
}

QString MimeMessage::getValue(const QString &name) const
{
    const int i = m_fieldNames.indexOf(name);
    if (i < 0) {
        qCDebug(KZEMVIK_PROTOCOL) << "MimeMessage - WARNING - This message contained no field" << name;
        return QString();
    }
    return m_fieldValues.at(i);
}

QString MimeMessage::getBody() const
{
    return m_body;
}

void MimeMessage::addField(const QString &name, const QString &value)
{
    m_fieldNames.append(name);
    m_fieldValues.append(value);
}

int MimeMessage::fieldCount() const
{
    return m_fieldNames.count();
}

const QStringList &MimeMessage::fieldNames() const
{
    return m_fieldNames;
}

void MimeMessage::print() const
{
    qCDebug(KZEMVIK_PROTOCOL) << "MimeMessage - Printing MIME message, " << fieldCount() << " fields.";
    for (int i = 0; i < m_fieldNames.count(); ++i) {
        qCDebug(KZEMVIK_PROTOCOL) << m_fieldNames.at(i) << m_fieldValues.at(i);
    }
    qCDebug(KZEMVIK_PROTOCOL) << "MimeMessage - Print - Body:" << m_body;
}

QString MimeMessage::buildMemo(const QString &ownId, const QString &recipients, const QString &text,
                               const QDateTime &sentAt, const QUuid &uuid)
{
    const QString refs = headerValue(recipients);
    QString recipientLine = refs;
    recipientLine.replace(QLatin1Char(';'), QLatin1Char(' '));
    const int lineFeed = text.indexOf(QLatin1Char('\n'));
    const QString title = headerValue(lineFeed < 0 ? text : text.left(lineFeed));

    QString payload;
    payload += recipientLine + s_crlf;
    payload += QStringLiteral("IMSG") + s_crlf;
    payload += QStringLiteral("title:") + title + s_crlf;
    payload += QStringLiteral("from:") + headerValue(ownId) + s_crlf;
    payload += QStringLiteral("ref:") + refs + s_crlf;
    payload += QStringLiteral("date:") + sentAt.toString(QStringLiteral("yyyyMMddHHmmss")) + s_crlf;
    payload += QStringLiteral("session_id:472391") + s_crlf;
    payload += QStringLiteral("uuid:") + uuid.toString(QUuid::WithoutBraces) + s_crlf;
    payload += QStringLiteral("contenttype:text") + s_crlf;
    payload += QStringLiteral("length:") + QString::number(text.length() + 2) + s_crlf;
    payload += QStringLiteral("font-name:Arial") + s_crlf;
    payload += QStringLiteral("font-style:%00") + s_crlf;
    payload += QStringLiteral("font-size:9") + s_crlf;
    payload += QStringLiteral("font-color:#0a0a0a") + s_crlf;
    payload += s_crlf;
    payload += text + s_crlf;
    return payload;
}

QString MimeMessage::memoCommandArgument(const QString &payload)
{
    return QStringLiteral("N ") + QString::number(CommandLine::byteLength(payload)) + s_crlf + payload;
}
