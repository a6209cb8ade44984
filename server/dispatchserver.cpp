// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "dispatchserver.h"
#include "commandline.h"
#include "kzemvikbuffer.h"
#include "lineframer.h"
#include "server_debug.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

// Receive state of one dispatch connection, kept alive by the connection's slot.
struct DispatchServer::Peer {
    KZemvikBuffer buffer;
    LineFramer framer{QSet<QString>{}};
};

DispatchServer::DispatchServer(QObject *parent)
    : QObject(parent)
    , m_pServer(new QTcpServer(this))
{
    connect(m_pServer, &QTcpServer::newConnection, this, &DispatchServer::acceptConnections);
}

DispatchServer::~DispatchServer() = default;

bool DispatchServer::listen(const QHostAddress &address, quint16 port)
{
    return m_pServer->listen(address, port);
}

QHostAddress DispatchServer::address() const
{
    return m_pServer->serverAddress();
}

quint16 DispatchServer::port() const
{
    return m_pServer->serverPort();
}

QString DispatchServer::errorString() const
{
    return m_pServer->errorString();
}

void DispatchServer::setSessionServer(const QString &host, quint16 port)
{
    m_sessionHost = host;
    m_sessionPort = port;
}

void DispatchServer::acceptConnections()
{
    while (QTcpSocket *socket = m_pServer->nextPendingConnection()) {
        socket->setParent(this);
        auto peer = std::make_shared<Peer>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, peer] {
            readFrom(socket, *peer);
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(IdleTimeoutMs, socket, [socket] {
            socket->disconnectFromHost();
        });
    }
}

void DispatchServer::readFrom(QTcpSocket *socket, Peer &peer)
{
    peer.buffer.add(socket->readAll());
    LineFramer::Frame frame;
    for (;;) {
        const LineFramer::Result result = peer.framer.next(peer.buffer, frame);
        if (result == LineFramer::Result::NeedMore) {
            return;
        }
        if (result == LineFramer::Result::Error) {
            qCWarning(KZEMVIK_SERVER) << "dispatch: closing a connection:" << peer.framer.errorString();
            socket->abort();
            socket->deleteLater();
            return;
        }
        const QString command = CommandLine::field(frame.fields, 0);
        const QString tid = CommandLine::field(frame.fields, 1);
        bool numeric = false;
        tid.toUInt(&numeric);
        if (!numeric) {
            continue;
        }
        QString answer;
        if (command == QLatin1String("PVER")) {
            answer = QStringLiteral("PVER %1 3.871 3.0").arg(tid);
        } else if (command == QLatin1String("AUTH")) {
            answer = QStringLiteral("AUTH %1 DES").arg(tid);
        } else if (command == QLatin1String("REQS")) {
            QString host = m_sessionHost;
            if (host.isEmpty()) {
                // The address this client reached us on also reaches the session server.
                bool v4 = false;
                const quint32 ip = socket->localAddress().toIPv4Address(&v4);
                host = v4 ? QHostAddress(ip).toString() : socket->localAddress().toString();
            }
            answer = QStringLiteral("REQS %1 SS %2 %3").arg(tid, host).arg(m_sessionPort);
        } else {
            answer = QStringLiteral("200 %1").arg(tid);
        }
        socket->write(answer.toUtf8() + "\r\n");
    }
}
