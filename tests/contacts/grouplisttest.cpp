// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "group.h"
#include "grouplist.h"

#include <QPointer>
#include <QTest>

class GroupListTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void members()
    {
        Group group(QStringLiteral("3"), QStringLiteral("friends"));
        QCOMPARE(group.itemId(), QStringLiteral("3"));
        QCOMPARE(group.itemName(), QStringLiteral("friends"));
        group.addBuddy(QStringLiteral("1"));
        group.addBuddy(QStringLiteral("2"));
        group.addBuddy(QStringLiteral("1"));
        QCOMPARE(group.members(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
        group.removeBuddy(QStringLiteral("1"));
        QCOMPARE(group.members(), QStringList{QStringLiteral("2")});
        QVERIFY(!group.hasMember(QStringLiteral("1")));
        group.removeBuddy(QStringLiteral("nobody"));
        QCOMPARE(group.members().size(), 1);
    }

    void appendGroup()
    {
        GroupList list;
        Group *zero = list.appendGroup(QStringLiteral("0"), QStringLiteral("기본 그룹"));
        QVERIFY(zero);
        Group *work = list.appendGroup(QStringLiteral("7"), QStringLiteral("work"));
        QCOMPARE(list.appendGroup(QStringLiteral("7"), QStringLiteral("other")), nullptr);
        QCOMPARE(list.count(), 2);
        QCOMPARE(work->itemName(), QStringLiteral("work"));
        QCOMPARE(list.findGroupById(QStringLiteral("0")), zero);
        QCOMPARE(list.findGroupByName(QStringLiteral("work")), work);
        QCOMPARE(list.findGroupByName(QStringLiteral("other")), nullptr);
        QVERIFY(list.hasGroup(QStringLiteral("7")));
        QVERIFY(!list.hasGroup(QStringLiteral("8")));
        list.deleteAll();
    }

    void groupIdsOf()
    {
        GroupList list;
        list.appendGroup(QStringLiteral("0"), QStringLiteral("a"))->addBuddy(QStringLiteral("11"));
        list.appendGroup(QStringLiteral("4"), QStringLiteral("b"))->addBuddy(QStringLiteral("12"));
        list.appendGroup(QStringLiteral("2"), QStringLiteral("c"))->addBuddy(QStringLiteral("11"));
        QCOMPARE(list.groupIdsOf(QStringLiteral("11")), (QStringList{QStringLiteral("0"), QStringLiteral("2")}));
        QCOMPARE(list.groupIdsOf(QStringLiteral("12")), QStringList{QStringLiteral("4")});
        QVERIFY(list.groupIdsOf(QStringLiteral("13")).isEmpty());
        list.deleteAll();
    }

    void ownership()
    {
        GroupList list;
        QPointer<Group> a = list.appendGroup(QStringLiteral("1"), QStringLiteral("a"));
        QPointer<Group> b = list.appendGroup(QStringLiteral("2"), QStringLiteral("b"));
        QVERIFY(list.remove(a));
        QVERIFY(a);
        QVERIFY(!list.contains(a));
        delete b; // leaves the list by itself
        QVERIFY(list.isEmpty());
        list.append(a);
        list.deleteAll();
        QVERIFY(!a);
    }
};

QTEST_GUILESS_MAIN(GroupListTest)
#include "grouplisttest.moc"
