// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "switchboardticket.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>

class QTcpServer;
class QTcpSocket;

//! The switchboard role: one chat session per issued key. Members enter with "ENTR" and the key,
//! learn who is there ("USER"), and everything they say ("MESG") or whisper ("WHSP") reaches the others.
class SwitchboardServer : public QObject
{
    Q_OBJECT
public:
    //! An issued key that nobody used is forgotten after this long.
    static constexpr int UnusedKeyLifetimeMs = 10 * 60 * 1000;
    static constexpr int MaxParticipants = 32;

    explicit SwitchboardServer(QObject *parent = nullptr);
    ~SwitchboardServer() override;

    bool listen(const QHostAddress &address, quint16 port);
    QHostAddress address() const;
    quint16 port() const;
    QString errorString() const;

    //! A new session for userId: the address and its key. The first to enter must be userId;
    //! the invited then enter with the same key. The key dies with the session.
    SwitchboardTicket issue(const QString &userId);
    //! Sessions that exist (issued and not yet ended).
    int sessionCount() const;
    //! Login IDs in the session of key, in order of entry.
    QStringList participants(const QString &key) const;

private:
    struct Connection;
    struct Session;

    void acceptConnections();
    void readFrom(Connection *connection);
    void handle(Connection *connection, const QStringList &fields, const QString &line);
    void enter(Connection *connection, const QStringList &fields);
    void relayMessage(Connection *connection, const QStringList &fields);
    void relayWhisper(Connection *connection, const QStringList &fields);
    //! Takes the connection out of its session (telling the others) and closes it.
    void leave(Connection *connection, bool announce);
    void send(Connection *connection, const QString &line);
    void endSession(const QString &key);
    void expireKeys();
    void purgeClosed();

    QTcpServer *m_pServer;
    QHash<QString, Session *> m_sessions;
    QHash<QTcpSocket *, Connection *> m_connections;
    QList<Connection *> m_closed;
};
