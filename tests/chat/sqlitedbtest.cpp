// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "buddy.h"
#include "buddylist.h"
#include "sqlitedb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

class SQLiteDBTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_memo;
    QString m_chat;
    QString m_user;

    //! Names of the tables and indexes of a file, read with a connection of our own.
    static QStringList schemaOf(const QString &file)
    {
        SQLiteDB reader;
        QStringList names;
        const auto rows = reader.query(file, QStringLiteral("SELECT name FROM sqlite_master ORDER BY name;"));
        for (const QStringList &row : rows) {
            names.append(row.value(0));
        }
        return names;
    }

    void openAll(SQLiteDB &store)
    {
        QVERIFY(store.openMemoStore(m_memo));
        QVERIFY(store.openChatStore(m_chat));
        QVERIFY(store.openUserStore(m_user));
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        const QString base = m_dir.filePath(QString::number(QDateTime::currentMSecsSinceEpoch()) + QLatin1Char('/'));
        m_memo = base + QStringLiteral("memodata/");
        m_chat = base + QStringLiteral("chatdata/");
        m_user = base;
        QVERIFY(QDir().mkpath(m_memo));
        QVERIFY(QDir().mkpath(m_chat));
    }

    void createsEverySchema()
    {
        SQLiteDB store;
        openAll(store);
        const QStringList memoIndexes{QStringLiteral("IDX_DATE"), QStringLiteral("IDX_ISDELETED"), QStringLiteral("IDX_ISPREINSERTED"),
                                      QStringLiteral("IDX_PAGELIST")};
        QCOMPARE(schemaOf(store.memoFolderFile()), QStringList{QStringLiteral("FOLDER")});
        QCOMPARE(schemaOf(store.chatFolderFile()), QStringList{QStringLiteral("FOLDER")});
        QCOMPARE(schemaOf(store.chatCountFile()), QStringList{QStringLiteral("TB_CHAT_RANKING")});
        auto expect = [&](const QString &table) {
            QStringList names = memoIndexes;
            names << QStringLiteral("sqlite_autoindex_%1_1").arg(table) << QStringLiteral("sqlite_sequence") << table;
            names.sort();
            return names;
        };
        QCOMPARE(schemaOf(store.inboxFile()), expect(QStringLiteral("tb_local_inbox")));
        QCOMPARE(schemaOf(store.outboxFile()), expect(QStringLiteral("TB_local_outbox")));
        QCOMPARE(schemaOf(store.chatFile()), expect(QStringLiteral("tb_local_chat")));
        QCOMPARE(schemaOf(store.userFile()), (QStringList{QStringLiteral("IDX_EMAIL"), QStringLiteral("IDX_NAME"), QStringLiteral("IDX_NICK"),
                                                          QStringLiteral("sqlite_autoindex_tb_user_1"), QStringLiteral("tb_user")}));
        QCOMPARE(QDir(m_memo).entryList(QDir::Files).size(), 3);
        QCOMPARE(QDir(m_chat).entryList(QDir::Files).size(), 3);

        // A second sign-in keeps what is there.
        QVERIFY(store.insertOutboxMemo(QStringLiteral("me"), QStringLiteral("you"), QStringLiteral("kept")));
        SQLiteDB again;
        openAll(again);
        QCOMPARE(again.query(again.outboxFile(), QStringLiteral("SELECT BODYDATA FROM tb_local_outbox;")),
                 SQLiteDB::Rows{QStringList{QStringLiteral("kept")}});
    }

    void schemaCheckedByTable()
    {
        // An empty file (say, left by an interrupted first run) still gets its tables.
        QFile empty(m_memo + QStringLiteral("local_inbox.db"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        SQLiteDB store;
        QVERIFY(store.openMemoStore(m_memo));
        QVERIFY(schemaOf(store.inboxFile()).contains(QStringLiteral("tb_local_inbox")));
        QVERIFY(store.storeInboxMemo(QStringLiteral("id1"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("hi"), QStringLiteral("1")));
    }

    void failedSchemaLeavesNothingHalfDone()
    {
        // A file that is not a database cannot get a schema; the failure is reported.
        QFile junk(m_memo + QStringLiteral("local_outbox.db"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        SQLiteDB store;
        QVERIFY(!store.openMemoStore(m_memo));
        QVERIFY(!store.lastError().isEmpty());
        // The other files of the store were still set up.
        QVERIFY(schemaOf(store.inboxFile()).contains(QStringLiteral("tb_local_inbox")));
        QVERIFY(!store.insertOutboxMemo(QStringLiteral("me"), QStringLiteral("you"), QStringLiteral("x")));
    }

    void storesTextExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes and semicolons") << "it's; DROP TABLE tb_local_inbox; --'\"";
        QTest::newRow("Korean lines") << "안녕하세요\n반갑습니다\n또 만나요";
        QTest::newRow("percent and NUL-free control") << "100% \t\r\n?";
    }

    void storesTextExactly()
    {
        QFETCH(QString, text);
        SQLiteDB store;
        openAll(store);
        const QString id = QStringLiteral("id'") + text.left(3);
        QVERIFY(store.storeInboxMemo(id, QStringLiteral("o'neil@x"), QStringLiteral("a;b"), text, QStringLiteral("1")));
        QCOMPARE(store.readInboxMemo(id), (SQLiteDB::Rows{{QStringLiteral("o'neil@x"), QStringLiteral("a;b"), text}}));
        const auto size = store.query(store.inboxFile(), QStringLiteral("SELECT SIZE FROM tb_local_inbox WHERE UUID=?;"), {id});
        QCOMPARE(size.value(0).value(0).toInt(), text.length());

        QVERIFY(store.insertOutboxMemo(QStringLiteral("me"), QStringLiteral("x'y"), text));
        const auto out = store.query(store.outboxFile(), QStringLiteral("SELECT UUID, RUSER, BODYDATA FROM tb_local_outbox;"));
        QCOMPARE(out.size(), 1);
        QCOMPARE(store.readOutboxMemo(out.at(0).at(0)), (SQLiteDB::Rows{{QStringLiteral("me"), QStringLiteral("x'y"), text}}));

        QVERIFY(store.insertChatLog(QStringLiteral("a@x;b'@x"), text));
        const auto chat = store.query(store.chatFile(), QStringLiteral("SELECT UUID, BODYDATA, SIZE, MSGTYPE FROM tb_local_chat;"));
        QCOMPARE(chat.size(), 1);
        QCOMPARE(chat.at(0).mid(1), (QStringList{text, QString::number(text.length()), QStringLiteral("chat")}));
        QCOMPARE(store.readChatUsers(chat.at(0).at(0)), SQLiteDB::Rows{QStringList{QStringLiteral("a@x;b'@x")}});

        QVERIFY(store.deleteInboxMemo(id));
        QVERIFY(store.readInboxMemo(id).isEmpty());
        // Nothing else went.
        QCOMPARE(store.query(store.inboxFile(), QStringLiteral("SELECT COUNT(*) FROM tb_local_inbox;")).value(0).value(0), QStringLiteral("0"));
    }

    void subject_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("subject");
        QTest::newRow("first line") << "hello\nworld" << "hello";
        QTest::newRow("single character first") << "a\n\nbb\ncc" << "bb";
        QTest::newRow("none") << "a\nb\n" << "";
        QTest::newRow("empty") << "" << "";
    }

    void subject()
    {
        QFETCH(QString, body);
        QTEST(SQLiteDB::subjectOf(body), "subject");
    }

    void outboxRows()
    {
        SQLiteDB store;
        openAll(store);
        store.setClock([] {
            return QDateTime(QDate(2026, 5, 6), QTime(21, 8, 9));
        });
        QVERIFY(store.insertOutboxMemo(QStringLiteral("me"), QStringLiteral("a;b"), QStringLiteral("x\nsubject line")));
        QVERIFY(store.insertOutboxMemo(QStringLiteral("me"), QStringLiteral("a;b"), QStringLiteral("second")));
        const auto rows = store.query(store.outboxFile(),
                                      QStringLiteral("SELECT UUID, DATE, SUBJECT, MSGTYPE, UNREAD, CONFIRM, ISPREINSERTED, ISDELETED, RESERVED "
                                                     "FROM tb_local_outbox ORDER BY MID;"));
        QCOMPARE(rows.size(), 2);
        QVERIFY(rows.at(0).at(0) != rows.at(1).at(0));
        QCOMPARE(rows.at(0).at(0).size(), 36);
        QVERIFY(!rows.at(0).at(0).contains(QLatin1Char('{')));
        QCOMPARE(rows.at(0).at(1), QStringLiteral("20260506210809"));
        QCOMPARE(rows.at(1).at(1), rows.at(0).at(1));
        QCOMPARE(rows.at(0).mid(2), (QStringList{QStringLiteral("subject line"), QStringLiteral("text"), QStringLiteral("1"), QStringLiteral("0"),
                                                 QStringLiteral("0"), QStringLiteral("0"), QString()}));
    }

    void unreadCount()
    {
        SQLiteDB store;
        openAll(store);
        bool ok = false;
        QCOMPARE(store.countUnreadMemos(&ok), 0);
        QVERIFY(ok);
        QVERIFY(store.storeInboxMemo(QStringLiteral("m1"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("one"), QStringLiteral("1")));
        QVERIFY(store.storeInboxMemo(QStringLiteral("m2"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("two"), QStringLiteral("0")));
        QMap<QString, QString> web{{QStringLiteral("uuid"), QStringLiteral("w1")}, {QStringLiteral("content"), QStringLiteral("가나다")},
                                   {QStringLiteral("recv_date"), QStringLiteral("20260101000000")}};
        QVERIFY(store.insertInboxMemo(web));
        QCOMPARE(store.countUnreadMemos(), 2);
        const auto row = store.query(store.inboxFile(), QStringLiteral("SELECT SUSER, DATE, SIZE, BODYDATA FROM tb_local_inbox WHERE UUID='w1';"));
        QCOMPARE(row, (SQLiteDB::Rows{{QString(), QStringLiteral("20260101000000"), QStringLiteral("3"), QStringLiteral("가나다")}}));
    }

    void failuresAreReported()
    {
        SQLiteDB store;
        openAll(store);
        QVERIFY(store.storeInboxMemo(QStringLiteral("same"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("1")));
        QVERIFY(!store.storeInboxMemo(QStringLiteral("same"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("y"), QStringLiteral("1")));
        QVERIFY(store.lastError().startsWith(QLatin1String("SQL error: ")));
        QVERIFY(!store.storeInboxMemo(QStringLiteral("n"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("y"), QStringLiteral("1; x")));
        QVERIFY(!store.execute(store.inboxFile(), QStringLiteral("SELEKT 1;")));
        bool ok = true;
        QVERIFY(store.query(store.inboxFile(), QStringLiteral("SELECT nothing FROM nowhere;"), {}, &ok).isEmpty());
        QVERIFY(!ok);
        QVERIFY(!store.executeAll(store.inboxFile(), {QStringLiteral("SELEKT 1;"), QStringLiteral("SELECT 1;")}));

        SQLiteDB unset;
        QVERIFY(!unset.insertChatLog(QStringLiteral("a"), QStringLiteral("b")));
        QCOMPARE(unset.countUnreadMemos(&ok), 0);
        QVERIFY(!ok);
        QVERIFY(!unset.openMemoStore(m_dir.filePath(QStringLiteral("no/such/dir/"))));
        QVERIFY(unset.lastError().startsWith(QLatin1String("Can't open database: ")));
    }

    void queryIndex()
    {
        SQLiteDB store;
        openAll(store);
        QVERIFY(store.execute(store.chatCountFile(), QStringLiteral("INSERT INTO TB_CHAT_RANKING VALUES (?, ?), (?, ?);"),
                              {QStringLiteral("17"), 3, QStringLiteral("5"), 1}));
        const auto rows = store.query(store.chatCountFile(), QStringLiteral("SELECT USERID, CHATCOUNT FROM TB_CHAT_RANKING ORDER BY CHATCOUNT DESC;"));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(store.rowIndex().value(17), 0);
        QCOMPARE(store.rowIndex().value(5), 1);
        store.query(store.chatCountFile(), QStringLiteral("SELECT 1 WHERE 0;"));
        QVERIFY(store.rows().isEmpty());
        QVERIFY(store.rowIndex().isEmpty());
    }

    void readerDoesNotFailWrite()
    {
        SQLiteDB store;
        openAll(store);
        // An outside viewer in the middle of reading the inbox.
        sqlite3 *reader = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(store.inboxFile()).constData(), &reader), SQLITE_OK);
        QCOMPARE(sqlite3_exec(reader, "BEGIN; SELECT COUNT(*) FROM tb_local_inbox;", nullptr, nullptr, nullptr), SQLITE_OK);

        // While it reads, a write waits; a reader that never finishes makes it fail, and says so.
        store.setBusyTimeout(50);
        QVERIFY(!store.storeInboxMemo(QStringLiteral("w1"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("1")));
        QVERIFY(store.lastError().contains(QLatin1String("locked")));

        // A reader that finishes while the write waits lets it through.
        store.setBusyTimeout(5000);
        bool released = false;
        store.setBusyHook([&] {
            released = sqlite3_exec(reader, "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK;
        });
        QVERIFY(store.storeInboxMemo(QStringLiteral("w2"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("1")));
        QVERIFY(released);
        sqlite3_close(reader);
        QCOMPARE(store.readInboxMemo(QStringLiteral("w2")).size(), 1);
        QVERIFY(store.readInboxMemo(QStringLiteral("w1")).isEmpty());
    }

    void rewritesUserTable()
    {
        SQLiteDB store;
        openAll(store);
        QVERIFY(store.rewriteUserTable({{QStringLiteral("old@x"), QStringLiteral("Old"), QStringLiteral("o")}}));

        BuddyList buddies;
        auto *kim = new Buddy();
        kim->loginId = QStringLiteral("kim@x");
        kim->name = QStringLiteral("김 O'Hara");
        kim->nick = QStringLiteral("nick; --");
        auto *twice = new Buddy();
        twice->loginId = QStringLiteral("kim@x");
        twice->name = QStringLiteral("second");
        buddies.append(kim);
        buddies.append(twice);
        QVERIFY(store.rewriteUserTable({QStringLiteral("me@x"), QStringLiteral("Me"), QStringLiteral("M")}, buddies));
        buddies.deleteAll();

        const auto rows = store.query(store.userFile(), QStringLiteral("SELECT ID, NAME, NICK, EMAIL FROM tb_user ORDER BY rowid;"));
        QCOMPARE(rows, (SQLiteDB::Rows{{QStringLiteral("me@x"), QStringLiteral("Me"), QStringLiteral("M"), QStringLiteral("Me <me@x>")},
                                       {QStringLiteral("kim@x"), QStringLiteral("김 O'Hara"), QStringLiteral("nick; --"),
                                        QStringLiteral("김 O'Hara <kim@x>")}}));
    }

    void failedRewriteKeepsOldTable()
    {
        SQLiteDB store;
        openAll(store);
        QVERIFY(store.rewriteUserTable({{QStringLiteral("old@x"), QStringLiteral("Old"), QStringLiteral("o")}}));
        sqlite3 *reader = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(store.userFile()).constData(), &reader), SQLITE_OK);
        QCOMPARE(sqlite3_exec(reader, "BEGIN; SELECT COUNT(*) FROM tb_user;", nullptr, nullptr, nullptr), SQLITE_OK);
        store.setBusyTimeout(20);
        QVERIFY(!store.rewriteUserTable({{QStringLiteral("new@x"), QStringLiteral("New"), QStringLiteral("n")}}));
        sqlite3_exec(reader, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(reader);
        QCOMPARE(store.query(store.userFile(), QStringLiteral("SELECT ID FROM tb_user;")), SQLiteDB::Rows{QStringList{QStringLiteral("old@x")}});
    }
};

QTEST_GUILESS_MAIN(SQLiteDBTest)
#include "sqlitedbtest.moc"
