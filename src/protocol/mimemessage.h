// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QDateTime;
class QUuid;

//! A memo as header fields ("name:value" lines) and a body; parses received memos and builds sent ones.
class MimeMessage : public QObject
{
    Q_OBJECT
public:
    explicit MimeMessage(QObject *parent = nullptr);
    //! Parses the payload as UTF-8 up to the first zero byte.
    explicit MimeMessage(const QByteArray &payload, QObject *parent = nullptr);

    //! The value of the first field with this exact name; a null text when there is none (or it is empty).
    QString getValue(const QString &name) const;
    QString getBody() const;
    void addField(const QString &name, const QString &value);
    int fieldCount() const;
    const QStringList &fieldNames() const;
    //! Diagnostic dump to the debug stream.
    void print() const;

    //! The memo payload as sent: recipient line, "IMSG", header block, blank line, text.
    //! recipients are IDs separated by ";". CR and LF are dropped from header values.
    static QString buildMemo(const QString &ownId, const QString &recipients, const QString &text,
                             const QDateTime &sentAt, const QUuid &uuid);
    //! The "CMSG" argument text: "N", a blank, the UTF-8 byte count of the payload, CR LF, the payload.
    static QString memoCommandArgument(const QString &payload);

private:
    void parse(const QString &text);

    QString m_body;
    QStringList m_fieldNames;
    QStringList m_fieldValues;
};
