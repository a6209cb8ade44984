// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "zemvikdplconnection.h"
#include "account.h"
#include "commandline.h"
#include "protocol_debug.h"
#include "settings.h"

ZemvikDPLConnection::ZemvikDPLConnection(QObject *parent)
    : ZemvikConnection(QStringLiteral("zemvikdplconnection"), parent)
{
}

bool ZemvikDPLConnection::connectToServer()
{
    return connectToServer(Settings::dispatchHost(), Settings::dispatchPort());
}

void ZemvikDPLConnection::connectionSuccess()
{
    stopConnectionTimer();
    qCDebug(KZEMVIK_PROTOCOL) << "Connection Success!!!" << name();
    sendCommand(QStringLiteral("PVER"), QStringLiteral("3.871 3.0\r\n"));
}

void ZemvikDPLConnection::parseCommand(const QStringList &command)
{
    const QString word = CommandLine::field(command, 0);
    if (word == QLatin1String("PVER")) {
        sendCommand(QStringLiteral("AUTH"), QStringLiteral("DES\r\n"));
    } else if (word == QLatin1String("AUTH")) {
        const QString loginId = m_pCurrentAccount ? m_pCurrentAccount->loginID() : QString();
        sendCommand(QStringLiteral("REQS"), QStringLiteral("DES ") + loginId + QStringLiteral("\r\n"));
    } else if (word == QLatin1String("REQS")) {
        const QString host = CommandLine::field(command, 3);
        const int port = CommandLine::intField(command, 4, 0);
        if (command.size() < 5 || host.isEmpty() || port < 1 || port > 65535) {
            // An account without an address would only fail later, and less clearly.
            qCWarning(KZEMVIK_PROTOCOL) << "dispatch answer without a usable session server:" << command.size() << "fields";
            Q_EMIT handshakeFailed();
            return;
        }
        auto *account = new Account;
        if (m_pCurrentAccount) {
            account->setLoginInfo(m_pCurrentAccount->loginID(), m_pCurrentAccount->password());
        }
        account->setServer(host, port);
        Q_EMIT connectDPWithAccount(account);
    }
}

void ZemvikDPLConnection::parseMimeMessage(const QString &kind, const QStringList &command, const QByteArray &payload)
{
    Q_UNUSED(kind)
    Q_UNUSED(command)
    Q_UNUSED(payload)
}

void ZemvikDPLConnection::parsePayloadMessage(const QStringList &command, const QString &payload)
{
    Q_UNUSED(command)
    Q_UNUSED(payload)
}
