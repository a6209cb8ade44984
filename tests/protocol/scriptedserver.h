// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

//! A server on 127.0.0.1, port 0, that records the lines a client writes and answers from a script.
class ScriptedServer : public QObject
{
public:
    explicit ScriptedServer(QObject *parent = nullptr)
        : QObject(parent)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, &ScriptedServer::onNewConnection);
    }

    quint16 port() const
    {
        return m_server.serverPort();
    }
    QTcpSocket *client() const
    {
        return m_pClient;
    }
    int connections() const
    {
        return m_connections;
    }
    //! Every line the clients wrote, without CR LF (payload bytes count as part of a line).
    const QStringList &lines() const
    {
        return m_lines;
    }
    const QByteArray &received() const
    {
        return m_received;
    }
    void send(const QByteArray &bytes)
    {
        if (m_pClient) {
            m_pClient->write(bytes);
            m_pClient->flush();
        }
    }
    void closeClient()
    {
        if (m_pClient) {
            m_pClient->disconnectFromHost();
        }
    }
    //! Stop reading; the client's writes then pile up in the kernel buffers.
    void setPaused(bool paused)
    {
        m_paused = paused;
        if (m_pClient) {
            m_pClient->setReadBufferSize(paused ? 4096 : 0);
            if (!paused) {
                onReadyRead();
            }
        }
    }

    //! Called for each complete line the client writes; may send() an answer.
    std::function<void(const QString &line)> onLine;

private:
    void onNewConnection()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            ++m_connections;
            m_pClient = socket;
            m_pending.clear();
            if (m_paused) {
                socket->setReadBufferSize(4096);
            }
            connect(socket, &QTcpSocket::readyRead, this, &ScriptedServer::onReadyRead);
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }
    void onReadyRead()
    {
        // An answer script may spin an event loop; the outer call reads what comes meanwhile.
        if (!m_pClient || m_paused || m_reading) {
            return;
        }
        m_reading = true;
        QPointer<QTcpSocket> client = m_pClient;
        while (client && !m_paused && client->bytesAvailable() > 0) {
            const QByteArray bytes = client->readAll();
            m_received += bytes;
            m_pending += bytes;
            QStringList lines;
            int from = 0;
            int p;
            while ((p = m_pending.indexOf("\r\n", from)) >= 0) {
                lines << QString::fromUtf8(m_pending.constData() + from, p - from);
                from = p + 2;
            }
            m_pending.remove(0, from);
            for (const QString &line : qAsConst(lines)) {
                m_lines << line;
                if (onLine) {
                    onLine(line);
                }
            }
        }
        m_reading = false;
    }

    QTcpServer m_server;
    QPointer<QTcpSocket> m_pClient;
    QByteArray m_received;
    QByteArray m_pending;
    QStringList m_lines;
    int m_connections = 0;
    bool m_paused = false;
    bool m_reading = false;
};
