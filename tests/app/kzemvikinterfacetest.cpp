// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "kzemvikinterface.h"

#include <KAboutData>
#include <KSelectAction>
#include <KToggleAction>

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTest>

class KZemvikInterfaceTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        KAboutData::setApplicationData(KAboutData(QStringLiteral("kzemvik"), QStringLiteral("Zemvik 메신저"), QStringLiteral("0.9")));
    }

    void menuBarOrder()
    {
        KZemvikInterface window;
        QVERIFY(window.initInterface());
        QStringList names;
        const auto menus = window.menuBar()->actions();
        for (QAction *a : menus) {
            names << a->menu()->objectName();
        }
        QCOMPARE(names,
                 (QStringList{QStringLiteral("filemenu"),
                              QStringLiteral("actionmenu"),
                              QStringLiteral("friendmenu"),
                              QStringLiteral("setupmenu"),
                              QStringLiteral("helpmenu")}));
        QCOMPARE(window.minimumSize(), QSize(350, 600));
        QCOMPARE(window.selectAction(QStringLiteral("Menu_Naming"))->currentItem(), 3);
        QCOMPARE(window.selectAction(QStringLiteral("Menu_Sorting"))->currentItem(), 0);
        QCOMPARE(window.selectAction(QStringLiteral("status"))->items().size(), 6);
        QVERIFY(window.toggleAction(QStringLiteral("alwaysTop")));
    }

    void menuStates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("signedOut");
        const QStringList off = KZemvikInterface::sessionActionNames();
        for (const QString &name : off) {
            QTest::newRow(qPrintable(name)) << name << false;
        }
        for (const char *name : {"OpenFileBox", "Hide", "Quit", "alwaysTop", "setup_menu", "GoTirnHome", "FAQ", "ZemvikUsage"}) {
            QTest::newRow(name) << QString::fromLatin1(name) << true;
        }
    }

    void menuStates()
    {
        QFETCH(QString, name);
        QFETCH(bool, signedOut);
        KZemvikInterface window;
        QVERIFY(window.initInterface());
        QAction *a = window.action(name);
        QVERIFY2(a, qPrintable(name));
        QCOMPARE(a->isEnabled(), signedOut);
        window.setSignedInMenus(true);
        QVERIFY(a->isEnabled());
        window.setSignedInMenus(false);
        QCOMPARE(a->isEnabled(), signedOut);
    }

    void groupNamesFillCopyAndMove()
    {
        KZemvikInterface window;
        QVERIFY(window.initInterface());
        const QStringList groups{QStringLiteral("가족"), QStringLiteral("Zeta"), QStringLiteral("기타")};
        window.slotSetGroupList(groups);
        QCOMPARE(window.selectAction(QStringLiteral("Menu_Buddy_Copy"))->items(), groups);
        QCOMPARE(window.selectAction(QStringLiteral("Menu_Buddy_Move"))->items(), groups);
    }

    void statusLabel()
    {
        KZemvikInterface window;
        QVERIFY(window.initInterface());
        window.slotUpdateStatusText(QStringLiteral("접속 됨"));
        QCOMPARE(window.statusLabel()->text(), QStringLiteral("접속 됨"));
    }
};

QTEST_MAIN(KZemvikInterfaceTest)

#include "kzemvikinterfacetest.moc"
