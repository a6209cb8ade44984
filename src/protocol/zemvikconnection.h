// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "kzemvikbuffer.h"
#include "lineframer.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class CurrentAccount;
class ProxyNegotiator;
class QTcpSocket;

//! One line-protocol connection to a Zemvik server: framing, numbering, keep-alive, time-out and retry.
//! Subclasses give the commands their meaning through the parse functions.
class ZemvikConnection : public QObject
{
    Q_OBJECT
public:
    explicit ZemvikConnection(const QString &name, QObject *parent = nullptr);
    ~ZemvikConnection() override;

    //! Binds the current account; only the first call succeeds.
    virtual bool initialize();
    bool isInitialized() const;
    //! Starts an asynchronous connection (through the configured proxy when "Use_Proxy" is set).
    bool connectToServer(const QString &host, int port);
    //! Writes "command TID argument"; the argument already ends with CR LF. Returns the TID used.
    int sendCommand(const QString &command, const QString &argument);
    //! Writes "command TID arguments length" CR LF and the payload; the length counts UTF-8 bytes.
    int sendPayloadCommand(const QString &command, const QString &arguments, const QString &payload);
    //! Writes prefix and text unchanged, for lines that carry a TID the caller chose.
    void writeLine(const QString &prefix, const QString &text);
    //! The next TID; numbering never restarts for the life of the object.
    int nextTrid();
    //! Stops keep-alive, time-out and retry, says "LOUT" when connected and closes.
    void closeConnection(bool silent);
    void setSendPings(bool on);
    bool isConnected() const;
    //! The local IPv4 address of the connected socket, without the port.
    QString getLocalIp() const;
    //! Connection time-out, retry delay, ping interval and the ping interval after a miss, in ms.
    void setTimings(int connectMs, int retryMs, int pingMs, int pingRetryMs);
    //! Bytes accepted by sendCommand/writeLine that the socket has not taken yet.
    qint64 pendingWriteBytes() const;
    //! Bytes read from the socket since construction.
    qint64 bytesReceived() const;
    QString name() const;
    //! Runs one frame through the handlers as if it had been read from the socket (tests, fuzzing).
    void handleFrame(const LineFramer::Frame &frame);

    static constexpr int DefaultConnectTimeout = 5000;
    static constexpr int DefaultRetryDelay = 3000;
    static constexpr int DefaultPingInterval = 10000;
    static constexpr int DefaultPingRetryInterval = 3000;

Q_SIGNALS:
    void disconnected();
    //! kind 1: the connection is good; kind 2: pings are being lost.
    void statusMessage(const QString &text, int kind);
    void messageReceived(const QString &message);
    void messageSent(const QString &message);
    void pingError();
    //! The proxy negotiation failed; the connection has been closed.
    void proxyError(const QString &message);

public Q_SLOTS:
    void dataReceived();
    void sendPing();
    void slotConnectionTimeout();
    void slotRetry();
    //! The connection is ready for the first command.
    virtual void connectionSuccess();

protected:
    //! One plain command line.
    virtual void parseCommand(const QStringList &command) = 0;
    //! A payload command whose payload is a memo or a configuration answer; kind is its first four bytes.
    virtual void parseMimeMessage(const QString &kind, const QStringList &command, const QByteArray &payload) = 0;
    //! A payload command whose payload ("INVT", "REQC") is a line of text.
    virtual void parsePayloadMessage(const QStringList &command, const QString &payload) = 0;
    //! Reports the failed proxy negotiation and closes the connection.
    virtual void proxyFailed(int result);

    void stopConnectionTimer();
    QTcpSocket *socket() const;

    CurrentAccount *m_pCurrentAccount = nullptr;

private:
    void onReadyRead();
    void onConnected();
    void onBytesWritten(qint64 bytes);
    void socketError(QAbstractSocket::SocketError error);
    void socketClosed();
    void onProxySucceeded();
    void onProxyFailed(int result);
    //! Closes the socket without touching the time-out and retry timers.
    void dropConnection(bool silent);
    void writeData(const QString &text);
    void flushOutput();
    void emitWrittenLines();
    void clearOutput();

    QTimer m_connectionTimer;
    QTimer m_pingTimer;
    QTimer m_retryTimer;
    int m_connectMs = DefaultConnectTimeout;
    int m_retryMs = DefaultRetryDelay;
    int m_pingMs = DefaultPingInterval;
    int m_pingRetryMs = DefaultPingRetryInterval;

    int m_trid = 0;
    quint16 m_port = 0;
    QString m_host;
    QString m_name;
    bool m_initialized = false;

    int m_missedPings = 0;
    bool m_pinging = false;
    bool m_pongReceived = true;

    QTcpSocket *m_pSocket;
    ProxyNegotiator *m_pProxy;

    bool m_reading = false; // a nested dataReceived() returns at once
    bool m_closing = false; // closing: the socket's own disconnected() is ours
    bool m_open = false; // an attempt or connection is under way; its end is announced once
    int m_generation = 0; // counts connections, so a reader notices that its one has ended

    qint64 m_bytesReceived = 0;
    KZemvikBuffer m_Buffer;
    LineFramer m_framer;

    // Output not yet taken by the socket, and the lines whose bytes are not all written yet.
    struct PendingLine {
        qint64 end; // offset just past the line in the output stream
        QString text;
    };
    KZemvikBuffer m_outQueue; // consumed from the front without moving the rest
    QList<PendingLine> m_outLines;
    qint64 m_outQueued = 0; // bytes handed to the socket so far
    qint64 m_outWritten = 0; // bytes the socket reported written
    qint64 m_outTotal = 0; // bytes accepted so far
};
