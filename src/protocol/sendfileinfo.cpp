// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "sendfileinfo.h"

#include <QFile>
#include <QTcpSocket>
#include <QTimer>

SendFileInfo::SendFileInfo(const QString &firstId, const QString &peerId, const QString &filePath, quint32 fileSize,
                           QObject *parent)
    : QObject(parent)
    , firstId(firstId)
    , peerId(peerId)
    , filePath(filePath)
    , fileSize(fileSize)
{
}

SendFileInfo::SendFileInfo(const QString &firstId, const QString &peerId, const QString &cookie, const QString &relayKey,
                           QObject *parent)
    : QObject(parent)
    , firstId(firstId)
    , peerId(peerId)
    , cookie(cookie)
    , relayKey(relayKey)
{
}

SendFileInfo::~SendFileInfo() = default;

QTimer *SendFileInfo::timer()
{
    if (!m_pTimer) {
        m_pTimer = new QTimer(this);
        m_pTimer->setObjectName(QStringLiteral("timer"));
        m_pTimer->setSingleShot(true);
        m_pTimer->setInterval(P2PTimeoutMs);
        connect(m_pTimer, &QTimer::timeout, this, &SendFileInfo::slotP2PTimeout);
    }
    return m_pTimer;
}

void SendFileInfo::slotP2PTimeout()
{
    Q_EMIT P2PTimeout(this);
}
