// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "addbuddyselector.h"
#include "buddy.h"
#include "buddylist.h"
#include "chatsession.h"
#include "group.h"
#include "grouplist.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

class AddBuddySelectorTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void okTextNamesOnlyTheIds_data();
    void okTextNamesOnlyTheIds();
    void leftOutByHandleOrId();
    void groupShowsItsMembers();
    void search_data();
    void search();
    void preselectAndMove();

private:
    Buddy *add(const QString &handle, const QString &id, const QString &name);
    void pick(AddBuddySelector &selector, const QStringList &ids);
    BuddyList m_buddies;
    GroupList m_groups;
};

Buddy *AddBuddySelectorTest::add(const QString &handle, const QString &id, const QString &name)
{
    auto *b = new Buddy(this);
    b->handle = handle;
    b->loginId = id;
    b->name = name;
    m_buddies.append(b);
    return b;
}

void AddBuddySelectorTest::initTestCase()
{
    add(QStringLiteral("1"), QStringLiteral("haeun@zemvik.example"), QStringLiteral("박하은"));
    add(QStringLiteral("2"), QStringLiteral("jiho@zemvik.example"), QStringLiteral("김지호"));
    add(QStringLiteral("3"), QStringLiteral("seoyeon@zemvik.example"), QStringLiteral("이서연"));
    add(QStringLiteral("4"), QStringLiteral("minjun@zemvik.example"), QStringLiteral("최민준"));
    Group *family = m_groups.appendGroup(QStringLiteral("1"), QStringLiteral("가족"));
    family->addBuddy(QStringLiteral("1"));
    family->addBuddy(QStringLiteral("2"));
    family->addBuddy(QStringLiteral("77")); // a member the list does not know
    Group *school = m_groups.appendGroup(QStringLiteral("2"), QStringLiteral("동창"));
    school->addBuddy(QStringLiteral("3"));
}

void AddBuddySelectorTest::cleanupTestCase()
{
    m_groups.deleteAll();
}

void AddBuddySelectorTest::pick(AddBuddySelector &selector, const QStringList &ids)
{
    auto *candidates = selector.findChild<QTreeWidget *>(QStringLiteral("candidateList"));
    candidates->clearSelection();
    for (int i = 0; i < candidates->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = candidates->topLevelItem(i);
        item->setSelected(ids.contains(item->text(1)));
    }
    selector.slotSelectBuddies();
}

void AddBuddySelectorTest::okTextNamesOnlyTheIds_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("김지호");
    QTest::newRow("name with @") << QStringLiteral("jiho@home.example");
    QTest::newRow("name that looks like an entry") << QStringLiteral("x\" <evil@attacker.example>");
    QTest::newRow("brackets") << QStringLiteral("<evil@attacker.example>");
}

void AddBuddySelectorTest::okTextNamesOnlyTheIds()
{
    QFETCH(QString, name);
    BuddyList list;
    Buddy named(this);
    named.handle = QStringLiteral("9");
    named.loginId = QStringLiteral("jiho@zemvik.example");
    named.name = name;
    list.append(&named);
    list.append(m_buddies.at(2));

    AddBuddySelector selector;
    selector.setBuddies(&list);
    selector.fillAllBuddies();
    pick(selector, {QStringLiteral("jiho@zemvik.example"), QStringLiteral("seoyeon@zemvik.example")});
    QSignalSpy picked(&selector, &AddBuddySelector::selectedBuddies);
    selector.slotSelectedOK();
    QCOMPARE(picked.count(), 1);
    const QString text = picked.first().first().toString();
    QVERIFY(text.endsWith(QStringLiteral(";\"이서연\" <seoyeon@zemvik.example>")));
    QCOMPARE(ChatSession::idsFromPickedText(text), (QStringList{QStringLiteral("jiho@zemvik.example"), QStringLiteral("seoyeon@zemvik.example")}));
}

void AddBuddySelectorTest::leftOutByHandleOrId()
{
    AddBuddySelector selector;
    selector.setBuddies(&m_buddies);
    // Participants come by ID, offline or blocked buddies by handle.
    selector.setExcluded({QStringLiteral("haeun@zemvik.example"), QStringLiteral("4")});
    selector.fillAllBuddies();
    QCOMPARE(selector.candidateIds(), (QStringList{QStringLiteral("jiho@zemvik.example"), QStringLiteral("seoyeon@zemvik.example")}));
}

void AddBuddySelectorTest::groupShowsItsMembers()
{
    AddBuddySelector selector;
    selector.setGroups(&m_groups);
    selector.setBuddies(&m_buddies);
    auto *combo = selector.findChild<QComboBox *>(QStringLiteral("groupCombo"));
    QCOMPARE(combo->count(), 3);
    selector.fillAllBuddies();
    QCOMPARE(selector.candidateIds().size(), 4);

    combo->setCurrentIndex(1);
    selector.slotSelectGroup(QStringLiteral("가족"));
    QCOMPARE(selector.candidateIds(), (QStringList{QStringLiteral("haeun@zemvik.example"), QStringLiteral("jiho@zemvik.example")}));
    combo->setCurrentIndex(2);
    selector.slotSelectGroup(QStringLiteral("동창"));
    QCOMPARE(selector.candidateIds(), QStringList{QStringLiteral("seoyeon@zemvik.example")});
    selector.slotSelectGroup(QStringLiteral("없는 그룹")); // only a debug line
    QCOMPARE(selector.candidateIds(), QStringList{QStringLiteral("seoyeon@zemvik.example")});
}

void AddBuddySelectorTest::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("name fragment") << QStringLiteral("김") << QStringList{QStringLiteral("jiho@zemvik.example")};
    QTest::newRow("id fragment") << QStringLiteral("seo") << QStringList{QStringLiteral("seoyeon@zemvik.example")};
    QTest::newRow("pattern") << QStringLiteral("^(박|최)") << QStringList{QStringLiteral("haeun@zemvik.example"), QStringLiteral("minjun@zemvik.example")};
    QTest::newRow("broken pattern is text") << QStringLiteral("[") << QStringList{};
    QTest::newRow("empty finds all") << QString() << QStringList{QStringLiteral("haeun@zemvik.example"), QStringLiteral("jiho@zemvik.example"),
                                                                 QStringLiteral("seoyeon@zemvik.example"), QStringLiteral("minjun@zemvik.example")};
}

void AddBuddySelectorTest::search()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    AddBuddySelector selector;
    selector.setBuddies(&m_buddies);
    selector.findChild<QLineEdit *>(QStringLiteral("searchEdit"))->setText(text);
    selector.slotSearchBuddies();
    QCOMPARE(selector.candidateIds(), found);
}

void AddBuddySelectorTest::preselectAndMove()
{
    AddBuddySelector selector;
    selector.setBuddies(&m_buddies);
    selector.preselect(QStringLiteral("\"김지호\" <jiho@zemvik.example>;minjun@zemvik.example;nobody@zemvik.example"));
    selector.fillAllBuddies();
    QCOMPARE(selector.selectedIds(), (QStringList{QStringLiteral("jiho@zemvik.example"), QStringLiteral("minjun@zemvik.example")}));
    QCOMPARE(selector.candidateIds(), (QStringList{QStringLiteral("haeun@zemvik.example"), QStringLiteral("seoyeon@zemvik.example")}));

    auto *selected = selector.findChild<QTreeWidget *>(QStringLiteral("selectedList"));
    selected->topLevelItem(0)->setSelected(true);
    selector.slotRemoveBuddies();
    QCOMPARE(selector.selectedIds(), QStringList{QStringLiteral("minjun@zemvik.example")});
    QVERIFY(selector.candidateIds().contains(QStringLiteral("jiho@zemvik.example")));

    QSignalSpy picked(&selector, &AddBuddySelector::selectedBuddies);
    selector.slotSelectedOK();
    QCOMPARE(picked.first().first().toString(), QStringLiteral("\"최민준\" <minjun@zemvik.example>"));
}

QTEST_MAIN(AddBuddySelectorTest)
#include "addbuddyselectortest.moc"
