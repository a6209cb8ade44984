// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpSocket;

//! Opens a tunnel to a server through a SOCKS 4 or SOCKS 5 proxy on a socket the caller owns.
//!
//! start() connects the socket to the proxy and runs the negotiation; while it is active the
//! negotiator listens to the socket's connected, readyRead and closing notifications, and it
//! drops all of its connections to the socket when it ends. Every answer is read only once it
//! is complete and exactly as long as it is, so bytes the server sends right behind the
//! proxy's last answer stay unread in the socket: after succeeded() the caller must handle the
//! socket's bytesAvailable() at once, as no further readyRead announces them.
class ProxyNegotiator : public QObject
{
    Q_OBJECT
public:
    enum Type { Socks4 = 0, Socks5 = 1, Http = 2 };
    enum Result { Success = 0, WrongLength = 1, Refused = 2 };
    struct Config {
        int type = 0;
        QString server;
        int port = 1080;
        QString user;
        QString password;
    };

    explicit ProxyNegotiator(QTcpSocket *socket, QObject *parent = nullptr);

    //! Starts connecting to the proxy. False at once, with nothing sent, for an empty proxy
    //! server, a port out of range, a target without an IPv4 address, SOCKS 5 credentials
    //! longer than 255 bytes, or a socket that is not unconnected.
    //! The HTTP type (and any unknown type) returns true and fails from the event loop.
    bool start(const Config &config, const QString &targetHost, quint16 targetPort);
    bool isActive() const;
    //! Stops listening to the socket without a signal; the socket itself is left as it is.
    void abort();

Q_SIGNALS:
    //! The tunnel is up; from now on the socket's bytes are the server's.
    void succeeded();
    //! WrongLength: the proxy closed before its answer was complete; Refused: it said no.
    void failed(int result);

private:
    enum class Step {
        Idle,
        ConnectingToProxy,
        Socks4ReplyAwaited,
        MethodAwaited,
        AuthReplyAwaited,
        ConnectReplyAwaited,
        HttpUnsupported,
    };

    void slotConnected();
    void slotReadyRead();
    void slotClosed();
    void slotHttpUnsupported(quint64 run);

    //! Length of the SOCKS 5 connect reply held so far, 0 while it cannot be told yet, -1 for an unknown address type.
    int connectReplyLength() const;
    void sendSocks5Connect();
    void write(const QByteArray &bytes);
    void finish(int result);

    QPointer<QTcpSocket> m_pSocket;
    Step m_step = Step::Idle;
    int m_type = Socks4;
    quint64 m_run = 0; // counts start() calls, so a queued HTTP failure of an aborted run stays silent
    bool m_offerCredentials = false;
    QByteArray m_user;
    QByteArray m_password;
    quint32 m_targetAddress = 0; // host byte order; written big-endian
    quint16 m_targetPort = 0;
};
