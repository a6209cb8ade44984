// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "proxynegotiator.h"

#include "protocol_debug.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>

namespace
{
// RFC 1928 / RFC 1929 and the SOCKS 4 protocol.
constexpr char Socks4Version = 0x04;
constexpr char Socks5Version = 0x05;
constexpr char CommandConnect = 0x01;
constexpr char Socks4Granted = 0x5A;
constexpr char MethodNone = 0x00;
constexpr char MethodUserPassword = 0x02;
constexpr char AuthVersion = 0x01;
constexpr char AddressIPv4 = 0x01;
constexpr char AddressDomain = 0x03;
constexpr char AddressIPv6 = 0x04;
constexpr int Socks4ReplyLength = 8;
constexpr int MethodReplyLength = 2;
constexpr int AuthReplyLength = 2;
constexpr int MaxCredentialLength = 255; // one length byte each in RFC 1929

void appendBigEndian16(QByteArray &bytes, quint16 value)
{
    char raw[2];
    qToBigEndian(value, raw);
    bytes.append(raw, 2);
}

void appendBigEndian32(QByteArray &bytes, quint32 value)
{
    char raw[4];
    qToBigEndian(value, raw);
    bytes.append(raw, 4);
}
}

ProxyNegotiator::ProxyNegotiator(QTcpSocket *socket, QObject *parent)
    : QObject(parent)
    , m_pSocket(socket)
{
}

bool ProxyNegotiator::start(const Config &config, const QString &targetHost, quint16 targetPort)
{
    abort();
    ++m_run;
    if (!m_pSocket) {
        qCWarning(KZEMVIK_PROTOCOL) << "Proxy: no socket to negotiate on.";
        return false;
    }
    if (m_pSocket->state() != QAbstractSocket::UnconnectedState) {
        qCWarning(KZEMVIK_PROTOCOL) << "Proxy: socket is not disconnected.";
        return false;
    }
    if (config.server.isEmpty()) {
        qCWarning(KZEMVIK_PROTOCOL) << "Proxy: no proxy server configured.";
        return false;
    }
    if (config.port <= 0 || config.port > 65535) {
        qCWarning(KZEMVIK_PROTOCOL) << "Proxy: port out of range:" << config.port;
        return false;
    }

    QByteArray user;
    QByteArray password;
    if (config.type == Socks5) {
        user = config.user.toLocal8Bit();
        password = config.password.toLocal8Bit();
        if (user.size() > MaxCredentialLength || password.size() > MaxCredentialLength) {
            qCWarning(KZEMVIK_PROTOCOL) << "Proxy: user name or password longer than" << MaxCredentialLength << "bytes.";
            return false;
        }
    }

    // SOCKS 4 can only carry an IPv4 address, so the target is looked up here, not by the proxy.
    const QHostInfo info = QHostInfo::fromName(targetHost);
    quint32 address = 0;
    bool found = false;
    const auto addresses = info.addresses();
    for (const QHostAddress &candidate : addresses) {
        if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
            address = candidate.toIPv4Address();
            found = true;
            break;
        }
    }
    if (!found) {
        qCWarning(KZEMVIK_PROTOCOL) << "Proxy: no IPv4 address for" << targetHost << info.errorString();
        return false;
    }

    m_targetAddress = address;
    m_targetPort = targetPort;
    m_user = user;
    m_password = password;
    m_offerCredentials = !user.isEmpty() && !password.isEmpty();
    m_type = config.type;

    if (m_type != Socks4 && m_type != Socks5) {
        // No request for HTTP proxies exists yet; say so at once instead of waiting for an answer that never comes.
        qCWarning(KZEMVIK_PROTOCOL) << "Proxy: type" << m_type << "is not supported.";
        m_step = Step::HttpUnsupported;
        const quint64 run = m_run;
        QTimer::singleShot(0, this, [this, run]() {
            slotHttpUnsupported(run);
        });
        return true;
    }

    connect(m_pSocket.data(), &QTcpSocket::connected, this, &ProxyNegotiator::slotConnected);
    connect(m_pSocket.data(), &QTcpSocket::readyRead, this, &ProxyNegotiator::slotReadyRead);
    connect(m_pSocket.data(), &QTcpSocket::errorOccurred, this, &ProxyNegotiator::slotClosed);
    m_step = Step::ConnectingToProxy;
    qCDebug(KZEMVIK_PROTOCOL) << "Proxy: connecting to" << config.server << config.port << "for" << targetHost << targetPort;
    m_pSocket->connectToHost(config.server, static_cast<quint16>(config.port));
    return true;
}

bool ProxyNegotiator::isActive() const
{
    return m_step != Step::Idle;
}

void ProxyNegotiator::abort()
{
    if (m_pSocket) {
        disconnect(m_pSocket.data(), nullptr, this, nullptr);
    }
    m_step = Step::Idle;
    m_user.clear();
    m_password.clear();
}

void ProxyNegotiator::slotConnected()
{
    if (m_step != Step::ConnectingToProxy) {
        return;
    }
    QByteArray request;
    if (m_type == Socks4) {
        request.append(Socks4Version);
        request.append(CommandConnect);
        appendBigEndian16(request, m_targetPort);
        appendBigEndian32(request, m_targetAddress);
        request.append('\0'); // empty user ID
        m_step = Step::Socks4ReplyAwaited;
    } else {
        request.append(Socks5Version);
        if (m_offerCredentials) {
            request.append('\x02');
            request.append(MethodUserPassword);
            request.append(MethodNone);
        } else {
            request.append('\x01');
            request.append(MethodNone);
        }
        m_step = Step::MethodAwaited;
    }
    write(request);
}

void ProxyNegotiator::slotReadyRead()
{
    // Each answer is taken only when all of it is there, and no byte beyond it.
    while (m_pSocket) {
        switch (m_step) {
        case Step::Socks4ReplyAwaited: {
            if (m_pSocket->bytesAvailable() < Socks4ReplyLength) {
                return;
            }
            const QByteArray reply = m_pSocket->read(Socks4ReplyLength);
            finish(reply.at(1) == Socks4Granted ? Success : Refused);
            return;
        }
        case Step::MethodAwaited: {
            if (m_pSocket->bytesAvailable() < MethodReplyLength) {
                return;
            }
            const QByteArray reply = m_pSocket->read(MethodReplyLength);
            const char method = reply.at(1);
            if (method == MethodNone) {
                sendSocks5Connect();
            } else if (method == MethodUserPassword && m_offerCredentials) {
                QByteArray request;
                request.append(AuthVersion);
                request.append(static_cast<char>(m_user.size()));
                request.append(m_user);
                request.append(static_cast<char>(m_password.size()));
                request.append(m_password);
                m_step = Step::AuthReplyAwaited;
                write(request);
            } else {
                // 0xFF (nothing acceptable), or a method we never offered.
                qCDebug(KZEMVIK_PROTOCOL) << "Proxy: method refused:" << int(static_cast<quint8>(method));
                finish(Refused);
                return;
            }
            break;
        }
        case Step::AuthReplyAwaited: {
            if (m_pSocket->bytesAvailable() < AuthReplyLength) {
                return;
            }
            const QByteArray reply = m_pSocket->read(AuthReplyLength);
            if (reply.at(1) != 0x00) {
                qCDebug(KZEMVIK_PROTOCOL) << "Proxy: authentication refused.";
                finish(Refused);
                return;
            }
            sendSocks5Connect();
            break;
        }
        case Step::ConnectReplyAwaited: {
            const int length = connectReplyLength();
            if (length < 0) {
                qCDebug(KZEMVIK_PROTOCOL) << "Proxy: unknown address type in the connect reply.";
                finish(Refused);
                return;
            }
            if (length == 0 || m_pSocket->bytesAvailable() < length) {
                return;
            }
            const QByteArray reply = m_pSocket->read(length);
            finish(reply.at(1) == 0x00 ? Success : Refused);
            return;
        }
        case Step::Idle:
        case Step::ConnectingToProxy:
        case Step::HttpUnsupported:
            return;
        }
    }
}

int ProxyNegotiator::connectReplyLength() const
{
    // version, status, reserved, address type, address, port
    char head[5];
    const qint64 held = m_pSocket->peek(head, sizeof(head));
    if (held < 4) {
        return 0;
    }
    switch (head[3]) {
    case AddressIPv4:
        return 4 + 4 + 2;
    case AddressIPv6:
        return 4 + 16 + 2;
    case AddressDomain:
        return held < 5 ? 0 : 4 + 1 + static_cast<quint8>(head[4]) + 2;
    default:
        return -1;
    }
}

void ProxyNegotiator::slotClosed()
{
    if (m_step == Step::ConnectingToProxy) {
        // The proxy could not be reached: the socket's own error tells the caller.
        abort();
        return;
    }
    // Whatever had fully arrived before the close is still worth reading.
    slotReadyRead();
    if (isActive()) {
        qCDebug(KZEMVIK_PROTOCOL) << "Proxy: closed before its answer was complete.";
        finish(WrongLength);
    }
}

void ProxyNegotiator::slotHttpUnsupported(quint64 run)
{
    if (run == m_run && m_step == Step::HttpUnsupported) {
        finish(Refused);
    }
}

void ProxyNegotiator::sendSocks5Connect()
{
    QByteArray request;
    request.append(Socks5Version);
    request.append(CommandConnect);
    request.append('\0'); // reserved
    request.append(AddressIPv4);
    appendBigEndian32(request, m_targetAddress);
    appendBigEndian16(request, m_targetPort);
    m_step = Step::ConnectReplyAwaited;
    write(request);
}

void ProxyNegotiator::write(const QByteArray &bytes)
{
    // One block per request; the socket buffers it whole or fails.
    const qint64 written = m_pSocket->write(bytes);
    if (written != bytes.size()) {
        qCWarning(KZEMVIK_PROTOCOL) << "Proxy: wanted to write" << bytes.size() << "bytes, wrote" << written;
    }
}

void ProxyNegotiator::finish(int result)
{
    abort();
    if (result == Success) {
        qCDebug(KZEMVIK_PROTOCOL) << "Proxy: tunnel established.";
        Q_EMIT succeeded();
    } else {
        Q_EMIT failed(result);
    }
}
