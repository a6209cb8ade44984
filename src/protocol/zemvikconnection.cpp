// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "zemvikconnection.h"
#include "account.h"
#include "commandline.h"
#include "protocol_debug.h"
#include "proxynegotiator.h"
#include "settings.h"
#include "wire_debug.h"

#include <KLocalizedString>
#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>

namespace
{
//! The most output handed to the socket at once; the rest waits in our queue, so that a
//! line counts as sent only once the socket has really written it.
constexpr qint64 WriteWindow = 256 * 1024;
constexpr int ReadChunk = 16 * 1024;
}

ZemvikConnection::ZemvikConnection(const QString &name, QObject *parent)
    : QObject(parent)
    , m_name(name)
    , m_pSocket(new QTcpSocket(this))
    , m_pProxy(new ProxyNegotiator(m_pSocket, this))
    , m_framer({QStringLiteral("CONF"), QStringLiteral("CTOC")})
{
    m_connectionTimer.setSingleShot(true);
    m_retryTimer.setSingleShot(true);
    connect(&m_pingTimer, &QTimer::timeout, this, &ZemvikConnection::sendPing);
    connect(&m_retryTimer, &QTimer::timeout, this, &ZemvikConnection::slotRetry);
    connect(&m_connectionTimer, &QTimer::timeout, this, &ZemvikConnection::slotConnectionTimeout);

    connect(m_pSocket, &QTcpSocket::readyRead, this, &ZemvikConnection::onReadyRead);
    connect(m_pSocket, &QTcpSocket::connected, this, &ZemvikConnection::onConnected);
    connect(m_pSocket, &QTcpSocket::disconnected, this, &ZemvikConnection::socketClosed);
    connect(m_pSocket, &QTcpSocket::errorOccurred, this, &ZemvikConnection::socketError);
    connect(m_pSocket, &QTcpSocket::bytesWritten, this, &ZemvikConnection::onBytesWritten);
    connect(m_pProxy, &ProxyNegotiator::succeeded, this, &ZemvikConnection::onProxySucceeded);
    connect(m_pProxy, &ProxyNegotiator::failed, this, &ZemvikConnection::onProxyFailed);
}

ZemvikConnection::~ZemvikConnection()
{
    // Silent: the owner is usually being destroyed itself and must not be called back.
    if (isConnected()) {
        closeConnection(true);
    }
    m_pSocket->disconnect(this);
    qCDebug(KZEMVIK_PROTOCOL) << "DESTROYED Connection" << m_name;
}

bool ZemvikConnection::initialize()
{
    if (m_initialized) {
        qCWarning(KZEMVIK_PROTOCOL) << "Connection already initialized!";
        return false;
    }
    m_pCurrentAccount = CurrentAccount::instance();
    if (!m_pCurrentAccount) {
        qCWarning(KZEMVIK_PROTOCOL) << "Connection: Couldn't get an instance of the current account.";
        return false;
    }
    m_initialized = true;
    return true;
}

bool ZemvikConnection::isInitialized() const
{
    return m_initialized;
}

bool ZemvikConnection::connectToServer(const QString &host, int port)
{
    if (port <= 0 || port > 65535) {
        qCWarning(KZEMVIK_PROTOCOL) << m_name << "Connection: port out of range:" << port;
        return false;
    }
    // A new attempt replaces whatever was scheduled or open before.
    m_retryTimer.stop();
    m_connectionTimer.stop();
    setSendPings(false);
    if (m_pProxy->isActive()) {
        m_pProxy->abort();
    }
    m_closing = true;
    m_pSocket->abort();
    m_closing = false;
    if (m_pSocket->state() != QAbstractSocket::UnconnectedState) {
        qCWarning(KZEMVIK_PROTOCOL) << "Connection: Socket is not disconnected.  Already connected?";
        return false;
    }
    clearOutput();
    m_Buffer.clear();
    ++m_generation;
    m_host = host;
    m_port = quint16(port);
    m_open = true;
    m_connectionTimer.start(m_connectMs);

    if (Settings::useProxy()) {
        ProxyNegotiator::Config config;
        config.type = Settings::proxyType();
        config.server = Settings::proxyServer();
        config.port = Settings::proxyPort();
        config.user = Settings::proxyId();
        config.password = Settings::proxyPassword();
        if (m_pCurrentAccount) {
            m_pCurrentAccount->proxyType = config.type;
            m_pCurrentAccount->proxyServer = config.server;
            m_pCurrentAccount->proxyPort = config.port;
            m_pCurrentAccount->proxyID = config.user;
            m_pCurrentAccount->proxyPassword = config.password;
        }
        qCDebug(KZEMVIK_PROTOCOL) << m_name << "Connection: Using proxy" << config.server << config.port << "type" << config.type;
        if (!m_pProxy->start(config, host, m_port)) {
            qCWarning(KZEMVIK_PROTOCOL) << m_name << "Connection: the proxy negotiation could not start.";
            m_connectionTimer.stop();
            m_open = false;
            return false;
        }
        return true;
    }

    qCDebug(KZEMVIK_PROTOCOL) << m_name << "Connection: Using direct connection." << host << port;
    m_pSocket->connectToHost(host, m_port);
    return m_pSocket->state() != QAbstractSocket::UnconnectedState;
}

int ZemvikConnection::sendCommand(const QString &command, const QString &argument)
{
    const int trid = nextTrid();
    writeData(command + QLatin1Char(' ') + QString::number(trid) + QLatin1Char(' ') + argument);
    return trid;
}

int ZemvikConnection::sendPayloadCommand(const QString &command, const QString &arguments, const QString &payload)
{
    const int trid = nextTrid();
    QString line = command + QLatin1Char(' ') + QString::number(trid) + QLatin1Char(' ');
    if (!arguments.isEmpty()) {
        line += arguments + QLatin1Char(' ');
    }
    line += QString::number(CommandLine::byteLength(payload)) + QLatin1String("\r\n") + payload;
    writeData(line);
    return trid;
}

void ZemvikConnection::writeLine(const QString &prefix, const QString &text)
{
    writeData(prefix + text);
}

int ZemvikConnection::nextTrid()
{
    return m_trid++;
}

void ZemvikConnection::closeConnection(bool silent)
{
    // An explicit close ends the attempt too: nothing may reconnect after a logout.
    m_retryTimer.stop();
    m_connectionTimer.stop();
    dropConnection(true);
    if (!silent) {
        Q_EMIT disconnected();
    }
}

void ZemvikConnection::dropConnection(bool silent)
{
    setSendPings(false);
    if (m_pProxy->isActive()) {
        m_pProxy->abort();
    }
    const bool wasOpen = m_open;
    m_open = false;
    ++m_generation;
    m_closing = true;
    if (m_pSocket->state() == QAbstractSocket::ConnectedState) {
        writeData(QStringLiteral("LOUT\r\n"));
        // Hand everything over and push out what the socket takes without blocking.
        if (m_outQueue.length() > 0) {
            const qint64 n = m_pSocket->write(m_outQueue.constData(), m_outQueue.length());
            if (n > 0) {
                m_outQueued += n;
            }
        }
        m_pSocket->flush();
        m_outWritten = m_outQueued - m_pSocket->bytesToWrite();
        emitWrittenLines();
    }
    clearOutput();
    m_pSocket->abort();
    m_closing = false;
    if (!silent && wasOpen) {
        Q_EMIT disconnected();
    }
}

void ZemvikConnection::setSendPings(bool on)
{
    m_pinging = on;
    m_missedPings = 0;
    m_pongReceived = true;
    if (on) {
        sendPing();
        if (m_pinging) {
            m_pingTimer.start(m_pingMs);
        }
    } else {
        m_pingTimer.stop();
    }
}

bool ZemvikConnection::isConnected() const
{
    return m_pSocket->state() == QAbstractSocket::ConnectedState && !m_pProxy->isActive();
}

QString ZemvikConnection::getLocalIp() const
{
    const QHostAddress address = m_pSocket->localAddress();
    if (address.isNull()) {
        qCWarning(KZEMVIK_PROTOCOL) << "Connection::getLocalIp(): WARNING - IP not found.  Local address was null?";
        return QString();
    }
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

void ZemvikConnection::setTimings(int connectMs, int retryMs, int pingMs, int pingRetryMs)
{
    m_connectMs = connectMs;
    m_retryMs = retryMs;
    m_pingMs = pingMs;
    m_pingRetryMs = pingRetryMs;
}

qint64 ZemvikConnection::pendingWriteBytes() const
{
    return m_outTotal - m_outWritten;
}

qint64 ZemvikConnection::bytesReceived() const
{
    return m_bytesReceived;
}

QString ZemvikConnection::name() const
{
    return m_name;
}

void ZemvikConnection::stopConnectionTimer()
{
    m_connectionTimer.stop();
}

QTcpSocket *ZemvikConnection::socket() const
{
    return m_pSocket;
}

void ZemvikConnection::connectionSuccess()
{
}

void ZemvikConnection::proxyFailed(int result)
{
    qCWarning(KZEMVIK_PROTOCOL) << m_name << "proxy negotiation failed with" << result;
    Q_EMIT proxyError(i18n("There was a problem connecting to the proxy."));
    closeConnection(false);
}

void ZemvikConnection::onReadyRead()
{
    if (m_pProxy->isActive()) {
        return;
    }
    dataReceived();
}

void ZemvikConnection::onConnected()
{
    if (m_pProxy->isActive()) {
        return;
    }
    connectionSuccess();
}

void ZemvikConnection::onProxySucceeded()
{
    QPointer<ZemvikConnection> self(this);
    connectionSuccess();
    if (self) {
        dataReceived();
    }
}

void ZemvikConnection::onProxyFailed(int result)
{
    proxyFailed(result);
}

void ZemvikConnection::socketError(QAbstractSocket::SocketError error)
{
    if (m_closing) {
        return; // our own abort
    }
    if (error == QAbstractSocket::RemoteHostClosedError && m_pSocket->state() == QAbstractSocket::ConnectedState) {
        return; // disconnected() follows and closes; aborting here would pull the socket away under Qt
    }
    qCWarning(KZEMVIK_PROTOCOL) << "Connection:WARNING - Received error" << error << "from the socket." << m_name;
    // The attempt is over and reported: its time-out must not bring it back as a retry.
    m_connectionTimer.stop();
    dropConnection(false);
}

void ZemvikConnection::socketClosed()
{
    if (m_closing) {
        return;
    }
    m_connectionTimer.stop();
    dropConnection(false);
}

void ZemvikConnection::slotConnectionTimeout()
{
    qCDebug(KZEMVIK_PROTOCOL) << m_name << "connection timed out";
    dropConnection(false);
    m_retryTimer.start(m_retryMs);
}

void ZemvikConnection::slotRetry()
{
    if (isConnected()) {
        m_retryTimer.stop();
        return;
    }
    qCDebug(KZEMVIK_PROTOCOL) << ">>> Retry Connectting... " << m_name << m_host << m_port;
    if (!connectToServer(m_host, m_port)) {
        qCWarning(KZEMVIK_PROTOCOL) << m_name << "retry could not start";
    }
}

void ZemvikConnection::dataReceived()
{
    // A handler that spins a nested event loop brings us here again; the outer call
    // keeps reading once the handler returns.
    if (m_reading) {
        return;
    }
    QPointer<ZemvikConnection> self(this);
    m_reading = true;
    const int generation = m_generation;
    char chunk[ReadChunk];
    while (m_pSocket->bytesAvailable() > 0) {
        const qint64 n = m_pSocket->read(chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        m_bytesReceived += n;
        if (m_pinging) {
            m_pingTimer.start(m_pingMs); // any data is a sign of life
        }
        m_Buffer.add(chunk, int(n));
        for (;;) {
            LineFramer::Frame frame;
            const LineFramer::Result result = m_framer.next(m_Buffer, frame);
            if (result == LineFramer::Result::NeedMore) {
                break;
            }
            if (result == LineFramer::Result::Error) {
                qCWarning(KZEMVIK_PROTOCOL) << m_name << "closing the connection:" << m_framer.errorString();
                m_reading = false;
                closeConnection(false);
                return;
            }
            handleFrame(frame);
            if (!self) {
                return;
            }
            if (generation != m_generation) {
                // The handler closed or replaced the connection: the rest belongs to the old one.
                m_reading = false;
                return;
            }
        }
    }
    m_reading = false;
}

void ZemvikConnection::handleFrame(const LineFramer::Frame &frame)
{
    if (frame.fields.isEmpty()) {
        qCDebug(KZEMVIK_PROTOCOL) << m_name << "empty line ignored";
        return;
    }
    const QString &word = frame.fields.first();
    qCDebug(KZEMVIK_WIRE) << m_name << "<<" << word << frame.line.size() << frame.payload.size();
    if (!frame.hasPayload) {
        Q_EMIT messageReceived(frame.line);
        if (m_pinging && word == QLatin1String("PONG")) {
            m_pongReceived = true;
            m_missedPings = 0;
            return;
        }
        parseCommand(frame.fields);
        return;
    }
    Q_EMIT messageReceived(frame.line + QLatin1Char('\n') + QString::fromUtf8(frame.payload));
    const QString kind = QString::fromLatin1(frame.payload.left(4));
    if (kind == QLatin1String("INVT") || kind == QLatin1String("REQC")) {
        parsePayloadMessage(frame.fields, QString::fromUtf8(frame.payload));
    } else {
        parseMimeMessage(kind, frame.fields, frame.payload);
    }
}

void ZemvikConnection::sendPing()
{
    if (m_pongReceived) {
        Q_EMIT statusMessage(i18n("Connection good"), 1);
    } else {
        ++m_missedPings;
        m_pingTimer.setInterval(m_pingRetryMs);
        Q_EMIT statusMessage(i18np("1 ping lost", "%1 pings lost", m_missedPings), 2);
    }
    m_pongReceived = false;
    if (m_missedPings >= 3) {
        qCWarning(KZEMVIK_PROTOCOL) << m_name << "WARNING: 3 missed server pings, assuming disconnected";
        closeConnection(false);
        Q_EMIT pingError();
        return;
    }
    writeData(QStringLiteral("PONG 0\r\n"));
}

void ZemvikConnection::writeData(const QString &text)
{
    if (m_pSocket->state() != QAbstractSocket::ConnectedState || m_pProxy->isActive()) {
        qCWarning(KZEMVIK_PROTOCOL) << "[1] Connection: WARNING - Attempting to write data to a disconnected socket." << m_name;
        return;
    }
    const QByteArray bytes = text.toUtf8();
    m_outQueue.add(bytes);
    m_outTotal += bytes.size();
    m_outLines.append({m_outTotal, text});
    if (!m_closing) {
        flushOutput();
    }
}

void ZemvikConnection::flushOutput()
{
    while (m_outQueue.length() > 0) {
        const qint64 room = WriteWindow - m_pSocket->bytesToWrite();
        if (room <= 0) {
            return; // the rest follows on bytesWritten()
        }
        const qint64 n = m_pSocket->write(m_outQueue.constData(), qMin<qint64>(room, m_outQueue.length()));
        if (n < 0) {
            qCWarning(KZEMVIK_PROTOCOL) << m_name << "Connection: write failed:" << m_pSocket->errorString();
            dropConnection(false);
            return;
        }
        if (n == 0) {
            return;
        }
        m_outQueue.remove(int(n));
        m_outQueued += n;
    }
}

void ZemvikConnection::onBytesWritten(qint64 bytes)
{
    Q_UNUSED(bytes)
    if (m_closing || m_pProxy->isActive()) {
        return;
    }
    QPointer<ZemvikConnection> self(this);
    m_outWritten = m_outQueued - m_pSocket->bytesToWrite();
    emitWrittenLines();
    if (self && !m_closing) {
        flushOutput();
    }
}

void ZemvikConnection::emitWrittenLines()
{
    QPointer<ZemvikConnection> self(this);
    while (self && !m_outLines.isEmpty() && m_outLines.first().end <= m_outWritten) {
        const QString text = m_outLines.takeFirst().text;
        Q_EMIT messageSent(text);
    }
}

void ZemvikConnection::clearOutput()
{
    m_outQueue.clear();
    m_outLines.clear();
    m_outQueued = 0;
    m_outWritten = 0;
    m_outTotal = 0;
}
