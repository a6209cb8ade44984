// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "switchboardserver.h"
#include "commandline.h"
#include "kzemvikbuffer.h"
#include "lineframer.h"
#include "server_debug.h"

#include <QDeadlineTimer>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

struct SwitchboardServer::Connection {
    QTcpSocket *socket = nullptr;
    KZemvikBuffer buffer;
    LineFramer framer{QSet<QString>()};
    QString key; //!< empty until entered
    QString loginId;
    QString nick; //!< as the member wrote it, escaped
    QString name;
    bool closing = false;
};

struct SwitchboardServer::Session {
    QString issuedTo;
    QList<Connection *> members;
    bool used = false;
    QDeadlineTimer unusedUntil;
};

SwitchboardServer::SwitchboardServer(QObject *parent)
    : QObject(parent)
    , m_pServer(new QTcpServer(this))
{
    connect(m_pServer, &QTcpServer::newConnection, this, &SwitchboardServer::acceptConnections);
}

SwitchboardServer::~SwitchboardServer()
{
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
        it.key()->disconnect(this);
        delete it.value();
    }
    m_connections.clear();
    purgeClosed();
    qDeleteAll(m_sessions);
}

bool SwitchboardServer::listen(const QHostAddress &address, quint16 port)
{
    return m_pServer->listen(address, port);
}

QHostAddress SwitchboardServer::address() const
{
    return m_pServer->serverAddress();
}

quint16 SwitchboardServer::port() const
{
    return m_pServer->serverPort();
}

QString SwitchboardServer::errorString() const
{
    return m_pServer->errorString();
}

SwitchboardTicket SwitchboardServer::issue(const QString &userId)
{
    expireKeys();
    SwitchboardTicket ticket;
    if (!m_pServer->isListening() || userId.isEmpty()) {
        return ticket;
    }
    QString key;
    do {
        key = QString::number(QRandomGenerator::system()->generate64(), 16) + QString::number(QRandomGenerator::system()->generate64(), 16);
    } while (m_sessions.contains(key));
    auto *session = new Session;
    session->issuedTo = userId;
    session->unusedUntil = QDeadlineTimer(UnusedKeyLifetimeMs);
    m_sessions.insert(key, session);
    ticket.host = address().toString();
    ticket.port = port();
    ticket.key = key;
    return ticket;
}

int SwitchboardServer::sessionCount() const
{
    return m_sessions.size();
}

QStringList SwitchboardServer::participants(const QString &key) const
{
    QStringList ids;
    if (const Session *session = m_sessions.value(key)) {
        for (const Connection *member : session->members) {
            ids.append(member->loginId);
        }
    }
    return ids;
}

void SwitchboardServer::expireKeys()
{
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (!it.value()->used && it.value()->unusedUntil.hasExpired()) {
            delete it.value();
            it = m_sessions.erase(it);
        } else {
            ++it;
        }
    }
}

void SwitchboardServer::acceptConnections()
{
    while (QTcpSocket *socket = m_pServer->nextPendingConnection()) {
        auto *connection = new Connection;
        connection->socket = socket;
        m_connections.insert(socket, connection);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (Connection *c = m_connections.value(socket)) {
                readFrom(c);
            }
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (Connection *c = m_connections.value(socket)) {
                leave(c, true);
            }
        });
    }
}

void SwitchboardServer::readFrom(Connection *connection)
{
    QTcpSocket *socket = connection->socket;
    connection->buffer.add(socket->readAll());
    while (m_connections.contains(socket) && !connection->closing) {
        LineFramer::Frame frame;
        const LineFramer::Result result = connection->framer.next(connection->buffer, frame);
        if (result == LineFramer::Result::NeedMore) {
            return;
        }
        if (result == LineFramer::Result::Error) {
            qCWarning(KZEMVIK_SERVER) << "switchboard:" << connection->framer.errorString();
            leave(connection, true);
            return;
        }
        if (!frame.fields.isEmpty()) {
            handle(connection, frame.fields, frame.line);
        }
    }
}

void SwitchboardServer::send(Connection *connection, const QString &line)
{
    if (connection->closing) {
        return;
    }
    connection->socket->write(line.toUtf8() + "\r\n");
}

void SwitchboardServer::handle(Connection *connection, const QStringList &fields, const QString &line)
{
    const QString &command = fields.first();
    const QString tid = CommandLine::field(fields, 1);
    if (connection->key.isEmpty()) {
        if (command == QLatin1String("ENTR")) {
            enter(connection, fields);
        } else {
            qCDebug(KZEMVIK_SERVER) << "switchboard: command before ENTR:" << command;
            send(connection, QStringLiteral("911 ") + (tid.isEmpty() ? QStringLiteral("0") : tid));
            leave(connection, false);
        }
        return;
    }
    if (command == QLatin1String("MESG")) {
        relayMessage(connection, fields);
    } else if (command == QLatin1String("WHSP")) {
        relayWhisper(connection, fields);
    } else if (command == QLatin1String("QUIT") || command == QLatin1String("LOUT")) {
        leave(connection, true);
    } else {
        qCDebug(KZEMVIK_SERVER) << "switchboard: ignored" << line.left(80);
    }
}

void SwitchboardServer::enter(Connection *connection, const QStringList &fields)
{
    // ENTR tid loginId nick name key UTF8 P
    const QString tid = CommandLine::field(fields, 1);
    const QString loginId = CommandLine::field(fields, 2);
    const QString key = CommandLine::field(fields, 5);
    Session *session = m_sessions.value(key);
    const bool allowed = fields.size() >= 6 && !loginId.isEmpty() && session && session->members.size() < MaxParticipants
        && (session->used || session->issuedTo == loginId);
    if (!allowed) {
        qCDebug(KZEMVIK_SERVER) << "switchboard: entry refused for" << loginId;
        send(connection, QStringLiteral("911 ") + (tid.isEmpty() ? QStringLiteral("0") : tid));
        leave(connection, false);
        return;
    }
    // The same member entering again replaces the old connection.
    const auto old = std::find_if(session->members.cbegin(), session->members.cend(), [&loginId](const Connection *member) {
        return member->loginId == loginId;
    });
    if (old != session->members.cend()) {
        Connection *replaced = *old;
        session->members.removeOne(replaced);
        replaced->key.clear();
        leave(replaced, false);
    }
    connection->key = key;
    connection->loginId = loginId;
    connection->nick = fields.at(3);
    connection->name = fields.at(4);
    session->used = true;

    // Those present first, then the answer: the newcomer's client invites only who is still missing.
    const int count = session->members.size();
    for (int i = 0; i < count; ++i) {
        const Connection *member = session->members.at(i);
        send(connection, QStringLiteral("USER %1 %2 %3 %4 %5 %6").arg(tid).arg(i + 1).arg(count).arg(member->loginId, member->nick, member->name));
    }
    send(connection, QStringLiteral("ENTR %1 OK").arg(tid));
    const QString join = QStringLiteral("JOIN 0 %1 %2 %3").arg(loginId, connection->nick, connection->name);
    for (Connection *member : qAsConst(session->members)) {
        send(member, join);
    }
    session->members.append(connection);
}

void SwitchboardServer::relayMessage(Connection *connection, const QStringList &fields)
{
    // MESG tid kind ... reaches the others as MESG tid sender kind ...
    if (fields.size() < 3) {
        return;
    }
    int from = 2;
    if (fields.at(2) == connection->loginId) {
        from = 3; // "MESG tid ownId TYPING 2" already names the sender
    }
    const QString line = QStringLiteral("MESG %1 %2 ").arg(fields.at(1), connection->loginId) + fields.mid(from).join(QLatin1Char(' '));
    Session *session = m_sessions.value(connection->key);
    if (!session) {
        return;
    }
    for (Connection *member : qAsConst(session->members)) {
        if (member != connection) {
            send(member, line);
        }
    }
}

void SwitchboardServer::relayWhisper(Connection *connection, const QStringList &fields)
{
    // WHSP tid target body... reaches the target alone as WHSP tid sender body...
    if (fields.size() < 4) {
        return;
    }
    Session *session = m_sessions.value(connection->key);
    if (!session) {
        return;
    }
    const QString line = QStringLiteral("WHSP %1 %2 ").arg(fields.at(1), connection->loginId) + fields.mid(3).join(QLatin1Char(' '));
    for (Connection *member : qAsConst(session->members)) {
        if (member != connection && member->loginId == fields.at(2)) {
            send(member, line);
        }
    }
}

void SwitchboardServer::leave(Connection *connection, bool announce)
{
    if (connection->closing) {
        return;
    }
    const QString key = std::exchange(connection->key, QString());
    if (Session *session = m_sessions.value(key)) {
        session->members.removeOne(connection);
        if (announce) {
            const QString quit = QStringLiteral("QUIT 0 %1").arg(connection->loginId);
            for (Connection *member : qAsConst(session->members)) {
                send(member, quit);
            }
        }
        if (session->members.isEmpty()) {
            endSession(key);
        }
    }
    connection->closing = true;
    QTcpSocket *socket = connection->socket;
    m_connections.remove(socket);
    socket->disconnect(this);
    socket->disconnectFromHost();
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
    }
    // A read loop may still hold the connection: it is freed once control is back in the event loop.
    m_closed.append(connection);
    QTimer::singleShot(0, this, &SwitchboardServer::purgeClosed);
}

void SwitchboardServer::purgeClosed()
{
    qDeleteAll(m_closed);
    m_closed.clear();
}

void SwitchboardServer::endSession(const QString &key)
{
    delete m_sessions.take(key);
}
