// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QHostAddress>
#include <QObject>

class QTcpServer;
class QTcpSocket;

//! Tells a client which session server to use: answers "PVER", "AUTH" and "REQS".
class DispatchServer : public QObject
{
    Q_OBJECT
public:
    //! How long a dispatch connection may stay open; the handshake takes a few milliseconds.
    static constexpr int IdleTimeoutMs = 30000;

    explicit DispatchServer(QObject *parent = nullptr);
    ~DispatchServer() override;

    bool listen(const QHostAddress &address, quint16 port);
    QHostAddress address() const;
    quint16 port() const;
    QString errorString() const;

    //! The session server handed out in "REQS" answers; the host defaults to the address the client reached us on.
    void setSessionServer(const QString &host, quint16 port);

private:
    void acceptConnections();
    struct Peer;
    void readFrom(QTcpSocket *socket, Peer &peer);

    QTcpServer *m_pServer;
    QString m_sessionHost;
    quint16 m_sessionPort = 0;
};
