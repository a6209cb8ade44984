// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "buddy.h"
#include "commandline.h"
#include "mybuddylist.h"

#include <QTest>

#include <memory>

class BuddyTest : public QObject
{
    Q_OBJECT
private:
    //! A buddy line with 19 fields; replace single fields to build cases.
    static QStringList listLine()
    {
        return CommandLine::split(QStringLiteral(
            "LIST 12 0 3 1101 kim@zemvik.example 1001 Kim%20Minji Minnie%20K t9 t10 19990201 kv77 42 x mv@mavrelo.example 20240315 Y z"));
    }

private Q_SLOTS:
    void fromListLine()
    {
        std::unique_ptr<Buddy> buddy(Buddy::fromListLine(listLine()));
        QVERIFY(buddy);
        QCOMPARE(buddy->status, QStringLiteral("F"));
        QCOMPARE(buddy->loginId, QStringLiteral("kim@zemvik.example"));
        QCOMPARE(buddy->handle, QStringLiteral("1001"));
        QCOMPARE(buddy->name, QStringLiteral("Kim Minji"));
        QCOMPARE(buddy->nick, QStringLiteral("Minnie K"));
        QCOMPARE(buddy->kivraId, QStringLiteral("kv77"));
        QCOMPARE(buddy->kivraKey, QStringLiteral("kv77"));
        QVERIFY(!buddy->kivraNew);
        QVERIFY(!buddy->inChat);
        QCOMPARE(buddy->profile.text9, QStringLiteral("t9"));
        QCOMPARE(buddy->profile.text10, QStringLiteral("t10"));
        QCOMPARE(buddy->profile.date11, QDate(1999, 2, 1));
        QCOMPARE(buddy->profile.number13, 42);
        QCOMPARE(buddy->profile.mavreloId, QStringLiteral("mv@mavrelo.example"));
        QCOMPARE(buddy->profile.date16, QDate(2024, 3, 15));
        QVERIFY(buddy->profile.flag17);
        QVERIFY(buddy->itemId().isEmpty());
    }

    void tooShort()
    {
        QStringList fields = listLine();
        fields.removeLast();
        QCOMPARE(fields.size(), 18);
        QCOMPARE(Buddy::fromListLine(fields), nullptr);
        QCOMPARE(Buddy::fromListLine({}), nullptr);
    }

    void flags_data()
    {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<bool>("allow");
        QTest::addColumn<bool>("reverse");
        QTest::addColumn<QString>("itemId");
        QTest::newRow("1011 blocked") << QStringLiteral("1011") << true << false << true << QString();
        QTest::newRow("0001 request") << QStringLiteral("0001") << false << false << true << QStringLiteral("0");
        QTest::newRow("1100") << QStringLiteral("1100") << true << true << false << QString();
        QTest::newRow("char 2 unread") << QStringLiteral("0110") << false << true << false << QString();
        QTest::newRow("short flags") << QStringLiteral("1") << true << false << false << QString();
    }

    void flags()
    {
        QFETCH(QString, flags);
        QStringList fields = listLine();
        fields[4] = flags;
        std::unique_ptr<Buddy> buddy(Buddy::fromListLine(fields));
        QVERIFY(buddy);
        QTEST(buddy->onForwardList, "forward");
        QFETCH(bool, allow);
        QCOMPARE(buddy->onAllowList, allow);
        QCOMPARE(buddy->blocked, !allow);
        QFETCH(bool, reverse);
        QCOMPARE(buddy->onReverseList, reverse);
        QFETCH(QString, itemId);
        QCOMPARE(buddy->itemId(), itemId);
    }

    void fields_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("nick");
        QTest::addColumn<QDate>("date11");
        QTest::addColumn<QDate>("date16");
        QTest::addColumn<bool>("flag17");
        const QString n = QStringLiteral("Minnie K");
        const QDate d11(1999, 2, 1);
        const QDate d16(2024, 3, 15);
        QTest::newRow("nick %00 is the name") << 8 << QStringLiteral("%00") << QStringLiteral("Kim Minji") << d11 << d16 << true;
        QTest::newRow("nick with CR LF") << 8 << QStringLiteral("a%0Db%0Ac") << QStringLiteral("a\rb\nc") << d11 << d16 << true;
        QTest::newRow("date 7 chars") << 11 << QStringLiteral("1999020") << n << QDate() << d16 << true;
        QTest::newRow("date 9 chars") << 16 << QStringLiteral("202403150") << n << d11 << QDate() << true;
        QTest::newRow("date not a date") << 11 << QStringLiteral("19991340") << n << QDate() << d16 << true;
        QTest::newRow("date letters") << 16 << QStringLiteral("abcdefgh") << n << d11 << QDate() << true;
        QTest::newRow("flag N") << 17 << QStringLiteral("N") << n << d11 << d16 << false;
    }

    void fields()
    {
        QFETCH(int, position);
        QFETCH(QString, value);
        QStringList line = listLine();
        line[position] = value;
        std::unique_ptr<Buddy> buddy(Buddy::fromListLine(line));
        QVERIFY(buddy);
        QTEST(buddy->nick, "nick");
        QTEST(buddy->profile.date11, "date11");
        QTEST(buddy->profile.date16, "date16");
        QTEST(buddy->profile.flag17, "flag17");
    }

    void defaults()
    {
        Buddy buddy;
        QCOMPARE(buddy.status, QStringLiteral("X"));
        QVERIFY(buddy.isOnline());
        buddy.status = QStringLiteral("F");
        QVERIFY(!buddy.isOnline());
        QVERIFY(!buddy.mainPageState);
        QVERIFY(buddy.mainPageParam.isEmpty());
    }

    void sortsByNameDescending()
    {
        Buddy a, b, c, d;
        a.name = QStringLiteral("Alpha");
        b.name = QStringLiteral("beta");
        c.name = QStringLiteral("Charlie");
        d.name = QStringLiteral("가나");
        MyBuddyList list{&a, &c, &d, &b};
        list.sort();
        QCOMPARE(list, (MyBuddyList{&d, &b, &c, &a}));
        QVERIFY(MyBuddyList::compareItems(&b, &a) < 0);
        QCOMPARE(MyBuddyList::compareItems(&a, &a), 0);
    }
};

QTEST_GUILESS_MAIN(BuddyTest)
#include "buddytest.moc"
