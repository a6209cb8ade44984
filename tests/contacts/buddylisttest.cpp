// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "buddy.h"
#include "buddylist.h"

#include <QPointer>
#include <QTest>

class BuddyListTest : public QObject
{
    Q_OBJECT
private:
    static Buddy *makeBuddy(const QString &loginId, const QString &handle, const QString &kivra = QString())
    {
        auto *buddy = new Buddy();
        buddy->loginId = loginId;
        buddy->handle = handle;
        buddy->kivraId = kivra;
        buddy->kivraKey = kivra;
        return buddy;
    }

private Q_SLOTS:
    void findsFirstMatch()
    {
        BuddyList list;
        Buddy *a = makeBuddy(QStringLiteral("a@x"), QStringLiteral("1"), QStringLiteral("ka"));
        Buddy *b = makeBuddy(QStringLiteral("b@x"), QStringLiteral("2"), QStringLiteral("kb"));
        Buddy *dupe = makeBuddy(QStringLiteral("a@x"), QStringLiteral("1"), QStringLiteral("ka"));
        list.append(a);
        list.append(b);
        list.append(dupe);
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.findByHandle(QStringLiteral("1")), a);
        QCOMPARE(list.findByLoginId(QStringLiteral("b@x")), b);
        QCOMPARE(list.findByKivraId(QStringLiteral("ka")), a);
        QCOMPARE(list.findByKivraKey(QStringLiteral("kb")), b);
        QCOMPARE(list.findByHandle(QStringLiteral("9")), nullptr);
        QCOMPARE(list.findByLoginId(QStringLiteral("A@X")), nullptr);

        // Removing the first match exposes the next one.
        QVERIFY(list.remove(a));
        QVERIFY(!list.remove(a));
        QCOMPARE(list.findByHandle(QStringLiteral("1")), dupe);
        QCOMPARE(list.findByLoginId(QStringLiteral("a@x")), dupe);
        QVERIFY(!list.contains(a));
        delete a;
        list.deleteAll();
    }

    void changedKeysNeedReindex()
    {
        BuddyList list;
        Buddy *a = makeBuddy(QStringLiteral("a@x"), QStringLiteral("1"));
        list.append(a);
        a->loginId = QStringLiteral("new@x");
        // A stale entry is never answered ...
        QCOMPARE(list.findByLoginId(QStringLiteral("a@x")), nullptr);
        // ... and reindex() finds the new key.
        list.reindex();
        QCOMPARE(list.findByLoginId(QStringLiteral("new@x")), a);
        list.deleteAll();
    }

    void removeAndClearDoNotDelete()
    {
        BuddyList list;
        QPointer<Buddy> a = makeBuddy(QStringLiteral("a@x"), QStringLiteral("1"));
        list.append(a);
        list.append(a);
        QVERIFY(list.remove(a));
        QVERIFY(list.isEmpty());
        QVERIFY(a);
        list.append(a);
        list.clear();
        QVERIFY(a);
        QCOMPARE(list.findByHandle(QStringLiteral("1")), nullptr);
        delete a;
    }

    void deleteAllFreesEachOnce()
    {
        BuddyList list;
        QPointer<Buddy> a = makeBuddy(QStringLiteral("a@x"), QStringLiteral("1"));
        QPointer<Buddy> b = makeBuddy(QStringLiteral("b@x"), QStringLiteral("2"));
        list.append(a);
        list.append(b);
        list.append(a);
        list.deleteAll();
        QVERIFY(!a);
        QVERIFY(!b);
        QVERIFY(list.isEmpty());
    }

    void deletedBuddyLeavesTheList()
    {
        BuddyList list;
        Buddy *a = makeBuddy(QStringLiteral("a@x"), QStringLiteral("1"));
        Buddy *b = makeBuddy(QStringLiteral("b@x"), QStringLiteral("2"));
        list.append(a);
        list.append(b);
        list.append(a);
        delete a;
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.at(0), b);
        QCOMPARE(list.at(1), nullptr);
        QCOMPARE(list.findByHandle(QStringLiteral("1")), nullptr);
        list.deleteAll();
    }

    void iteratesInAppendOrder()
    {
        BuddyList list;
        QList<Buddy *> made;
        for (int i = 0; i < 5; ++i) {
            made.append(makeBuddy(QString::number(i), QString::number(i)));
            list.append(made.last());
        }
        QList<Buddy *> seen;
        for (Buddy *buddy : list) {
            seen.append(buddy);
        }
        QCOMPARE(seen, made);
        list.deleteAll();
    }

    void manyLookups()
    {
        // A presence burst: 5,000 buddies, 5,000 lookups by login ID.
        BuddyList list;
        for (int i = 0; i < 5000; ++i) {
            list.append(makeBuddy(QStringLiteral("u%1@x").arg(i), QString::number(i)));
        }
        for (int i = 0; i < 5000; ++i) {
            Buddy *buddy = list.findByLoginId(QStringLiteral("u%1@x").arg(i));
            QVERIFY(buddy);
            QCOMPARE(list.findByHandle(QString::number(i)), buddy);
        }
        list.deleteAll();
    }
};

QTEST_GUILESS_MAIN(BuddyListTest)
#include "buddylisttest.moc"
