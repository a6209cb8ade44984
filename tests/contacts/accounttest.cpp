// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "account.h"

#include <QSignalSpy>
#include <QTest>

class AccountTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void definedAtConstruction();
    void copyKeepsProxyAndAway();
    void awayTimeAlwaysAnnounced();
    void ownIdAndLink_data();
    void ownIdAndLink();
};

void AccountTest::definedAtConstruction()
{
    const Account a;
    QCOMPARE(a.serverPort(), 0);
    QCOMPARE(a.awayTime(), 10);
    QVERIFY(!a.autoAway);
    QCOMPARE(a.proxyType, 0);
    QCOMPARE(a.proxyPort, 0);
    QVERIFY(a.loginID().isEmpty() && a.serverHost().isEmpty());

    CurrentAccount *c = CurrentAccount::instance();
    QCOMPARE(c, CurrentAccount::instance());
    QCOMPARE(c->mvCmn, QStringLiteral("%00"));
    QCOMPARE(c->tirnID, QStringLiteral("%00"));
    QCOMPARE(c->mvID, QStringLiteral("%00"));
    QCOMPARE(c->accountType, char(0));
    QVERIFY(!c->buddyList && !c->groupList && !c->kivraNew && !c->mainPageState);
    CurrentAccount::destroyInstance();
}

void AccountTest::copyKeepsProxyAndAway()
{
    Account from;
    from.setLoginInfo(QStringLiteral("kim@zemvik.example"), QStringLiteral("pw"));
    from.setServer(QStringLiteral("10.0.0.1"), 7000);
    from.proxyServer = QStringLiteral("proxy.example");
    from.autoAway = true;

    Account to;
    to.proxyServer = QStringLiteral("mine");
    to.proxyPort = 1080;
    to.copyFrom(from);
    QCOMPARE(to.loginID(), QStringLiteral("kim@zemvik.example"));
    QCOMPARE(to.password(), QStringLiteral("pw"));
    QCOMPARE(to.serverHost(), QStringLiteral("10.0.0.1"));
    QCOMPARE(to.serverPort(), 7000);
    QCOMPARE(to.proxyServer, QStringLiteral("mine"));
    QCOMPARE(to.proxyPort, 1080);
    QVERIFY(!to.autoAway);
}

void AccountTest::awayTimeAlwaysAnnounced()
{
    Account a;
    QSignalSpy spy(&a, &Account::changedTimerSettings);
    a.setAwayTime(10);
    a.setAwayTime(10);
    QCOMPARE(spy.count(), 2);
}

void AccountTest::ownIdAndLink_data()
{
    QTest::addColumn<char>("type");
    QTest::addColumn<QString>("mvCmn");
    QTest::addColumn<QString>("ownId");
    QTest::addColumn<bool>("linked");
    QTest::newRow("portal, not linked") << 'N' << QStringLiteral("%00") << QStringLiteral("kim") << false;
    QTest::newRow("portal, empty link") << 'N' << QString() << QStringLiteral("kim") << false;
    QTest::newRow("sister service") << 'C' << QStringLiteral("77") << QStringLiteral("kim_mv") << true;
}

void AccountTest::ownIdAndLink()
{
    QFETCH(char, type);
    QFETCH(QString, mvCmn);
    QFETCH(QString, ownId);
    QFETCH(bool, linked);
    CurrentAccount *c = CurrentAccount::instance();
    c->accountType = type;
    c->mvCmn = mvCmn;
    c->tirnID = QStringLiteral("kim");
    c->mvID = QStringLiteral("kim_mv");
    QCOMPARE(c->ownId(), ownId);
    QCOMPARE(c->hasMavreloLink(), linked);
    CurrentAccount::destroyInstance();
}

QTEST_GUILESS_MAIN(AccountTest)
#include "accounttest.moc"
