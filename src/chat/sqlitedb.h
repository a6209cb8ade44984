// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QVector>

#include <functional>

class BuddyList;
struct sqlite3;

//! The local message store: inbox, outbox, chat log and the contact table that the message viewer
//! reads. Every operation opens its file, works and closes it again, so outside readers are never
//! locked out for long; a reader that holds a file briefly makes a write wait, not fail.
//! Values always travel as bound parameters. Failures are returned and kept in lastError().
class SQLiteDB : public QObject
{
    Q_OBJECT
public:
    using Rows = QList<QStringList>;

    //! One row of the contact table.
    struct User {
        QString id;
        QString name;
        QString nick;
    };

    explicit SQLiteDB(QObject *parent = nullptr);

    //! Sets the memo file names and creates the missing tables of "Folders.db", "local_inbox.db", "local_outbox.db".
    bool openMemoStore(const QString &memoDirectory);
    //! The same for "Folders.db", "chat_count.db" and "local_chat.db".
    bool openChatStore(const QString &chatDirectory);
    //! The same for "local_user.db".
    bool openUserStore(const QString &userDirectory);

    QString memoFolderFile() const;
    QString inboxFile() const;
    QString outboxFile() const;
    QString chatFolderFile() const;
    QString chatCountFile() const;
    QString chatFile() const;
    QString userFile() const;

    //! Runs one statement (or several separated by ";" when no values are given) with "?" values bound in order.
    bool execute(const QString &file, const QString &statement, const QVariantList &values = {});
    //! Runs every statement on one open file; later statements still run after a failure.
    bool executeAll(const QString &file, const QStringList &statements);
    //! The rows of a query as column texts; ok tells a failure from an empty result.
    Rows query(const QString &file, const QString &statement, const QVariantList &values = {}, bool *ok = nullptr);
    //! Rows of the last query.
    const Rows &rows() const;
    //! Integer value of each row's first column of the last query, to the row's position.
    const QHash<int, int> &rowIndex() const;

    //! Memos in the inbox still marked unread; 0 when there are none or the file cannot be read.
    int countUnreadMemos(bool *ok = nullptr);
    //! A memo fetched from the web memo service: keys "uuid", "subject", "from_full_id", "to_ids", "recv_date", "content".
    bool insertInboxMemo(const QMap<QString, QString> &memo);
    //! A memo received in the session; unread is "1", or "0" when it was shown at once.
    bool storeInboxMemo(const QString &memoId, const QString &sender, const QString &recipients, const QString &body,
                        const QString &unread);
    bool insertOutboxMemo(const QString &sender, const QString &recipients, const QString &body);
    //! participantIds are the service IDs joined with ";".
    bool insertChatLog(const QString &participantIds, const QString &text);
    bool deleteInboxMemo(const QString &memoId);

    //! SUSER, RUSER, BODYDATA of one memo; no rows when it is unknown.
    Rows readInboxMemo(const QString &memoId);
    Rows readOutboxMemo(const QString &memoId);
    //! CHATUSERS of one saved conversation.
    Rows readChatUsers(const QString &chatId);

    //! Replaces the contact table in one transaction: readers see the old or the new table, never half.
    //! A repeated ID keeps its first row.
    bool rewriteUserTable(const QVector<User> &users);
    //! The user first, then every buddy with loginId, name and nick.
    bool rewriteUserTable(const User &self, const BuddyList &buddies);

    //! The first line of a body longer than one character; empty when there is none.
    static QString subjectOf(const QString &body);

    QString lastError() const;
    //! How long a write waits for a reader of the same file to finish (default 5000 ms).
    void setBusyTimeout(int milliseconds);
    //! Tests fix the clock of DATE values.
    void setClock(const std::function<QDateTime()> &clock);
    //! Tests: called once while a statement waits for a locked file.
    void setBusyHook(const std::function<void()> &hook);

private:
    struct Schema {
        QString table;
        QStringList statements;
    };

    sqlite3 *open(const QString &file);
    void close(sqlite3 *db);
    bool run(sqlite3 *db, const QString &statement, const QVariantList &values, Rows *rows = nullptr);
    bool ensureSchema(const QString &file, const Schema &schema);
    bool insertMemo(const QString &file, const QString &table, const QVariantList &values);
    QString now() const;
    void fail(const QString &what, sqlite3 *db);
    static int busyHandler(void *self, int count);

    QString m_memoDirectory;
    QString m_chatDirectory;
    QString m_userDirectory;
    Rows m_rows;
    QHash<int, int> m_index;
    QString m_lastError;
    int m_busyTimeout = 5000;
    std::function<QDateTime()> m_clock;
    std::function<void()> m_busyHook;
};
