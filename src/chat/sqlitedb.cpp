// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "sqlitedb.h"

#include "buddy.h"
#include "buddylist.h"
#include "store_debug.h"

#include <QDir>
#include <QFile>
#include <QUuid>

#include <sqlite3.h>

namespace
{
const QString s_folderSchema = QStringLiteral(
    "CREATE TABLE FOLDER (SN text, PSN text, FOLDERNAME text, FOLDERTYPE integer, FILENAME text, RESERVED text);");

QStringList memoSchema(const QString &table, const QString &lower)
{
    return {
        QStringLiteral("CREATE TABLE %1 (UUID text unique, MID integer PRIMARY KEY AUTOINCREMENT, SUBJECT text, SUSER text, "
                       "RUSER text, DATE text, SIZE integer, BODYDATA text, MSGTYPE text, UNREAD integer, CONFIRM text, "
                       "ISPREINSERTED integer default 1, ISDELETED integer default 0, RESERVED text);")
            .arg(table),
        QStringLiteral("CREATE INDEX IDX_ISDELETED on %1 (ISDELETED);").arg(table),
        QStringLiteral("CREATE INDEX IDX_ISPREINSERTED on %1 (ISPREINSERTED);").arg(table),
        QStringLiteral("CREATE INDEX IDX_PAGELIST on %1 (ISDELETED, ISPREINSERTED, DATE);").arg(table),
        QStringLiteral("CREATE INDEX IDX_DATE on %1 (DATE);").arg(lower),
    };
}

const QString s_memoColumns = QStringLiteral(
    " (UUID,SUBJECT,SUSER,RUSER,DATE,SIZE,BODYDATA,MSGTYPE,UNREAD,CONFIRM,ISPREINSERTED,ISDELETED,RESERVED) "
    "VALUES(?, ?, ?, ?, ?, ?, ?, 'text', ?, 0, 0, 0, '');");

QString newUuid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QString fileIn(const QString &directory, const QString &name)
{
    return directory.isEmpty() ? QString() : QDir(directory).filePath(name);
}
}

SQLiteDB::SQLiteDB(QObject *parent)
    : QObject(parent)
{
}

QString SQLiteDB::memoFolderFile() const
{
    return fileIn(m_memoDirectory, QStringLiteral("Folders.db"));
}

QString SQLiteDB::inboxFile() const
{
    return fileIn(m_memoDirectory, QStringLiteral("local_inbox.db"));
}

QString SQLiteDB::outboxFile() const
{
    return fileIn(m_memoDirectory, QStringLiteral("local_outbox.db"));
}

QString SQLiteDB::chatFolderFile() const
{
    return fileIn(m_chatDirectory, QStringLiteral("Folders.db"));
}

QString SQLiteDB::chatCountFile() const
{
    return fileIn(m_chatDirectory, QStringLiteral("chat_count.db"));
}

QString SQLiteDB::chatFile() const
{
    return fileIn(m_chatDirectory, QStringLiteral("local_chat.db"));
}

QString SQLiteDB::userFile() const
{
    return fileIn(m_userDirectory, QStringLiteral("local_user.db"));
}

QString SQLiteDB::lastError() const
{
    return m_lastError;
}

void SQLiteDB::setBusyTimeout(int milliseconds)
{
    m_busyTimeout = milliseconds;
}

void SQLiteDB::setClock(const std::function<QDateTime()> &clock)
{
    m_clock = clock;
}

void SQLiteDB::setBusyHook(const std::function<void()> &hook)
{
    m_busyHook = hook;
}

QString SQLiteDB::now() const
{
    const QDateTime when = m_clock ? m_clock() : QDateTime::currentDateTime();
    return when.toString(QStringLiteral("yyyyMMddHHmmss"));
}

void SQLiteDB::fail(const QString &what, sqlite3 *db)
{
    m_lastError = what + (db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"));
    qCWarning(KZEMVIK_STORE).noquote() << m_lastError;
}

int SQLiteDB::busyHandler(void *self, int count)
{
    auto *store = static_cast<SQLiteDB *>(self);
    if (count == 0 && store->m_busyHook) {
        store->m_busyHook();
    }
    constexpr int stepMs = 10;
    if (count * stepMs >= store->m_busyTimeout) {
        return 0;
    }
    sqlite3_sleep(stepMs);
    return 1;
}

sqlite3 *SQLiteDB::open(const QString &file)
{
    sqlite3 *db = nullptr;
    if (file.isEmpty()) {
        m_lastError = QStringLiteral("Can't open database: no directory set");
        qCWarning(KZEMVIK_STORE).noquote() << m_lastError;
        return nullptr;
    }
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        fail(QStringLiteral("Can't open database: "), db);
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_handler(db, &SQLiteDB::busyHandler, this);
    return db;
}

void SQLiteDB::close(sqlite3 *db)
{
    sqlite3_close(db);
}

bool SQLiteDB::run(sqlite3 *db, const QString &statement, const QVariantList &values, Rows *rows)
{
    const QByteArray sql = statement.toUtf8();
    const char *next = sql.constData();
    const char *const end = sql.constData() + sql.size();
    bool first = true;
    while (next < end) {
        sqlite3_stmt *stmt = nullptr;
        const char *tail = nullptr;
        if (sqlite3_prepare_v2(db, next, int(end - next), &stmt, &tail) != SQLITE_OK) {
            fail(QStringLiteral("SQL error: "), db);
            return false;
        }
        next = tail;
        if (!stmt) {
            // Only white space or a comment was left.
            break;
        }
        if (first) {
            if (values.size() != sqlite3_bind_parameter_count(stmt)) {
                m_lastError = QStringLiteral("SQL error: %1 values for %2 parameters").arg(values.size()).arg(sqlite3_bind_parameter_count(stmt));
                qCWarning(KZEMVIK_STORE).noquote() << m_lastError;
                sqlite3_finalize(stmt);
                return false;
            }
            for (int i = 0; i < values.size(); ++i) {
                const QVariant &value = values.at(i);
                int rc = SQLITE_OK;
                if (value.isNull() && value.userType() != QMetaType::QString) {
                    rc = sqlite3_bind_null(stmt, i + 1);
                } else if (value.userType() == QMetaType::Int || value.userType() == QMetaType::LongLong
                           || value.userType() == QMetaType::UInt) {
                    rc = sqlite3_bind_int64(stmt, i + 1, value.toLongLong());
                } else {
                    const QByteArray text = value.toString().toUtf8();
                    rc = sqlite3_bind_text(stmt, i + 1, text.constData(), text.size(), SQLITE_TRANSIENT);
                }
                if (rc != SQLITE_OK) {
                    fail(QStringLiteral("SQL error: "), db);
                    sqlite3_finalize(stmt);
                    return false;
                }
            }
            first = false;
        } else if (sqlite3_bind_parameter_count(stmt) > 0) {
            m_lastError = QStringLiteral("SQL error: values are bound to the first statement only");
            qCWarning(KZEMVIK_STORE).noquote() << m_lastError;
            sqlite3_finalize(stmt);
            return false;
        }
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            if (!rows) {
                continue;
            }
            QStringList row;
            const int columns = sqlite3_column_count(stmt);
            for (int c = 0; c < columns; ++c) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                row.append(text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, c)) : QString());
            }
            rows->append(row);
        }
        if (rc != SQLITE_DONE) {
            fail(QStringLiteral("SQL error: "), db);
            sqlite3_finalize(stmt);
            return false;
        }
        sqlite3_finalize(stmt);
    }
    return true;
}

bool SQLiteDB::execute(const QString &file, const QString &statement, const QVariantList &values)
{
    sqlite3 *db = open(file);
    if (!db) {
        return false;
    }
    const bool ok = run(db, statement, values);
    close(db);
    return ok;
}

bool SQLiteDB::executeAll(const QString &file, const QStringList &statements)
{
    sqlite3 *db = open(file);
    if (!db) {
        return false;
    }
    bool ok = true;
    for (const QString &statement : statements) {
        ok = run(db, statement, {}) && ok;
    }
    close(db);
    return ok;
}

SQLiteDB::Rows SQLiteDB::query(const QString &file, const QString &statement, const QVariantList &values, bool *ok)
{
    m_rows.clear();
    m_index.clear();
    qCDebug(KZEMVIK_STORE).noquote() << QStringLiteral("[ D B  F I L E] [") + file + QLatin1Char(']');
    qCDebug(KZEMVIK_STORE).noquote() << QStringLiteral("[ Q U E R Y ] [") + statement + QLatin1Char(']');
    bool done = false;
    if (sqlite3 *db = open(file)) {
        Rows rows;
        done = run(db, statement, values, &rows);
        close(db);
        if (done) {
            m_rows = rows;
        }
    }
    for (int i = 0; i < m_rows.size(); ++i) {
        bool isNumber = false;
        const int key = m_rows.at(i).value(0).toInt(&isNumber);
        if (isNumber) {
            m_index.insert(key, i);
        }
    }
    if (ok) {
        *ok = done;
    }
    return m_rows;
}

const SQLiteDB::Rows &SQLiteDB::rows() const
{
    return m_rows;
}

const QHash<int, int> &SQLiteDB::rowIndex() const
{
    return m_index;
}

bool SQLiteDB::ensureSchema(const QString &file, const Schema &schema)
{
    sqlite3 *db = open(file);
    if (!db) {
        return false;
    }
    Rows found;
    bool ok = run(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE;"),
                  {schema.table}, &found);
    if (ok && found.isEmpty()) {
        // All of the schema or none: a failure leaves no half-made file behind that looks complete.
        ok = run(db, QStringLiteral("BEGIN IMMEDIATE;"), {});
        for (const QString &statement : schema.statements) {
            ok = ok && run(db, statement, {});
        }
        if (ok) {
            ok = run(db, QStringLiteral("COMMIT;"), {});
        }
        if (!ok) {
            const QString error = m_lastError;
            run(db, QStringLiteral("ROLLBACK;"), {});
            m_lastError = error;
        }
    }
    close(db);
    return ok;
}

bool SQLiteDB::openMemoStore(const QString &memoDirectory)
{
    m_memoDirectory = memoDirectory;
    bool ok = ensureSchema(memoFolderFile(), {QStringLiteral("FOLDER"), {s_folderSchema}});
    ok = ensureSchema(inboxFile(), {QStringLiteral("tb_local_inbox"), memoSchema(QStringLiteral("tb_local_inbox"), QStringLiteral("TB_local_inbox"))}) && ok;
    ok = ensureSchema(outboxFile(), {QStringLiteral("TB_local_outbox"), memoSchema(QStringLiteral("TB_local_outbox"), QStringLiteral("TB_local_outbox"))}) && ok;
    return ok;
}

bool SQLiteDB::openChatStore(const QString &chatDirectory)
{
    m_chatDirectory = chatDirectory;
    bool ok = ensureSchema(chatFolderFile(), {QStringLiteral("FOLDER"), {s_folderSchema}});
    ok = ensureSchema(chatCountFile(), {QStringLiteral("TB_CHAT_RANKING"), {QStringLiteral("CREATE TABLE TB_CHAT_RANKING (USERID text, CHATCOUNT integer);")}})
        && ok;
    const QStringList chat{
        QStringLiteral("CREATE TABLE tb_local_chat (UUID text unique, MID integer PRIMARY KEY AUTOINCREMENT, CHATUSERS blob, "
                       "BODYDATA blob, DATE text, SIZE integer, MSGTYPE text, ISPREINSERTED integer default 1, "
                       "ISDELETED integer default 0, RESERVED text);"),
        QStringLiteral("CREATE INDEX IDX_ISDELETED on tb_local_chat (ISDELETED);"),
        QStringLiteral("CREATE INDEX IDX_ISPREINSERTED on tb_local_chat (ISPREINSERTED);"),
        QStringLiteral("CREATE INDEX IDX_PAGELIST on tb_local_chat (ISDELETED, ISPREINSERTED, DATE);"),
        QStringLiteral("CREATE INDEX IDX_DATE on TB_local_chat (DATE);"),
    };
    ok = ensureSchema(chatFile(), {QStringLiteral("tb_local_chat"), chat}) && ok;
    return ok;
}

bool SQLiteDB::openUserStore(const QString &userDirectory)
{
    m_userDirectory = userDirectory;
    qCDebug(KZEMVIK_STORE).noquote() << QStringLiteral("[ F I L E P A T H ] [") + userFile() + QLatin1Char(']');
    const QStringList user{
        QStringLiteral("CREATE TABLE tb_user (ID text  primary key, NAME text, NICK text, EMAIL text);"),
        QStringLiteral("CREATE INDEX IDX_NAME on tb_user (NAME);"),
        QStringLiteral("CREATE INDEX IDX_NICK on tb_user (NICK);"),
        QStringLiteral("CREATE INDEX IDX_EMAIL on tb_user (EMAIL);"),
    };
    return ensureSchema(userFile(), {QStringLiteral("tb_user"), user});
}

QString SQLiteDB::subjectOf(const QString &body)
{
    const QStringList lines = body.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        if (line.length() > 1) {
            return line;
        }
    }
    return QString();
}

int SQLiteDB::countUnreadMemos(bool *ok)
{
    bool done = false;
    const Rows rows = query(inboxFile(), QStringLiteral("SELECT COUNT(*) FROM tb_local_inbox WHERE UNREAD=1;"), {}, &done);
    if (ok) {
        *ok = done;
    }
    return rows.isEmpty() ? 0 : rows.first().value(0).toInt();
}

bool SQLiteDB::insertMemo(const QString &file, const QString &table, const QVariantList &values)
{
    return execute(file, QStringLiteral("INSERT INTO \"%1\"").arg(table) + s_memoColumns, values);
}

bool SQLiteDB::insertInboxMemo(const QMap<QString, QString> &memo)
{
    const QString content = memo.value(QStringLiteral("content"));
    const QVariantList values{memo.value(QStringLiteral("uuid")),   memo.value(QStringLiteral("subject")),
                              memo.value(QStringLiteral("from_full_id")), memo.value(QStringLiteral("to_ids")),
                              memo.value(QStringLiteral("recv_date")),    content.length(),
                              content,                                    1};
    qCDebug(KZEMVIK_STORE) << "[ Q U E R Y ]:[" << memo.value(QStringLiteral("uuid")) << "]";
    return insertMemo(inboxFile(), QStringLiteral("tb_local_inbox"), values);
}

bool SQLiteDB::storeInboxMemo(const QString &memoId, const QString &sender, const QString &recipients, const QString &body,
                              const QString &unread)
{
    bool isNumber = false;
    const int unreadValue = unread.toInt(&isNumber);
    if (!isNumber) {
        m_lastError = QStringLiteral("SQL error: unread flag is not a number");
        qCWarning(KZEMVIK_STORE).noquote() << m_lastError;
        return false;
    }
    return insertMemo(inboxFile(), QStringLiteral("tb_local_inbox"),
                      {memoId, subjectOf(body), sender, recipients, now(), body.length(), body, unreadValue});
}

bool SQLiteDB::insertOutboxMemo(const QString &sender, const QString &recipients, const QString &body)
{
    return insertMemo(outboxFile(), QStringLiteral("tb_local_outbox"),
                      {newUuid(), subjectOf(body), sender, recipients, now(), body.length(), body, 1});
}

bool SQLiteDB::insertChatLog(const QString &participantIds, const QString &text)
{
    return execute(chatFile(),
                   QStringLiteral("INSERT INTO \"tb_local_chat\" (UUID,CHATUSERS,BODYDATA,DATE,SIZE,MSGTYPE,ISPREINSERTED,ISDELETED,RESERVED) "
                                  "VALUES(?, ?, ?, ?, ?, 'chat', 0, 0, '');"),
                   {newUuid(), participantIds, text, now(), text.length()});
}

bool SQLiteDB::deleteInboxMemo(const QString &memoId)
{
    return execute(inboxFile(), QStringLiteral("DELETE FROM tb_local_inbox WHERE UUID=?;"), {memoId});
}

SQLiteDB::Rows SQLiteDB::readInboxMemo(const QString &memoId)
{
    return query(inboxFile(), QStringLiteral("SELECT SUSER, RUSER, BODYDATA FROM tb_local_inbox WHERE UUID=?;"), {memoId});
}

SQLiteDB::Rows SQLiteDB::readOutboxMemo(const QString &memoId)
{
    return query(outboxFile(), QStringLiteral("SELECT SUSER, RUSER, BODYDATA FROM tb_local_outbox WHERE UUID=?;"), {memoId});
}

SQLiteDB::Rows SQLiteDB::readChatUsers(const QString &chatId)
{
    return query(chatFile(), QStringLiteral("SELECT CHATUSERS FROM tb_local_chat WHERE UUID=?;"), {chatId});
}

bool SQLiteDB::rewriteUserTable(const QVector<User> &users)
{
    sqlite3 *db = open(userFile());
    if (!db) {
        return false;
    }
    bool ok = run(db, QStringLiteral("BEGIN IMMEDIATE;"), {}) && run(db, QStringLiteral("delete from tb_user;"), {});
    const QString insert = QStringLiteral("INSERT OR IGNORE INTO tb_user (ID, NAME, NICK, EMAIL) VALUES (?, ?, ?, ?);");
    for (int i = 0; ok && i < users.size(); ++i) {
        const User &user = users.at(i);
        ok = run(db, insert, {user.id, user.name, user.nick, QString(user.name + QStringLiteral(" <") + user.id + QLatin1Char('>'))});
    }
    ok = ok && run(db, QStringLiteral("COMMIT;"), {});
    if (!ok) {
        const QString error = m_lastError;
        run(db, QStringLiteral("ROLLBACK;"), {});
        m_lastError = error;
    }
    close(db);
    return ok;
}

bool SQLiteDB::rewriteUserTable(const User &self, const BuddyList &buddies)
{
    QVector<User> users;
    users.reserve(buddies.count() + 1);
    users.append(self);
    for (const Buddy *buddy : buddies) {
        users.append({buddy->loginId, buddy->name, buddy->nick});
    }
    return rewriteUserTable(users);
}
