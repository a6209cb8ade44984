// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "zemvikconnection.h"

class Account;

//! Asks the dispatch server which session server to use.
class ZemvikDPLConnection : public ZemvikConnection
{
    Q_OBJECT
public:
    explicit ZemvikDPLConnection(QObject *parent = nullptr);

    using ZemvikConnection::connectToServer;
    //! Connects to the configured dispatch server.
    bool connectToServer();

Q_SIGNALS:
    //! The session server's address; the receiver owns the account.
    void connectDPWithAccount(Account *account);
    //! The dispatch answer named no usable session server.
    void handshakeFailed();

public Q_SLOTS:
    void connectionSuccess() override;

protected:
    void parseCommand(const QStringList &command) override;
    void parseMimeMessage(const QString &kind, const QStringList &command, const QByteArray &payload) override;
    void parsePayloadMessage(const QStringList &command, const QString &payload) override;
};
