// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary lines and payloads into the session connection's handlers, as the server would send them.
#include "account.h"
#include "kzemvikbuffer.h"
#include "lineframer.h"
#include "ssconnection.h"
#include "zemvikdpconnection.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    QStandardPaths::setTestModeEnabled(true);
    QLoggingCategory::setFilterRules(QStringLiteral("kzemvik.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    KZemvikBuffer buffer;
    buffer.add(reinterpret_cast<const char *>(data), int(size));
    LineFramer framer({QStringLiteral("CONF"), QStringLiteral("CTOC")});

    ZemvikDPConnection connection;
    connection.initialize();
    QObject::connect(&connection, &ZemvikDPConnection::ReceiveRESS, &connection, [](SSConnection *switchboard) {
        delete switchboard;
    });
    LineFramer::Frame frame;
    while (framer.next(buffer, frame) == LineFramer::Result::Frame) {
        connection.handleFrame(frame);
    }
    return 0;
}
