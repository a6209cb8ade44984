// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "servicestore.h"
#include "server_debug.h"
#include "signindigest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sqlite3.h>

static const QString s_serviceDomain = QStringLiteral("zemvik.example");

QString StoredEntry::flagText() const
{
    QString text;
    text += fl ? QLatin1Char('1') : QLatin1Char('0');
    text += al ? QLatin1Char('1') : QLatin1Char('0');
    text += bl ? QLatin1Char('1') : QLatin1Char('0');
    text += rl ? QLatin1Char('1') : QLatin1Char('0');
    return text;
}

namespace
{
// One prepared statement; finalized when it goes out of scope.
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql)
        : m_pDb(db)
    {
        if (db && sqlite3_prepare_v2(db, sql, -1, &m_pStmt, nullptr) != SQLITE_OK) {
            qCWarning(KZEMVIK_SERVER) << "prepare failed:" << sqlite3_errmsg(db);
            m_pStmt = nullptr;
        }
    }
    ~Statement()
    {
        sqlite3_finalize(m_pStmt);
    }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const
    {
        return m_pStmt != nullptr;
    }
    Statement &bind(int i, int value)
    {
        if (m_pStmt) {
            sqlite3_bind_int(m_pStmt, i, value);
        }
        return *this;
    }
    Statement &bind(int i, const QString &value)
    {
        if (m_pStmt) {
            const QByteArray utf8 = value.toUtf8();
            sqlite3_bind_text(m_pStmt, i, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
        }
        return *this;
    }
    Statement &bindBlob(int i, const QByteArray &value)
    {
        if (m_pStmt) {
            sqlite3_bind_blob(m_pStmt, i, value.constData(), value.size(), SQLITE_TRANSIENT);
        }
        return *this;
    }
    //! true while a row is available
    bool step()
    {
        if (!m_pStmt) {
            return false;
        }
        const int rc = sqlite3_step(m_pStmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            qCWarning(KZEMVIK_SERVER) << "statement failed:" << sqlite3_errmsg(m_pDb);
            m_failed = true;
        }
        return rc == SQLITE_ROW;
    }
    //! Runs a statement that returns no rows.
    bool run()
    {
        step();
        return m_pStmt && !m_failed;
    }
    int intColumn(int i) const
    {
        return sqlite3_column_int(m_pStmt, i);
    }
    QString textColumn(int i) const
    {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_pStmt, i));
        return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_pStmt, i)) : QString();
    }
    QByteArray blobColumn(int i) const
    {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_pStmt, i));
        return data ? QByteArray(data, sqlite3_column_bytes(m_pStmt, i)) : QByteArray();
    }

private:
    sqlite3 *m_pDb;
    sqlite3_stmt *m_pStmt = nullptr;
    bool m_failed = false;
};

const char *const s_schema =
    "PRAGMA foreign_keys = ON;"
    "CREATE TABLE IF NOT EXISTS accounts ("
    " cmn INTEGER PRIMARY KEY AUTOINCREMENT,"
    " login_id TEXT NOT NULL UNIQUE COLLATE NOCASE,"
    " name TEXT NOT NULL, nick TEXT NOT NULL DEFAULT '',"
    " digest TEXT NOT NULL, link_digest TEXT NOT NULL,"
    " bot INTEGER NOT NULL DEFAULT 0,"
    " group_version INTEGER NOT NULL DEFAULT 1);"
    "CREATE TABLE IF NOT EXISTS buddy_groups ("
    " owner INTEGER NOT NULL REFERENCES accounts(cmn) ON DELETE CASCADE,"
    " group_id INTEGER NOT NULL, name TEXT NOT NULL,"
    " PRIMARY KEY (owner, group_id));"
    "CREATE TABLE IF NOT EXISTS entries ("
    " owner INTEGER NOT NULL REFERENCES accounts(cmn) ON DELETE CASCADE,"
    " buddy INTEGER NOT NULL REFERENCES accounts(cmn) ON DELETE CASCADE,"
    " fl INTEGER NOT NULL, al INTEGER NOT NULL, bl INTEGER NOT NULL, rl INTEGER NOT NULL,"
    " message TEXT NOT NULL DEFAULT '',"
    " PRIMARY KEY (owner, buddy));"
    "CREATE INDEX IF NOT EXISTS entries_by_buddy ON entries(buddy);"
    "CREATE TABLE IF NOT EXISTS memberships ("
    " owner INTEGER NOT NULL, buddy INTEGER NOT NULL, group_id INTEGER NOT NULL,"
    " PRIMARY KEY (owner, buddy, group_id));"
    "CREATE TABLE IF NOT EXISTS profile ("
    " owner INTEGER NOT NULL REFERENCES accounts(cmn) ON DELETE CASCADE,"
    " key TEXT NOT NULL, value TEXT NOT NULL, PRIMARY KEY (owner, key));"
    "CREATE TABLE IF NOT EXISTS memos ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " recipient INTEGER NOT NULL REFERENCES accounts(cmn) ON DELETE CASCADE,"
    " sender_id TEXT NOT NULL, payload BLOB NOT NULL);"
    // Member numbers look like member numbers, not like row counters.
    "INSERT INTO sqlite_sequence (name, seq) SELECT 'accounts', 100000"
    " WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = 'accounts');";

bool isPlausibleLoginId(const QString &id)
{
    const int at = id.indexOf(QLatin1Char('@'));
    if (id.size() > 128 || at <= 0 || at != id.lastIndexOf(QLatin1Char('@')) || at == id.size() - 1) {
        return false;
    }
    for (const QChar c : id) {
        if (c.isSpace() || c == QLatin1Char('%') || c.unicode() < 0x20) {
            return false;
        }
    }
    return true;
}
}

ServiceStore::ServiceStore() = default;

ServiceStore::~ServiceStore()
{
    close();
}

bool ServiceStore::open(const QString &directory)
{
    close();
    if (!QDir().mkpath(directory)) {
        setError(QStringLiteral("cannot create the data directory %1").arg(directory));
        return false;
    }
    const QByteArray path = QFile::encodeName(QDir(directory).filePath(QStringLiteral("service.db")));
    if (sqlite3_open(path.constData(), &m_pDb) != SQLITE_OK) {
        setError(QStringLiteral("cannot open %1: %2").arg(QString::fromLocal8Bit(path), QString::fromUtf8(sqlite3_errmsg(m_pDb))));
        close();
        return false;
    }
    sqlite3_busy_timeout(m_pDb, 2000);
    // A write-ahead log lets the command line tools write while the service runs, and commits
    // without waiting for the disk each time; a crash can lose the last commits but never the file.
    if (!exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;") || !exec(s_schema)) {
        close();
        return false;
    }
    return true;
}

void ServiceStore::close()
{
    if (m_pDb) {
        sqlite3_close(m_pDb);
        m_pDb = nullptr;
    }
}

QString ServiceStore::errorString() const
{
    return m_error;
}

QString ServiceStore::defaultGroupName()
{
    return QStringLiteral("기타");
}

void ServiceStore::setError(const QString &text) const
{
    m_error = text;
}

bool ServiceStore::exec(const char *sql)
{
    if (!m_pDb) {
        setError(QStringLiteral("the store is not open"));
        return false;
    }
    char *message = nullptr;
    if (sqlite3_exec(m_pDb, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        setError(QString::fromUtf8(message ? message : "SQLite error"));
        sqlite3_free(message);
        return false;
    }
    return true;
}

bool ServiceStore::beginTransaction()
{
    return exec("BEGIN IMMEDIATE");
}

bool ServiceStore::commit()
{
    return exec("COMMIT");
}

void ServiceStore::rollback()
{
    exec("ROLLBACK");
}

bool ServiceStore::hasAccounts() const
{
    Statement q(m_pDb, "SELECT 1 FROM accounts LIMIT 1");
    return q.step();
}

bool ServiceStore::addAccount(const QString &loginId, const QString &password, const QString &name, const QString &nick, bool bot)
{
    if (!isPlausibleLoginId(loginId)) {
        setError(QStringLiteral("\"%1\" is not an ID of the form name@domain").arg(loginId));
        return false;
    }
    if (password.isEmpty() || name.trimmed().isEmpty()) {
        setError(QStringLiteral("password and name must not be empty"));
        return false;
    }
    if (account(loginId).isValid()) {
        setError(QStringLiteral("the ID %1 exists already").arg(loginId));
        return false;
    }
    if (!beginTransaction()) {
        return false;
    }
    Statement insert(m_pDb, "INSERT INTO accounts (login_id, name, nick, digest, link_digest, bot) VALUES (?, ?, ?, ?, ?, ?)");
    insert.bind(1, loginId)
        .bind(2, name)
        .bind(3, nick)
        .bind(4, SignInDigest::digest(password, loginId, s_serviceDomain))
        .bind(5, SignInDigest::linkDigest(password, loginId))
        .bind(6, bot ? 1 : 0);
    bool ok = insert.run();
    const int cmn = int(sqlite3_last_insert_rowid(m_pDb));
    if (ok) {
        Statement group(m_pDb, "INSERT INTO buddy_groups (owner, group_id, name) VALUES (?, ?, ?)");
        ok = group.bind(1, cmn).bind(2, DefaultGroupId).bind(3, defaultGroupName()).run();
    }
    if (!ok || !commit()) {
        setError(QString::fromUtf8(sqlite3_errmsg(m_pDb)));
        rollback();
        return false;
    }
    return true;
}

static StoredAccount readAccount(Statement &q)
{
    StoredAccount a;
    if (q.step()) {
        a.cmn = q.intColumn(0);
        a.loginId = q.textColumn(1);
        a.name = q.textColumn(2);
        a.nick = q.textColumn(3);
        a.digest = q.textColumn(4);
        a.linkDigest = q.textColumn(5);
        a.bot = q.intColumn(6) != 0;
    }
    return a;
}

StoredAccount ServiceStore::account(const QString &loginId) const
{
    Statement q(m_pDb, "SELECT cmn, login_id, name, nick, digest, link_digest, bot FROM accounts WHERE login_id = ?");
    q.bind(1, loginId);
    return readAccount(q);
}

StoredAccount ServiceStore::account(int cmn) const
{
    Statement q(m_pDb, "SELECT cmn, login_id, name, nick, digest, link_digest, bot FROM accounts WHERE cmn = ?");
    q.bind(1, cmn);
    return readAccount(q);
}

QList<StoredAccount> ServiceStore::botAccounts() const
{
    QList<StoredAccount> bots;
    Statement q(m_pDb, "SELECT cmn, login_id, name, nick, digest, link_digest, bot FROM accounts WHERE bot <> 0 ORDER BY cmn");
    for (StoredAccount a = readAccount(q); a.isValid(); a = readAccount(q)) {
        bots.append(a);
    }
    return bots;
}

bool ServiceStore::setNick(int cmn, const QString &nick)
{
    Statement q(m_pDb, "UPDATE accounts SET nick = ? WHERE cmn = ?");
    return q.bind(1, nick).bind(2, cmn).run();
}

int ServiceStore::groupVersion(int owner) const
{
    Statement q(m_pDb, "SELECT group_version FROM accounts WHERE cmn = ?");
    q.bind(1, owner);
    return q.step() ? q.intColumn(0) : 0;
}

int ServiceStore::bumpGroupVersion(int owner)
{
    Statement q(m_pDb, "UPDATE accounts SET group_version = group_version + 1 WHERE cmn = ?");
    if (!q.bind(1, owner).run()) {
        return -1;
    }
    return groupVersion(owner);
}

QList<StoredGroup> ServiceStore::groups(int owner) const
{
    QList<StoredGroup> list;
    Statement q(m_pDb, "SELECT group_id, name FROM buddy_groups WHERE owner = ? ORDER BY group_id");
    q.bind(1, owner);
    while (q.step()) {
        list.append(StoredGroup{q.intColumn(0), q.textColumn(1)});
    }
    return list;
}

bool ServiceStore::hasGroup(int owner, int groupId) const
{
    Statement q(m_pDb, "SELECT 1 FROM buddy_groups WHERE owner = ? AND group_id = ?");
    q.bind(1, owner).bind(2, groupId);
    return q.step();
}

int ServiceStore::groupIdByName(int owner, const QString &name) const
{
    Statement q(m_pDb, "SELECT group_id FROM buddy_groups WHERE owner = ? AND name = ? ORDER BY group_id LIMIT 1");
    q.bind(1, owner).bind(2, name);
    return q.step() ? q.intColumn(0) : -1;
}

int ServiceStore::addGroup(int owner, const QString &name, int *groupId)
{
    Statement count(m_pDb, "SELECT COUNT(*), COALESCE(MAX(group_id), 0) FROM buddy_groups WHERE owner = ?");
    count.bind(1, owner);
    if (!count.step() || count.intColumn(0) >= MaxGroups) {
        setError(QStringLiteral("too many groups"));
        return -1;
    }
    const int id = count.intColumn(1) + 1;
    if (!beginTransaction()) {
        return -1;
    }
    Statement insert(m_pDb, "INSERT INTO buddy_groups (owner, group_id, name) VALUES (?, ?, ?)");
    const int version = insert.bind(1, owner).bind(2, id).bind(3, name).run() ? bumpGroupVersion(owner) : -1;
    if (version < 0 || !commit()) {
        rollback();
        return -1;
    }
    if (groupId) {
        *groupId = id;
    }
    return version;
}

int ServiceStore::removeGroup(int owner, int groupId)
{
    if (groupId == DefaultGroupId || !hasGroup(owner, groupId) || !beginTransaction()) {
        return -1;
    }
    // Members that would belong nowhere afterwards move to the default group.
    Statement keep(m_pDb,
                   "INSERT OR IGNORE INTO memberships (owner, buddy, group_id)"
                   " SELECT owner, buddy, 0 FROM memberships m WHERE owner = ?1 AND group_id = ?2"
                   " AND NOT EXISTS (SELECT 1 FROM memberships o WHERE o.owner = m.owner AND o.buddy = m.buddy AND o.group_id <> ?2)");
    Statement members(m_pDb, "DELETE FROM memberships WHERE owner = ? AND group_id = ?");
    Statement group(m_pDb, "DELETE FROM buddy_groups WHERE owner = ? AND group_id = ?");
    bool ok = keep.bind(1, owner).bind(2, groupId).run();
    ok = ok && members.bind(1, owner).bind(2, groupId).run();
    ok = ok && group.bind(1, owner).bind(2, groupId).run();
    const int version = ok ? bumpGroupVersion(owner) : -1;
    if (version < 0 || !commit()) {
        rollback();
        return -1;
    }
    return version;
}

int ServiceStore::renameGroup(int owner, int groupId, const QString &name)
{
    if (!hasGroup(owner, groupId) || !beginTransaction()) {
        return -1;
    }
    Statement q(m_pDb, "UPDATE buddy_groups SET name = ? WHERE owner = ? AND group_id = ?");
    const int version = q.bind(1, name).bind(2, owner).bind(3, groupId).run() ? bumpGroupVersion(owner) : -1;
    if (version < 0 || !commit()) {
        rollback();
        return -1;
    }
    return version;
}

QList<StoredMembership> ServiceStore::memberships(int owner) const
{
    QList<StoredMembership> list;
    Statement q(m_pDb, "SELECT buddy, group_id FROM memberships WHERE owner = ? ORDER BY group_id, buddy");
    q.bind(1, owner);
    while (q.step()) {
        list.append(StoredMembership{q.intColumn(0), q.intColumn(1)});
    }
    return list;
}

bool ServiceStore::addMembership(int owner, int buddy, int groupId)
{
    if (!hasGroup(owner, groupId)) {
        return false;
    }
    Statement q(m_pDb, "INSERT OR IGNORE INTO memberships (owner, buddy, group_id) VALUES (?, ?, ?)");
    return q.bind(1, owner).bind(2, buddy).bind(3, groupId).run();
}

bool ServiceStore::removeMembership(int owner, int buddy, int groupId)
{
    Statement q(m_pDb, "DELETE FROM memberships WHERE owner = ? AND buddy = ? AND group_id = ?");
    return q.bind(1, owner).bind(2, buddy).bind(3, groupId).run();
}

bool ServiceStore::isInAnyGroup(int owner, int buddy) const
{
    Statement q(m_pDb, "SELECT 1 FROM memberships WHERE owner = ? AND buddy = ? LIMIT 1");
    q.bind(1, owner).bind(2, buddy);
    return q.step();
}

static StoredEntry readEntry(Statement &q)
{
    StoredEntry e;
    e.buddyCmn = q.intColumn(0);
    e.loginId = q.textColumn(1);
    e.name = q.textColumn(2);
    e.nick = q.textColumn(3);
    e.fl = q.intColumn(4) != 0;
    e.al = q.intColumn(5) != 0;
    e.bl = q.intColumn(6) != 0;
    e.rl = q.intColumn(7) != 0;
    e.message = q.textColumn(8);
    return e;
}

QList<StoredEntry> ServiceStore::entries(int owner) const
{
    QList<StoredEntry> list;
    Statement q(m_pDb,
                "SELECT e.buddy, a.login_id, a.name, a.nick, e.fl, e.al, e.bl, e.rl, e.message"
                " FROM entries e JOIN accounts a ON a.cmn = e.buddy WHERE e.owner = ? ORDER BY a.name, a.cmn");
    q.bind(1, owner);
    while (q.step()) {
        list.append(readEntry(q));
    }
    return list;
}

StoredEntry ServiceStore::entry(int owner, int buddy) const
{
    Statement q(m_pDb,
                "SELECT e.buddy, a.login_id, a.name, a.nick, e.fl, e.al, e.bl, e.rl, e.message"
                " FROM entries e JOIN accounts a ON a.cmn = e.buddy WHERE e.owner = ? AND e.buddy = ?");
    q.bind(1, owner).bind(2, buddy);
    if (q.step()) {
        return readEntry(q);
    }
    StoredEntry e;
    const StoredAccount a = account(buddy);
    e.buddyCmn = buddy;
    e.loginId = a.loginId;
    e.name = a.name;
    e.nick = a.nick;
    return e;
}

bool ServiceStore::setEntry(int owner, const StoredEntry &e)
{
    if (e.isEmpty()) {
        Statement row(m_pDb, "DELETE FROM entries WHERE owner = ? AND buddy = ?");
        Statement members(m_pDb, "DELETE FROM memberships WHERE owner = ? AND buddy = ?");
        return row.bind(1, owner).bind(2, e.buddyCmn).run() && members.bind(1, owner).bind(2, e.buddyCmn).run();
    }
    Statement q(m_pDb,
                "INSERT INTO entries (owner, buddy, fl, al, bl, rl, message) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"
                " ON CONFLICT (owner, buddy) DO UPDATE SET fl = ?3, al = ?4, bl = ?5, rl = ?6, message = ?7");
    q.bind(1, owner).bind(2, e.buddyCmn).bind(3, e.fl).bind(4, e.al).bind(5, e.bl).bind(6, e.rl).bind(7, e.message);
    if (!q.run()) {
        return false;
    }
    if (!e.fl) {
        // Off the buddy list means out of every group.
        Statement members(m_pDb, "DELETE FROM memberships WHERE owner = ? AND buddy = ?");
        return members.bind(1, owner).bind(2, e.buddyCmn).run();
    }
    return true;
}

QList<StoredWatcher> ServiceStore::watchers(int cmn) const
{
    QList<StoredWatcher> list;
    Statement q(m_pDb,
                "SELECT w.owner, COALESCE(r.bl, 0) FROM entries w"
                " LEFT JOIN entries r ON r.owner = w.buddy AND r.buddy = w.owner"
                " WHERE w.buddy = ? AND w.fl <> 0");
    q.bind(1, cmn);
    while (q.step()) {
        list.append(StoredWatcher{q.intColumn(0), q.intColumn(1) != 0});
    }
    return list;
}

bool ServiceStore::linkBuddies(const QString &loginId, const QString &buddyId, const QString &groupName)
{
    const StoredAccount a = account(loginId);
    const StoredAccount b = account(buddyId);
    if (!a.isValid() || !b.isValid()) {
        setError(QStringLiteral("no account with the ID %1").arg(a.isValid() ? buddyId : loginId));
        return false;
    }
    if (a.cmn == b.cmn) {
        setError(QStringLiteral("an account cannot be its own buddy"));
        return false;
    }
    const QString name = groupName.trimmed().isEmpty() ? defaultGroupName() : groupName.trimmed();
    int groupOfA = groupIdByName(a.cmn, name);
    if (groupOfA < 0 && addGroup(a.cmn, name, &groupOfA) < 0) {
        return false;
    }
    int groupOfB = groupIdByName(b.cmn, name);
    if (groupOfB < 0 && addGroup(b.cmn, name, &groupOfB) < 0) {
        return false;
    }
    if (!beginTransaction()) {
        return false;
    }
    StoredEntry ab = entry(a.cmn, b.cmn);
    StoredEntry ba = entry(b.cmn, a.cmn);
    for (StoredEntry *e : {&ab, &ba}) {
        e->fl = e->al = e->rl = true;
        e->bl = false;
        e->message.clear();
    }
    const bool ok = setEntry(a.cmn, ab) && setEntry(b.cmn, ba) && addMembership(a.cmn, b.cmn, groupOfA) && addMembership(b.cmn, a.cmn, groupOfB);
    if (!ok || !commit()) {
        setError(QString::fromUtf8(sqlite3_errmsg(m_pDb)));
        rollback();
        return false;
    }
    return true;
}

QString ServiceStore::profileValue(int owner, const QString &key) const
{
    Statement q(m_pDb, "SELECT value FROM profile WHERE owner = ? AND key = ?");
    q.bind(1, owner).bind(2, key);
    return q.step() ? q.textColumn(0) : QString();
}

bool ServiceStore::setProfileValue(int owner, const QString &key, const QString &value)
{
    Statement count(m_pDb, "SELECT COUNT(*) FROM profile WHERE owner = ? AND key <> ?");
    count.bind(1, owner).bind(2, key);
    if (!count.step() || count.intColumn(0) >= MaxProfileKeys) {
        setError(QStringLiteral("too many profile keys"));
        return false;
    }
    Statement q(m_pDb, "INSERT INTO profile (owner, key, value) VALUES (?1, ?2, ?3) ON CONFLICT (owner, key) DO UPDATE SET value = ?3");
    return q.bind(1, owner).bind(2, key).bind(3, value).run();
}

bool ServiceStore::storeMemo(int recipient, const QString &senderId, const QByteArray &payload)
{
    Statement count(m_pDb, "SELECT COUNT(*) FROM memos WHERE recipient = ?");
    count.bind(1, recipient);
    if (!count.step() || count.intColumn(0) >= MaxPendingMemos) {
        setError(QStringLiteral("too many memos waiting"));
        return false;
    }
    Statement q(m_pDb, "INSERT INTO memos (recipient, sender_id, payload) VALUES (?, ?, ?)");
    return q.bind(1, recipient).bind(2, senderId).bindBlob(3, payload).run();
}

QList<StoredMemo> ServiceStore::takeMemos(int recipient)
{
    QList<StoredMemo> list;
    {
        Statement q(m_pDb, "SELECT sender_id, payload FROM memos WHERE recipient = ? ORDER BY id");
        q.bind(1, recipient);
        while (q.step()) {
            list.append(StoredMemo{q.textColumn(0), q.blobColumn(1)});
        }
    }
    if (!list.isEmpty()) {
        Statement del(m_pDb, "DELETE FROM memos WHERE recipient = ?");
        del.bind(1, recipient).run();
    }
    return list;
}

bool ServiceStore::importFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(QStringLiteral("cannot read %1").arg(path));
        return false;
    }
    QJsonParseError parseError;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll(), &parseError).object();
    if (parseError.error != QJsonParseError::NoError) {
        setError(QStringLiteral("%1: %2").arg(path, parseError.errorString()));
        return false;
    }
    const QJsonArray accounts = root.value(QLatin1String("accounts")).toArray();
    for (const QJsonValue &value : accounts) {
        const QJsonObject a = value.toObject();
        if (!addAccount(a.value(QLatin1String("id")).toString(),
                        a.value(QLatin1String("password")).toString(),
                        a.value(QLatin1String("name")).toString(),
                        a.value(QLatin1String("nick")).toString(),
                        a.value(QLatin1String("bot")).toBool())) {
            return false;
        }
    }
    if (!beginTransaction()) {
        return false;
    }
    auto fail = [this](const QString &text) {
        setError(text);
        rollback();
        return false;
    };
    const QJsonObject groupsByOwner = root.value(QLatin1String("groups")).toObject();
    for (auto it = groupsByOwner.begin(); it != groupsByOwner.end(); ++it) {
        const StoredAccount owner = account(it.key());
        if (!owner.isValid()) {
            return fail(QStringLiteral("groups of unknown account %1").arg(it.key()));
        }
        const QJsonArray names = it.value().toArray();
        int id = 0;
        for (const QJsonValue &name : names) {
            Statement q(m_pDb, "INSERT INTO buddy_groups (owner, group_id, name) VALUES (?, ?, ?)");
            if (!q.bind(1, owner.cmn).bind(2, ++id).bind(3, name.toString()).run()) {
                return fail(QStringLiteral("cannot add group %1").arg(name.toString()));
            }
        }
    }
    const QJsonArray lists = root.value(QLatin1String("lists")).toArray();
    for (const QJsonValue &value : lists) {
        const QJsonObject l = value.toObject();
        const StoredAccount owner = account(l.value(QLatin1String("owner")).toString());
        const StoredAccount buddy = account(l.value(QLatin1String("buddy")).toString());
        const QString flags = l.value(QLatin1String("flags")).toString();
        if (!owner.isValid() || !buddy.isValid() || flags.size() != 4) {
            return fail(QStringLiteral("bad list entry %1").arg(QString::fromUtf8(QJsonDocument(l).toJson(QJsonDocument::Compact))));
        }
        StoredEntry e;
        e.buddyCmn = buddy.cmn;
        e.fl = flags.at(0) == QLatin1Char('1');
        e.al = flags.at(1) == QLatin1Char('1');
        e.bl = flags.at(2) == QLatin1Char('1');
        e.rl = flags.at(3) == QLatin1Char('1');
        e.message = l.value(QLatin1String("message")).toString();
        if (!setEntry(owner.cmn, e)) {
            return fail(QStringLiteral("cannot store list entry"));
        }
        if (e.fl) {
            const QString groupName = l.value(QLatin1String("group")).toString();
            const int groupId = groupName.isEmpty() ? DefaultGroupId : groupIdByName(owner.cmn, groupName);
            if (groupId < 0 || !addMembership(owner.cmn, buddy.cmn, groupId)) {
                return fail(QStringLiteral("unknown group %1 of %2").arg(groupName, owner.loginId));
            }
        }
    }
    return commit();
}
