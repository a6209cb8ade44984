// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QTcpSocket;

//! Opens a tunnel through a SOCKS proxy on a socket it is handed; the socket stays the caller's.
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

    //! False at once for an empty server, an unresolvable target or over-long credentials.
    bool start(const Config &config, const QString &targetHost, quint16 targetPort);
    bool isActive() const;
    void abort();

Q_SIGNALS:
    //! The tunnel is up; from now on the socket's bytes are the server's.
    void succeeded();
    //! WrongLength or Refused.
    void failed(int result);

private:
    QTcpSocket *m_pSocket;
};
