// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary payloads to the memo parser, as a peer could send them.
#include "mimemessage.h"

#include <QByteArray>
#include <QDateTime>
#include <QLoggingCategory>
#include <QUuid>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("kzemvik.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray payload = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    MimeMessage message(payload);
    const QStringList names = message.fieldNames();
    for (const QString &name : names) {
        message.getValue(name);
    }
    message.getValue(QStringLiteral("title"));
    message.getBody();
    message.print();
    // Building from what was parsed must not fail either.
    const QString rebuilt = MimeMessage::buildMemo(message.getValue(QStringLiteral("from")), message.getValue(QStringLiteral("ref")),
                                                   message.getBody(), {}, {});
    MimeMessage::memoCommandArgument(rebuilt);
    return 0;
}
