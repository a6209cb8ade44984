// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "proxynegotiator.h"

#include <QTcpSocket>

// Placeholder until the negotiation itself lands: every start is refused.
ProxyNegotiator::ProxyNegotiator(QTcpSocket *socket, QObject *parent)
    : QObject(parent)
    , m_pSocket(socket)
{
}

bool ProxyNegotiator::start(const Config &config, const QString &targetHost, quint16 targetPort)
{
    Q_UNUSED(config)
    Q_UNUSED(targetHost)
    Q_UNUSED(targetPort)
    return false;
}

bool ProxyNegotiator::isActive() const
{
    return false;
}

void ProxyNegotiator::abort()
{
}
