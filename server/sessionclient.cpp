// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "sessionclient.h"
#include "commandline.h"
#include "server_debug.h"
#include "serviceerror.h"
#include "sessionserver.h"

#include <QSet>
#include <QTcpSocket>
#include <QTimer>

using CommandLine::escape;
using CommandLine::field;

namespace
{
const QString s_offline = QStringLiteral("F");

//! The raw text after the first n blank-separated fields (free text such as a group name).
QString restOfLine(const QString &line, int n)
{
    int pos = 0;
    for (int i = 0; i < n; ++i) {
        while (pos < line.size() && line.at(pos) == QLatin1Char(' ')) {
            ++pos;
        }
        while (pos < line.size() && line.at(pos) != QLatin1Char(' ')) {
            ++pos;
        }
    }
    return line.mid(pos).trimmed();
}

//! User text for names: escapes undone, line breaks and tabs turned into blanks.
QString cleanText(const QString &text)
{
    QString out = CommandLine::unescapeField(text);
    for (QChar &c : out) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t')) {
            c = QLatin1Char(' ');
        }
    }
    return out.trimmed();
}

bool isTid(const QString &text)
{
    bool ok = false;
    text.toUInt(&ok);
    return ok && text.size() <= 10;
}
}

SessionClient::SessionClient(QTcpSocket *socket, SessionServer *server)
    : QObject(server)
    , m_pSocket(socket)
    , m_pServer(server)
    , m_pStore(server->store())
    , m_pIdleTimer(new QTimer(this))
    , m_pTicketTimer(new QTimer(this))
    , m_framer(QSet<QString>{QStringLiteral("CTOC"),
                             QStringLiteral("CMSG"),
                             QStringLiteral("CPRF"),
                             QStringLiteral("RMBG"),
                             QStringLiteral("MVBG"),
                             QStringLiteral("CPBG")})
{
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &SessionClient::readData);
    connect(socket, &QTcpSocket::disconnected, this, &SessionClient::close);
    m_pIdleTimer->setSingleShot(true);
    m_pIdleTimer->setInterval(IdleTimeoutMs);
    connect(m_pIdleTimer, &QTimer::timeout, this, [this] {
        qCDebug(KZEMVIK_SERVER) << "closing an idle connection";
        close();
    });
    m_pIdleTimer->start();
    m_pTicketTimer->setInterval(TicketIntervalMs);
    connect(m_pTicketTimer, &QTimer::timeout, this, [this] {
        if (m_account.isValid() && m_pServer) {
            reply(QStringLiteral("TICK 0 %1").arg(m_pServer->renewTicket(m_account.cmn)));
        }
    });
}

SessionClient::~SessionClient()
{
    if (m_pServer) {
        m_pServer->signOut(this);
    }
}

void SessionClient::detach()
{
    m_pServer = nullptr;
    m_account = StoredAccount();
}

void SessionClient::deliver(const QByteArray &bytes)
{
    if (m_pSocket && !m_closing) {
        m_pSocket->write(bytes);
    }
}

void SessionClient::kill()
{
    // The server has already taken the sign-in away from this connection.
    m_account = StoredAccount();
    deliver(QByteArrayLiteral("KILL 0\r\n"));
    close();
}

void SessionClient::close()
{
    if (m_closing) {
        return;
    }
    m_closing = true;
    m_pIdleTimer->stop();
    m_pTicketTimer->stop();
    if (m_pServer) {
        m_pServer->signOut(this);
    }
    m_account = StoredAccount();
    if (m_pSocket && m_pSocket->state() != QAbstractSocket::UnconnectedState) {
        // Lines still queued (a "KILL") go out before the socket dies with us.
        connect(m_pSocket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        QTimer::singleShot(5000, this, &QObject::deleteLater);
        m_pSocket->disconnectFromHost();
    } else {
        deleteLater();
    }
}

void SessionClient::reply(const QString &line)
{
    deliver(line.toUtf8() + "\r\n");
}

void SessionClient::error(int number, const QString &tid)
{
    reply(QStringLiteral("%1 %2").arg(number).arg(tid));
}

void SessionClient::readData()
{
    if (!m_pSocket || m_closing) {
        return;
    }
    m_pIdleTimer->start();
    m_buffer.add(m_pSocket->readAll());
    LineFramer::Frame frame;
    while (!m_closing && m_pServer) {
        const LineFramer::Result result = m_framer.next(m_buffer, frame);
        if (result == LineFramer::Result::NeedMore) {
            return;
        }
        if (result == LineFramer::Result::Error) {
            qCWarning(KZEMVIK_SERVER) << "session: closing a connection:" << m_framer.errorString();
            close();
            return;
        }
        handle(frame);
    }
}

void SessionClient::handle(const LineFramer::Frame &frame)
{
    const QStringList &f = frame.fields;
    const QString command = field(f, 0);
    if (command == QLatin1String("LOUT")) {
        close();
        return;
    }
    const QString tid = field(f, 1);
    if (!isTid(tid)) {
        qCDebug(KZEMVIK_SERVER) << "ignoring a line without transaction number:" << command.left(8);
        return;
    }
    if (command == QLatin1String("LSIN")) {
        signIn(f, tid);
        return;
    }
    if (!m_account.isValid()) {
        error(ServiceError::NotSignedIn, tid);
        return;
    }
    if (command == QLatin1String("PONG")) {
        reply(QStringLiteral("PONG %1").arg(tid));
    } else if (command == QLatin1String("PING") || command == QLatin1String("PNAK")) {
        // answers to our own keep-alive: the read itself restarted the idle timer
    } else if (command == QLatin1String("CONF")) {
        sendConfiguration(tid);
    } else if (command == QLatin1String("GLST")) {
        sendGroupList(tid);
    } else if (command == QLatin1String("LIST")) {
        sendBuddyList(tid);
    } else if (command == QLatin1String("ONST")) {
        changeStatus(f, tid);
    } else if (command == QLatin1String("CNIK")) {
        changeNick(frame.line, tid);
    } else if (command == QLatin1String("ADDG")) {
        addGroup(f, frame.line, tid);
    } else if (command == QLatin1String("RMVG")) {
        removeGroup(f, tid);
    } else if (command == QLatin1String("RENG")) {
        renameGroup(f, frame.line, tid);
    } else if (command == QLatin1String("RMBG") || command == QLatin1String("MVBG") || command == QLatin1String("CPBG")) {
        editMemberships(command, f, frame.payload, tid);
    } else if (command == QLatin1String("ADDB")) {
        addToList(f, tid);
    } else if (command == QLatin1String("RMVB")) {
        removeFromList(f, tid);
    } else if (command == QLatin1String("ADSB")) {
        buddyRequest(f, tid);
    } else if (command == QLatin1String("CPRF")) {
        changeProfile(frame.payload, tid);
    } else if (command == QLatin1String("RESS")) {
        requestSwitchboard(tid);
    } else if (command == QLatin1String("CTOC")) {
        routeClientMessage(f, frame.payload, tid);
    } else if (command == QLatin1String("CMSG")) {
        sendMemo(frame.payload, tid);
    } else if (command == QLatin1String("TICK")) {
        reply(QStringLiteral("TICK %1 %2").arg(tid, m_pServer->renewTicket(m_account.cmn)));
    } else {
        error(ServiceError::UnknownCommand, tid);
    }
}

QString SessionClient::linkedId() const
{
    return m_pStore->profileValue(m_account.cmn, QStringLiteral("link_id"));
}

void SessionClient::signIn(const QStringList &f, const QString &tid)
{
    if (m_account.isValid()) {
        error(ServiceError::AlreadySignedIn, tid);
        return;
    }
    if (f.size() < 4) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    const StoredAccount account = m_pStore->account(f.at(2));
    if (!account.isValid()) {
        error(ServiceError::UnknownId, tid);
        return;
    }
    if (f.at(3).toLower() != account.digest) {
        error(ServiceError::WrongPassword, tid);
        return;
    }
    m_account = account;
    const QString ticket = m_pServer->signIn(this, account);
    m_pTicketTimer->start();

    const QString link = linkedId();
    const StoredAccount linked = link.isEmpty() ? StoredAccount() : m_pStore->account(link);
    const QString none = QStringLiteral("%00");
    const QStringList answer{
        QStringLiteral("LSIN"),
        tid,
        QString::number(account.cmn),
        escape(account.name),
        account.nick.isEmpty() ? none : escape(account.nick),
        none,
        none,
        ticket,
        linked.isValid() ? QString::number(linked.cmn) : none,
        QStringLiteral("0"),
        none,
        none,
        QStringLiteral("N"),
        none,
        account.loginId,
        linked.isValid() ? linked.loginId : none,
        QStringLiteral("N"),
        QStringLiteral("N"),
    };
    reply(answer.join(QLatin1Char(' ')));
}

void SessionClient::sendConfiguration(const QString &tid)
{
    const QByteArray payload = QByteArrayLiteral("Service_Domain=zemvik.example\r\nMavrelo_Domain=mavrelo.example\r\n");
    deliver(QStringLiteral("CONF %1 %2\r\n").arg(tid).arg(payload.size()).toUtf8() + payload);
}

void SessionClient::sendGroupList(const QString &tid)
{
    QList<StoredGroup> groups = m_pStore->groups(m_account.cmn);
    if (groups.isEmpty()) {
        // The client files ungrouped buddies under group "0"; it must always exist.
        groups.append(StoredGroup{ServiceStore::DefaultGroupId, ServiceStore::defaultGroupName()});
    }
    const QList<StoredMembership> memberships = m_pStore->memberships(m_account.cmn);
    const int count = groups.size() + memberships.size();
    QByteArray out;
    out.reserve(64 * count + 64);
    out += QStringLiteral("GLST %1 %2\r\n").arg(tid).arg(m_pStore->groupVersion(m_account.cmn)).toUtf8();
    int index = 0;
    for (const StoredGroup &g : groups) {
        out += QStringLiteral("GLST %1 %2 %3 G %4 %5 Y\r\n").arg(tid).arg(index++).arg(count).arg(g.id).arg(escape(g.name)).toUtf8();
    }
    for (const StoredMembership &m : memberships) {
        out += QStringLiteral("GLST %1 %2 %3 M %4 %5\r\n").arg(tid).arg(index++).arg(count).arg(m.buddyCmn).arg(m.groupId).toUtf8();
    }
    deliver(out);
}

void SessionClient::sendBuddyList(const QString &tid)
{
    const QList<StoredEntry> entries = m_pStore->entries(m_account.cmn);
    QByteArray out;
    out.reserve(128 * entries.size() + 64);
    if (entries.isEmpty()) {
        // One short line still tells the client the list is complete.
        out += QStringLiteral("LIST %1 0 1\r\n").arg(tid).toUtf8();
    }
    const QString none = QStringLiteral("%00");
    int index = 0;
    for (const StoredEntry &e : entries) {
        const QStringList line{
            QStringLiteral("LIST"),
            tid,
            QString::number(index++),
            QString::number(entries.size()),
            e.flagText(),
            e.loginId,
            QString::number(e.buddyCmn),
            escape(e.name),
            e.nick.isEmpty() ? none : escape(e.nick),
            none,
            none,
            none,
            none, // no personal page
            QStringLiteral("0"),
            QStringLiteral("0"),
            none,
            none,
            QStringLiteral("N"),
            QStringLiteral("0"),
        };
        out += line.join(QLatin1Char(' ')).toUtf8() + "\r\n";
    }
    out += m_pServer->initialPresence(m_account.cmn);
    const QList<StoredMemo> memos = m_pStore->takeMemos(m_account.cmn);
    for (const StoredMemo &memo : memos) {
        out += QStringLiteral("CTOC 0 %1 %2\r\n").arg(memo.senderId).arg(memo.payload.size()).toUtf8() + memo.payload;
    }
    deliver(out);
}

void SessionClient::changeStatus(const QStringList &f, const QString &tid)
{
    const QString letter = field(f, 2);
    if (!SessionServer::isStatusLetter(letter)) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    reply(QStringLiteral("ONST %1 %2").arg(tid, letter));
    m_pServer->setStatus(m_account.cmn, letter);
}

void SessionClient::changeNick(const QString &line, const QString &tid)
{
    const QString nick = cleanText(restOfLine(line, 2));
    if (nick.isEmpty() || nick.size() > MaxNickLength) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    reply(QStringLiteral("CNIK %1 %2").arg(tid, escape(nick)));
    m_pServer->changeNick(m_account.cmn, nick);
    m_account.nick = nick;
}

void SessionClient::addGroup(const QStringList &f, const QString &line, const QString &tid)
{
    const QString name = cleanText(restOfLine(line, 3));
    if (f.size() < 4 || name.isEmpty() || name.size() > MaxGroupNameLength || m_pStore->groupIdByName(m_account.cmn, name) >= 0) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    int id = 0;
    const int version = m_pStore->addGroup(m_account.cmn, name, &id);
    if (version < 0) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    reply(QStringLiteral("ADDG %1 %2 %3 %4").arg(tid).arg(version).arg(id).arg(escape(name)));
}

void SessionClient::removeGroup(const QStringList &f, const QString &tid)
{
    bool ok = false;
    const int id = field(f, 3).toInt(&ok);
    const int version = ok ? m_pStore->removeGroup(m_account.cmn, id) : -1;
    if (version < 0) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    reply(QStringLiteral("RMVG %1 %2 %3").arg(tid).arg(version).arg(id));
}

void SessionClient::renameGroup(const QStringList &f, const QString &line, const QString &tid)
{
    bool ok = false;
    const int id = field(f, 3).toInt(&ok);
    const QString name = cleanText(restOfLine(line, 4));
    const int existing = m_pStore->groupIdByName(m_account.cmn, name);
    if (!ok || name.isEmpty() || name.size() > MaxGroupNameLength || (existing >= 0 && existing != id)) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    const int version = m_pStore->renameGroup(m_account.cmn, id, name);
    if (version < 0) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    reply(QStringLiteral("RENG %1 %2 %3 %4").arg(tid).arg(version).arg(id).arg(escape(name)));
}

void SessionClient::editMemberships(const QString &command, const QStringList &f, const QByteArray &payload, const QString &tid)
{
    struct Edit {
        int buddy;
        int from;
        int to;
    };
    const bool remove = command == QLatin1String("RMBG");
    const bool move = command == QLatin1String("MVBG");
    QList<Edit> edits;
    const QStringList lines = QString::fromUtf8(payload).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (const QString &text : lines) {
        const QStringList e = CommandLine::split(text);
        bool okBuddy = false;
        bool okFrom = false;
        bool okTo = remove;
        const int buddy = field(e, 1).toInt(&okBuddy);
        const int from = field(e, 3).toInt(&okFrom);
        const int to = remove ? -1 : field(e, 4).toInt(&okTo);
        const StoredEntry entry = okBuddy ? m_pStore->entry(m_account.cmn, buddy) : StoredEntry();
        // Every entry must name one of my buddies by number and ID, and groups I have.
        if (!okBuddy || !okFrom || !okTo || !entry.fl || entry.loginId.compare(field(e, 2), Qt::CaseInsensitive) != 0
            || (!remove && !m_pStore->hasGroup(m_account.cmn, to))) {
            error(ServiceError::InvalidArgument, tid);
            return;
        }
        edits.append(Edit{buddy, from, to});
    }
    if (f.size() < 4 || edits.isEmpty() || !m_pStore->beginTransaction()) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    bool ok = true;
    for (const Edit &e : std::as_const(edits)) {
        if (remove || move) {
            ok = ok && m_pStore->removeMembership(m_account.cmn, e.buddy, e.from);
        }
        if (!remove) {
            ok = ok && m_pStore->addMembership(m_account.cmn, e.buddy, e.to);
        }
    }
    if (!ok || !m_pStore->commit()) {
        m_pStore->rollback();
        error(ServiceError::ServiceTrouble, tid);
        return;
    }
    reply(QStringLiteral("%1 %2 %3").arg(command, tid).arg(m_pStore->groupVersion(m_account.cmn)));
}

bool SessionClient::writeEntries(const StoredEntry &mine, const StoredEntry &theirs, bool addToDefaultGroup)
{
    const int me = m_account.cmn;
    const int buddy = mine.buddyCmn;
    const QString theySawMe = m_pServer->seenStatus(me, buddy);
    const QString iSawThem = m_pServer->seenStatus(buddy, me);
    if (!m_pStore->beginTransaction()) {
        return false;
    }
    bool ok = m_pStore->setEntry(me, mine) && m_pStore->setEntry(buddy, theirs);
    if (ok && addToDefaultGroup && mine.fl && !m_pStore->isInAnyGroup(me, buddy)) {
        ok = m_pStore->addMembership(me, buddy, ServiceStore::DefaultGroupId);
    }
    if (!ok || !m_pStore->commit()) {
        m_pStore->rollback();
        return false;
    }
    m_pServer->refreshPresence(me, buddy, theySawMe);
    m_pServer->refreshPresence(buddy, me, iSawThem);
    return true;
}

void SessionClient::addToList(const QStringList &f, const QString &tid)
{
    const QString list = field(f, 2);
    const StoredAccount buddy = m_pStore->account(field(f, 4));
    if (list != QLatin1String("FL") && list != QLatin1String("AL") && list != QLatin1String("BL")) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    if (!buddy.isValid()) {
        error(list == QLatin1String("FL") ? ServiceError::MemberNotFound : ServiceError::InvalidArgument, tid);
        return;
    }
    if (buddy.cmn == m_account.cmn) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    StoredEntry mine = m_pStore->entry(m_account.cmn, buddy.cmn);
    StoredEntry theirs = m_pStore->entry(buddy.cmn, m_account.cmn);
    const bool newlyListed = list == QLatin1String("FL") && !theirs.rl;
    if (list == QLatin1String("FL")) {
        mine.fl = true;
        mine.al = !mine.bl;
        mine.message.clear();
        theirs.rl = true;
    } else if (list == QLatin1String("AL")) {
        mine.al = true;
        mine.bl = false;
    } else {
        mine.al = false;
        mine.bl = true;
    }
    if (!writeEntries(mine, theirs, true)) {
        error(ServiceError::ServiceTrouble, tid);
        return;
    }
    reply(QStringLiteral("ADDB %1 %2 %3 %4").arg(tid, list).arg(buddy.cmn).arg(buddy.loginId));
    if (newlyListed) {
        m_pServer->deliver(buddy.cmn, QStringLiteral("ADDB 0 RL %1 %2\r\n").arg(m_account.cmn).arg(m_account.loginId).toUtf8());
    }
}

void SessionClient::removeFromList(const QStringList &f, const QString &tid)
{
    const QString list = field(f, 2);
    const StoredAccount buddy = m_pStore->account(field(f, 4));
    if ((list != QLatin1String("FL") && list != QLatin1String("AL") && list != QLatin1String("BL")) || !buddy.isValid()
        || buddy.cmn == m_account.cmn) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    StoredEntry mine = m_pStore->entry(m_account.cmn, buddy.cmn);
    StoredEntry theirs = m_pStore->entry(buddy.cmn, m_account.cmn);
    const bool wasListed = mine.fl;
    if (list == QLatin1String("FL")) {
        mine.fl = false;
        theirs.rl = false;
    } else if (list == QLatin1String("AL")) {
        mine.al = false;
        mine.bl = true;
    } else {
        mine.bl = false;
        mine.al = true;
    }
    if (!writeEntries(mine, theirs, false)) {
        error(ServiceError::ServiceTrouble, tid);
        return;
    }
    reply(QStringLiteral("RMVB %1 %2 %3 %4").arg(tid, list).arg(buddy.cmn).arg(buddy.loginId));
    if (list == QLatin1String("FL") && wasListed) {
        m_pServer->deliver(buddy.cmn, QStringLiteral("RMVB 0 RL %1 %2\r\n").arg(m_account.cmn).arg(m_account.loginId).toUtf8());
    }
}

void SessionClient::buddyRequest(const QStringList &f, const QString &tid)
{
    const QString kind = field(f, 2);
    const StoredAccount other = m_pStore->account(field(f, 4));
    if (kind != QLatin1String("REQST") && kind != QLatin1String("ACCPT") && kind != QLatin1String("REJCT")) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    if (!other.isValid()) {
        error(kind == QLatin1String("REQST") ? ServiceError::MemberNotFound : ServiceError::InvalidArgument, tid);
        return;
    }
    if (other.cmn == m_account.cmn) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    StoredEntry mine = m_pStore->entry(m_account.cmn, other.cmn);
    StoredEntry theirs = m_pStore->entry(other.cmn, m_account.cmn);
    const QString myNick = m_account.nick.isEmpty() ? m_account.name : m_account.nick;
    if (kind == QLatin1String("REQST")) {
        const QString message = CommandLine::unescapeField(field(f, 6)).left(MaxRequestMessageLength);
        mine.fl = true;
        mine.al = !mine.bl;
        theirs.rl = true;
        if (!theirs.fl) {
            theirs.message = message;
        }
        if (!writeEntries(mine, theirs, true)) {
            error(ServiceError::ServiceTrouble, tid);
            return;
        }
        reply(QStringLiteral("ADSB %1 REQST %2 %3 %4").arg(tid).arg(other.cmn).arg(escape(other.name), other.loginId));
        m_pServer->deliver(other.cmn,
                           QStringLiteral("ADDB 0 RL %1 %2 %3\r\n").arg(m_account.cmn).arg(m_account.loginId, escape(message)).toUtf8());
    } else if (kind == QLatin1String("ACCPT")) {
        mine.fl = true;
        mine.al = true;
        mine.bl = false;
        mine.message.clear();
        theirs.rl = true;
        if (!writeEntries(mine, theirs, true)) {
            error(ServiceError::ServiceTrouble, tid);
            return;
        }
        reply(QStringLiteral("ADSB %1 ACCPT %2 %3 %4").arg(tid).arg(other.cmn).arg(escape(other.name), other.loginId));
        m_pServer->deliver(other.cmn,
                           QStringLiteral("ADSB 0 ACCPT %1 %2 %3\r\nADDB 0 RL %1 %2\r\n")
                               .arg(m_account.cmn)
                               .arg(m_account.loginId, escape(myNick))
                               .toUtf8());
    } else {
        // A declined request: it is not asked again, and the requester loses the pending entry.
        if (!mine.fl) {
            mine = StoredEntry();
            mine.buddyCmn = other.cmn;
        }
        mine.message.clear();
        mine.rl = false;
        theirs.fl = false;
        theirs.al = false;
        theirs.rl = mine.fl;
        if (!writeEntries(mine, theirs, false)) {
            error(ServiceError::ServiceTrouble, tid);
            return;
        }
        reply(QStringLiteral("ADSB %1 REJCT %2 %3").arg(tid).arg(other.cmn).arg(other.loginId));
        m_pServer->deliver(other.cmn, QStringLiteral("ADSB 0 REJCT %1 %2\r\n").arg(m_account.cmn).arg(m_account.loginId).toUtf8());
    }
}

void SessionClient::changeProfile(const QByteArray &payload, const QString &tid)
{
    const QString text = QString::fromUtf8(payload).section(QStringLiteral("\r\n"), 0, 0);
    const int eq = text.indexOf(QLatin1Char('='));
    const QString key = text.left(eq).trimmed();
    const QString value = text.mid(eq + 1).trimmed();
    if (eq <= 0 || key.size() > 64 || value.size() > 1024) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    QString mvCmn = QStringLiteral("%00");
    if (key == QLatin1String("mavrelo_id") || key == QLatin1String("tirn_id")) {
        // "ID&..._pw2=DIGEST" links another account; an empty value removes the link.
        const QString id = value.section(QLatin1Char('&'), 0, 0);
        if (id.isEmpty()) {
            m_pStore->setProfileValue(m_account.cmn, QStringLiteral("link_id"), QString());
        } else {
            const QString digest = value.section(QStringLiteral("pw2="), 1, 1).toLower();
            const StoredAccount linked = m_pStore->account(id);
            if (!linked.isValid() || linked.cmn == m_account.cmn || digest.isEmpty() || digest != linked.linkDigest) {
                error(ServiceError::WrongPassword, tid);
                return;
            }
            m_pStore->setProfileValue(m_account.cmn, QStringLiteral("link_id"), linked.loginId);
            mvCmn = QString::number(linked.cmn);
        }
    } else {
        if (!m_pStore->setProfileValue(m_account.cmn, key, value)) {
            error(ServiceError::ServiceTrouble, tid);
            return;
        }
        const StoredAccount linked = m_pStore->account(linkedId());
        if (linked.isValid()) {
            mvCmn = QString::number(linked.cmn);
        }
    }
    // "%00" must not meet QString::arg(), which would take it for a place marker.
    reply(QLatin1String("CPRF ") + tid + QLatin1String(" 001 %00 %00 %00 %00 O ") + mvCmn);
}

void SessionClient::requestSwitchboard(const QString &tid)
{
    const SwitchboardTicket ticket = m_pServer->requestSwitchboard(m_account.loginId);
    if (!ticket.isValid()) {
        error(ServiceError::ServiceTrouble, tid);
        return;
    }
    reply(QStringLiteral("RESS %1 %2 %3 %4").arg(tid, ticket.host).arg(ticket.port).arg(ticket.key));
}

bool SessionClient::refusesFrom(int recipient, const QString &privacyKey) const
{
    const StoredEntry theirs = m_pStore->entry(recipient, m_account.cmn);
    if (theirs.bl) {
        return true;
    }
    const QString setting = m_pStore->profileValue(recipient, privacyKey);
    const bool buddiesOnly = privacyKey == QLatin1String("allow_buddy_only") ? setting.compare(QLatin1String("Y"), Qt::CaseInsensitive) == 0
                                                                              : setting.compare(QLatin1String("N"), Qt::CaseInsensitive) == 0;
    return buddiesOnly && !theirs.fl;
}

void SessionClient::routeClientMessage(const QStringList &f, const QByteArray &payload, const QString &tid)
{
    const StoredAccount recipient = m_pStore->account(field(f, 2));
    if (f.size() < 5 || !recipient.isValid() || recipient.cmn == m_account.cmn) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    if (!m_pServer->isOnline(recipient.cmn) || refusesFrom(recipient.cmn, QStringLiteral("allow_nonbuddy_chat"))) {
        error(ServiceError::NotOnline, tid);
        return;
    }
    m_pServer->deliver(recipient.cmn, QStringLiteral("CTOC 0 %1 %2\r\n").arg(m_account.loginId).arg(payload.size()).toUtf8() + payload);
}

void SessionClient::sendMemo(const QByteArray &payload, const QString &tid)
{
    // The first line names the recipients; the rest ("IMSG" and the headers) is what they receive.
    const int end = payload.indexOf("\r\n");
    const QByteArray memo = end < 0 ? QByteArray() : payload.mid(end + 2);
    if (!memo.startsWith("IMSG")) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    QStringList recipients = CommandLine::split(QString::fromUtf8(payload.left(end)));
    recipients.removeDuplicates();
    if (recipients.isEmpty() || recipients.size() > MaxMemoRecipients) {
        error(ServiceError::InvalidArgument, tid);
        return;
    }
    const QByteArray line = QStringLiteral("CTOC 0 %1 %2\r\n").arg(m_account.loginId).arg(memo.size()).toUtf8();
    for (const QString &id : std::as_const(recipients)) {
        const StoredAccount recipient = m_pStore->account(id);
        if (!recipient.isValid()) {
            qCDebug(KZEMVIK_SERVER) << "memo for an unknown ID dropped";
            continue;
        }
        if (refusesFrom(recipient.cmn, QStringLiteral("allow_buddy_only"))) {
            continue;
        }
        if (!m_pServer->deliver(recipient.cmn, line + memo) && !m_pStore->storeMemo(recipient.cmn, m_account.loginId, memo)) {
            error(ServiceError::ServiceTrouble, tid);
            return;
        }
    }
    reply(QStringLiteral("CMSG %1 OK").arg(tid));
}
