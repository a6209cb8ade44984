// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "sessionserver.h"
#include "commandline.h"
#include "server_debug.h"
#include "sessionclient.h"
#include "sessionendpoint.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

static QString newTicket()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(words), sizeof(words)).toHex());
}

static QString shownNick(const StoredAccount &account)
{
    return account.nick.isEmpty() ? account.name : account.nick;
}

SessionServer::SessionServer(ServiceStore *store, QObject *parent)
    : QObject(parent)
    , m_pStore(store)
    , m_pServer(new QTcpServer(this))
{
    connect(m_pServer, &QTcpServer::newConnection, this, &SessionServer::acceptConnections);
}

SessionServer::~SessionServer()
{
    // Client objects are children; they must not call back into a half-destroyed server.
    const auto clients = findChildren<SessionClient *>(QString(), Qt::FindDirectChildrenOnly);
    for (SessionClient *client : clients) {
        client->detach();
    }
    m_online.clear();
}

bool SessionServer::listen(const QHostAddress &address, quint16 port)
{
    return m_pServer->listen(address, port);
}

QHostAddress SessionServer::address() const
{
    return m_pServer->serverAddress();
}

quint16 SessionServer::port() const
{
    return m_pServer->serverPort();
}

QString SessionServer::errorString() const
{
    return m_pServer->errorString();
}

ServiceStore *SessionServer::store() const
{
    return m_pStore;
}

void SessionServer::setSwitchboardProvider(SwitchboardProvider provider)
{
    m_switchboardProvider = std::move(provider);
}

SwitchboardTicket SessionServer::requestSwitchboard(const QString &userId) const
{
    return m_switchboardProvider ? m_switchboardProvider(userId) : SwitchboardTicket();
}

void SessionServer::acceptConnections()
{
    while (QTcpSocket *socket = m_pServer->nextPendingConnection()) {
        new SessionClient(socket, this);
    }
}

QString SessionServer::signIn(SessionEndpoint *endpoint, const StoredAccount &account)
{
    const auto it = m_online.constFind(account.cmn);
    if (it != m_online.constEnd()) {
        SessionEndpoint *previous = it->endpoint;
        signOut(previous);
        previous->kill();
    }
    Online online;
    online.endpoint = endpoint;
    online.loginId = account.loginId;
    online.nick = shownNick(account);
    online.ticket = newTicket();
    m_tickets.insert(online.ticket, account.cmn);
    m_online.insert(account.cmn, online);
    qCDebug(KZEMVIK_SERVER) << "signed in:" << account.loginId;
    Q_EMIT signedIn(account.loginId);
    return online.ticket;
}

void SessionServer::signOut(SessionEndpoint *endpoint)
{
    const int cmn = memberOf(endpoint);
    if (cmn == 0) {
        return;
    }
    const Online online = m_online.take(cmn);
    m_tickets.remove(online.ticket);
    announce(cmn, online.status, QStringLiteral("F"));
    qCDebug(KZEMVIK_SERVER) << "signed out:" << online.loginId;
    Q_EMIT signedOut(online.loginId);
}

int SessionServer::memberOf(const SessionEndpoint *endpoint) const
{
    if (!endpoint) {
        return 0;
    }
    for (auto it = m_online.constBegin(); it != m_online.constEnd(); ++it) {
        if (it->endpoint == endpoint) {
            return it.key();
        }
    }
    return 0;
}

bool SessionServer::isOnline(int cmn) const
{
    return m_online.contains(cmn);
}

QString SessionServer::status(int cmn) const
{
    const auto it = m_online.constFind(cmn);
    return it == m_online.constEnd() ? QStringLiteral("F") : it->status;
}

QString SessionServer::renewTicket(int cmn)
{
    const auto it = m_online.find(cmn);
    if (it == m_online.end()) {
        return QString();
    }
    m_tickets.remove(it->ticket);
    it->ticket = newTicket();
    m_tickets.insert(it->ticket, cmn);
    return it->ticket;
}

QString SessionServer::userIdForTicket(const QString &ticket) const
{
    const int cmn = m_tickets.value(ticket);
    const auto it = m_online.constFind(cmn);
    return it == m_online.constEnd() ? QString() : it->loginId;
}

QStringList SessionServer::onlineUserIds() const
{
    QStringList ids;
    for (const Online &online : m_online) {
        ids.append(online.loginId);
    }
    return ids;
}

bool SessionServer::isStatusLetter(const QString &letter)
{
    return letter.size() == 1 && QStringLiteral("OABPMF").contains(letter);
}

void SessionServer::setStatus(int cmn, const QString &letter)
{
    const auto it = m_online.find(cmn);
    if (it == m_online.end() || !isStatusLetter(letter) || it->status == letter) {
        return;
    }
    const QString old = it->status;
    it->status = letter;
    announce(cmn, old, letter);
}

void SessionServer::changeNick(int cmn, const QString &nick)
{
    if (!m_pStore->setNick(cmn, nick)) {
        return;
    }
    const StoredAccount account = m_pStore->account(cmn);
    const auto it = m_online.find(cmn);
    if (it != m_online.end()) {
        it->nick = shownNick(account);
    }
    const QByteArray line = QStringLiteral("NNIK 0 %1 %2\r\n").arg(account.loginId, CommandLine::escape(shownNick(account))).toUtf8();
    const QList<StoredWatcher> watchers = m_pStore->watchers(cmn);
    for (const StoredWatcher &w : watchers) {
        deliver(w.cmn, line);
    }
}

QString SessionServer::visibleStatus(int member, bool blocksWatcher) const
{
    return blocksWatcher ? QStringLiteral("F") : status(member);
}

QString SessionServer::seenStatus(int member, int watcher) const
{
    if (!isOnline(member) || !m_pStore->entry(watcher, member).fl) {
        return QStringLiteral("F");
    }
    return visibleStatus(member, m_pStore->entry(member, watcher).bl);
}

QByteArray SessionServer::presenceLine(const char *command, const QString &loginId, const QString &status, int cmn, const QString &nick)
{
    return QStringLiteral("%1 0 %2 %3 %4 %5\r\n").arg(QLatin1String(command), loginId, status).arg(cmn).arg(CommandLine::escape(nick)).toUtf8();
}

void SessionServer::announce(int cmn, const QString &oldStatus, const QString &newStatus)
{
    const auto self = m_online.constFind(cmn);
    QString loginId;
    QString nick;
    if (self != m_online.constEnd()) {
        loginId = self->loginId;
        nick = self->nick;
    } else {
        const StoredAccount account = m_pStore->account(cmn);
        loginId = account.loginId;
        nick = shownNick(account);
    }
    const QList<StoredWatcher> watchers = m_pStore->watchers(cmn);
    for (const StoredWatcher &w : watchers) {
        if (!m_online.contains(w.cmn)) {
            continue;
        }
        const QString before = w.blocked ? QStringLiteral("F") : oldStatus;
        const QString after = w.blocked ? QStringLiteral("F") : newStatus;
        if (before != after) {
            deliver(w.cmn, presenceLine("NTFY", loginId, after, cmn, nick));
        }
    }
}

QByteArray SessionServer::initialPresence(int cmn) const
{
    QByteArray lines;
    const QList<StoredEntry> entries = m_pStore->entries(cmn);
    for (const StoredEntry &e : entries) {
        const auto it = m_online.constFind(e.buddyCmn);
        if (!e.fl || it == m_online.constEnd() || it->status == QLatin1String("F")) {
            continue;
        }
        if (m_pStore->entry(e.buddyCmn, cmn).bl) {
            continue;
        }
        lines += presenceLine("INFY", it->loginId, it->status, e.buddyCmn, it->nick);
    }
    return lines;
}

void SessionServer::refreshPresence(int member, int watcher, const QString &before)
{
    if (!m_online.contains(watcher)) {
        return;
    }
    const QString now = seenStatus(member, watcher);
    if (now == before) {
        return;
    }
    const StoredAccount account = m_pStore->account(member);
    deliver(watcher, presenceLine("NTFY", account.loginId, now, member, shownNick(account)));
}

bool SessionServer::deliver(int cmn, const QByteArray &bytes)
{
    const auto it = m_online.constFind(cmn);
    if (it == m_online.constEnd()) {
        return false;
    }
    it->endpoint->deliver(bytes);
    return true;
}
