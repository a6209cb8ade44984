// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Clients against the real local service: dispatch, sign-in (directly and through real SOCKS
// proxies), presence, client messages, nicknames, groups across a restart, and a second sign-in
// of the same ID.
#include "account.h"
#include "buddy.h"
#include "buddylist.h"
#include "commandline.h"
#include "group.h"
#include "grouplist.h"
#include "localserviceprocess.h"
#include "proxyprocess.h"
#include "settings.h"
#include "zemvikdpconnection.h"
#include "zemvikdplconnection.h"

#include <KConfigGroup>
#include <QSignalSpy>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace
{
const QString s_password = QStringLiteral("pw-1234");
const QString s_hana = QStringLiteral("hana@zemvik.example");
const QString s_dool = QStringLiteral("dool@zemvik.example");
const QString s_demo = QStringLiteral("demo@zemvik.example");
const QString s_demoPassword = QStringLiteral("demo1234");
const QString s_proxyUser = QStringLiteral("kim");
const QString s_proxyPassword = QStringLiteral("secret");
}

class SessionEndToEndTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void presenceAndClientMessages();
    void secondSignInEndsTheFirst();
    void signInThroughProxy_data();
    void signInThroughProxy();
    void refusingProxy();
    void groupSurvivesRestart();
    void nickReachesBuddy_data();
    void nickReachesBuddy();
    void refusedConnectionStaysClosed();

private:
    //! Points the client at the running service's dispatch server.
    void useService();
    //! Asks the dispatch server, then signs in on the session server it names.
    std::unique_ptr<ZemvikDPConnection> signIn(const QString &id, const QString &password = s_password);
    //! The same on a session connection that may have been signed in before.
    bool signInWith(ZemvikDPConnection *session, const QString &id, const QString &password = s_password);

    QTemporaryDir m_home;
    LocalServiceProcess *m_pService = nullptr;
};

void SessionEndToEndTest::initTestCase()
{
    qRegisterMetaType<Account *>();
    // A configuration file of our own: tests running side by side must not see our proxy settings.
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    QStandardPaths::setTestModeEnabled(true);
    Settings::reset();
    Settings::setUseProxy(false);
}

void SessionEndToEndTest::init()
{
    m_pService = new LocalServiceProcess;
    QVERIFY(m_pService->addAccount(s_hana, s_password, QStringLiteral("Hana"), QStringLiteral("하나")));
    QVERIFY(m_pService->addAccount(s_dool, s_password, QStringLiteral("Dool"), QStringLiteral("둘")));
    QVERIFY(m_pService->addBuddy(s_hana, s_dool));
    QVERIFY(m_pService->addBuddy(s_dool, s_hana));
    QVERIFY2(m_pService->start(), qPrintable(m_pService->errorOutput()));
    useService();
}

void SessionEndToEndTest::cleanup()
{
    Settings::setUseProxy(false);
    delete m_pService;
    m_pService = nullptr;
}

void SessionEndToEndTest::useService()
{
    KConfigGroup service = Settings::config()->group(QStringLiteral("Config_Service"));
    service.writeEntry("Dispatch_Host", m_pService->host(QStringLiteral("dispatch")).toString());
    service.writeEntry("Dispatch_Port", int(m_pService->port(QStringLiteral("dispatch"))));
}

std::unique_ptr<ZemvikDPConnection> SessionEndToEndTest::signIn(const QString &id, const QString &password)
{
    auto session = std::make_unique<ZemvikDPConnection>();
    session->initialize();
    if (!signInWith(session.get(), id, password)) {
        return nullptr;
    }
    return session;
}

bool SessionEndToEndTest::signInWith(ZemvikDPConnection *session, const QString &id, const QString &password)
{
    // Every connection shares the one current account; each sign-in runs to its end before the next.
    CurrentAccount *account = CurrentAccount::instance();
    account->setLoginInfo(id, password);

    ZemvikDPLConnection dispatch;
    dispatch.initialize();
    QSignalSpy answer(&dispatch, &ZemvikDPLConnection::connectDPWithAccount);
    if (!dispatch.connectToServer() || !answer.wait(5000)) {
        qWarning() << "no dispatch answer" << m_pService->errorOutput();
        return false;
    }
    std::unique_ptr<Account> address(answer.first().first().value<Account *>());
    account->copyFrom(*address);
    dispatch.closeConnection(true);

    QSignalSpy connected(session, &ZemvikDPConnection::connected);
    if (!session->connectToServer() || !connected.wait(5000)) {
        qWarning() << "no sign-in for" << id << m_pService->errorOutput();
        return false;
    }
    session->slotChangeStatusOnline();
    return true;
}

void SessionEndToEndTest::presenceAndClientMessages()
{
    std::unique_ptr<ZemvikDPConnection> hana = signIn(s_hana);
    QVERIFY(hana);
    QVERIFY(hana->buddyList()->findByLoginId(s_dool));
    QSignalSpy hanaSees(hana.get(), &ZemvikDPConnection::receivedINFY);

    std::unique_ptr<ZemvikDPConnection> dool = signIn(s_dool);
    QVERIFY(dool);
    auto lastLetterFor = [&hanaSees](const QString &id) {
        QString letter;
        for (const QList<QVariant> &args : qAsConst(hanaSees)) {
            const QStringList line = args.at(0).toStringList();
            if (line.value(2) == id) {
                letter = line.value(3);
            }
        }
        return letter;
    };
    QTRY_COMPARE(lastLetterFor(s_dool), QStringLiteral("O"));

    dool->slotChangeStatusAway();
    QTRY_COMPARE(lastLetterFor(s_dool), QStringLiteral("A"));

    QSignalSpy invitation(dool.get(), &ZemvikDPConnection::receivedINVT);
    hana->sendClientPayload(s_dool, QStringLiteral("INVT %1 127.0.0.1 5010 key42\r\n").arg(s_hana));
    QVERIFY(invitation.wait());
    const QStringList words = invitation.first().first().toStringList();
    QCOMPARE(words.value(0), QStringLiteral("INVT"));
    QCOMPARE(words.value(1), s_hana);
    QCOMPARE(words.value(4).trimmed(), QStringLiteral("key42"));

    dool->disconnectFromServer();
    QTRY_COMPARE(lastLetterFor(s_dool), QStringLiteral("F"));
}

void SessionEndToEndTest::secondSignInEndsTheFirst()
{
    std::unique_ptr<ZemvikDPConnection> first = signIn(s_hana);
    QVERIFY(first);
    QSignalSpy killed(first.get(), &ZemvikDPConnection::kill);
    QSignalSpy closed(first.get(), &ZemvikDPConnection::disconnected);

    std::unique_ptr<ZemvikDPConnection> second = signIn(s_hana);
    QVERIFY(second);
    QTRY_COMPARE(killed.size(), 1);
    QTRY_COMPARE(closed.size(), 1); // the service hangs up after the notice
    QVERIFY(!first->isConnected());
    QVERIFY(second->isConnected());
}

void SessionEndToEndTest::signInThroughProxy_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("wantsPassword");

    QTest::newRow("microsocks, SOCKS 5 with user name and password") << QStringLiteral("microsocks") << 1 << true;
    QTest::newRow("microsocks, SOCKS 5 without") << QStringLiteral("microsocks") << 1 << false;
    QTest::newRow("danted, SOCKS 4") << QStringLiteral("danted") << 0 << false;
}

void SessionEndToEndTest::signInThroughProxy()
{
    QFETCH(QString, program);
    QFETCH(int, type);
    QFETCH(bool, wantsPassword);
    if (ProxyProcess::findProgram(program).isEmpty()) {
        QSKIP(qPrintable(ProxyProcess::missingMessage(program)));
    }
    ProxyProcess proxy;
    QVERIFY(proxy.start(program, wantsPassword ? s_proxyUser : QString(), s_proxyPassword));
    QTRY_VERIFY2_WITH_TIMEOUT(proxy.isListening(), qPrintable(proxy.output()), 5000);
    Settings::setUseProxy(true);
    Settings::setProxy(type, QStringLiteral("127.0.0.1"), proxy.port(), wantsPassword ? s_proxyUser : QString(), wantsPassword ? s_proxyPassword : QString());

    std::unique_ptr<ZemvikDPConnection> demo = signIn(s_demo, s_demoPassword);
    QVERIFY2(demo, qPrintable(proxy.output()));
    QCOMPARE(CurrentAccount::instance()->proxyPort, int(proxy.port()));
    BuddyList *buddies = demo->buddyList();
    QCOMPARE(buddies->count(), 11);
    const Buddy *mother = buddies->findByLoginId(QStringLiteral("haeun@zemvik.example"));
    QVERIFY(mother);
    QCOMPARE(mother->nick, QStringLiteral("엄마"));
    const Group *family = demo->groupList()->findGroupByName(QStringLiteral("가족"));
    QVERIFY(family);
    QVERIFY(family->hasMember(mother->handle));

    // The session really runs through the tunnel: without the proxy it is gone.
    QSignalSpy closed(demo.get(), &ZemvikDPConnection::disconnected);
    proxy.stop();
    QVERIFY(closed.wait(5000));
    QVERIFY(!demo->isConnected());
}

void SessionEndToEndTest::refusingProxy()
{
    const QString program = QStringLiteral("microsocks");
    if (ProxyProcess::findProgram(program).isEmpty()) {
        QSKIP(qPrintable(ProxyProcess::missingMessage(program)));
    }
    ProxyProcess proxy;
    QVERIFY(proxy.start(program, s_proxyUser, s_proxyPassword));
    QTRY_VERIFY2_WITH_TIMEOUT(proxy.isListening(), qPrintable(proxy.output()), 5000);
    Settings::setUseProxy(true);
    Settings::setProxy(1, QStringLiteral("127.0.0.1"), proxy.port(), s_proxyUser, QStringLiteral("wrong"));
    const QString message = QStringLiteral("There was a problem connecting to the proxy.");

    CurrentAccount *account = CurrentAccount::instance();
    account->setLoginInfo(s_demo, s_demoPassword);
    ZemvikDPLConnection dispatch;
    dispatch.initialize();
    QSignalSpy answer(&dispatch, &ZemvikDPLConnection::connectDPWithAccount);
    QSignalSpy dispatchError(&dispatch, &ZemvikConnection::proxyError);
    QSignalSpy dispatchClosed(&dispatch, &ZemvikConnection::disconnected);
    QVERIFY(dispatch.connectToServer());
    QVERIFY(dispatchError.wait(5000));
    QCOMPARE(dispatchError.first().first().toString(), message);
    QCOMPARE(dispatchClosed.count(), 1);
    QVERIFY(!dispatch.isConnected());
    QCOMPARE(answer.count(), 0);

    // The session connection, pointed at the session server by hand, does not sign in either.
    account->setServer(m_pService->host(QStringLiteral("session")).toString(), m_pService->port(QStringLiteral("session")));
    ZemvikDPConnection session;
    session.initialize();
    QSignalSpy signedIn(&session, &ZemvikDPConnection::receivedLSIN);
    QSignalSpy connected(&session, &ZemvikDPConnection::connected);
    QSignalSpy sessionError(&session, &ZemvikConnection::proxyError);
    QSignalSpy sessionClosed(&session, &ZemvikConnection::disconnected);
    QVERIFY(session.connectToServer());
    QVERIFY(sessionError.wait(5000));
    QCOMPARE(sessionError.first().first().toString(), message);
    QCOMPARE(sessionClosed.count(), 1);
    QVERIFY(!session.isConnected());
    QCOMPARE(signedIn.count(), 0);
    QCOMPARE(connected.count(), 0);
}

void SessionEndToEndTest::groupSurvivesRestart()
{
    const QString name = QStringLiteral("대학 동기 모임");
    std::unique_ptr<ZemvikDPConnection> hana = signIn(s_hana);
    QVERIFY(hana);
    QVERIFY(!hana->groupList()->findGroupByName(name));
    QSignalSpy added(hana.get(), &ZemvikDPConnection::receivedADDG);
    const int tid = hana->sendAddGroup(name);
    QVERIFY(tid >= 0);
    QVERIFY(added.wait());
    const QStringList line = added.first().first().toStringList();
    QCOMPARE(line.value(1), QString::number(tid));
    QCOMPARE(CommandLine::unescape(line.value(4)), name);
    const QString groupId = line.value(3);
    QVERIFY(!groupId.isEmpty());

    QSignalSpy closed(hana.get(), &ZemvikDPConnection::disconnected);
    QVERIFY2(m_pService->restart(), qPrintable(m_pService->errorOutput()));
    QVERIFY(closed.count() == 1 || closed.wait());
    QVERIFY(!hana->isConnected());
    useService();

    // The same connection signs in again, as the application does, and downloads the lists anew.
    QVERIFY(signInWith(hana.get(), s_hana));
    QCOMPARE(hana->buddyList()->count(), 1);
    QVERIFY(hana->buddyList()->findByLoginId(s_dool));
    QCOMPARE(hana->groupList()->count(), 2);
    const Group *group = hana->groupList()->findGroupById(groupId);
    QVERIFY(group);
    QCOMPARE(group->itemName(), name);
    QCOMPARE(hana->groupListVersion(), line.value(2).toInt());
}

void SessionEndToEndTest::nickReachesBuddy_data()
{
    QTest::addColumn<QString>("nick");
    QTest::newRow("three words") << QStringLiteral("하나 의 별명");
    QTest::newRow("two blanks in a row") << QStringLiteral("하나  Hana");
    QTest::newRow("Latin and signs") << QStringLiteral("Hana (회의 중) :)");
}

void SessionEndToEndTest::nickReachesBuddy()
{
    QFETCH(QString, nick);
    std::unique_ptr<ZemvikDPConnection> dool = signIn(s_dool);
    QVERIFY(dool);
    std::unique_ptr<ZemvikDPConnection> hana = signIn(s_hana);
    QVERIFY(hana);
    QSignalSpy changed(dool.get(), &ZemvikDPConnection::receivedNNIK);

    hana->slotChangeNick(nick);
    QVERIFY(changed.wait());
    const QStringList line = changed.first().first().toStringList();
    QCOMPARE(line.size(), 4);
    QCOMPARE(line.at(2), s_hana);
    QCOMPARE(CommandLine::unescape(line.at(3)), nick);

    // It is kept: the buddy's next sign-in lists it.
    dool = signIn(s_dool);
    QVERIFY(dool);
    const Buddy *buddy = dool->buddyList()->findByLoginId(s_hana);
    QVERIFY(buddy);
    QCOMPARE(buddy->nick, nick);
}

// A refused connection is over: the client reported it closed, so it must not come back by
// itself and sign in once the service is there after all.
void SessionEndToEndTest::refusedConnectionStaysClosed()
{
    const quint16 port = ProxyProcess::freePort();
    CurrentAccount::instance()->setLoginInfo(s_hana, s_password);
    ZemvikDPLConnection dispatch;
    dispatch.initialize();
    dispatch.setTimings(200, 100, ZemvikConnection::DefaultPingInterval, ZemvikConnection::DefaultPingRetryInterval);
    QSignalSpy answer(&dispatch, &ZemvikDPLConnection::connectDPWithAccount);
    QSignalSpy closed(&dispatch, &ZemvikConnection::disconnected);
    QVERIFY(dispatch.connectToServer(QStringLiteral("127.0.0.1"), port));
    QVERIFY(closed.wait(5000));

    m_pService->setExtraArguments({QStringLiteral("--dispatch-port"), QString::number(port)});
    QVERIFY2(m_pService->restart(), qPrintable(m_pService->errorOutput()));
    QCOMPARE(m_pService->port(QStringLiteral("dispatch")), port);
    // Well past the 200 ms time-out and the 100 ms retry, had either stayed scheduled.
    const bool answered = QTest::qWaitFor(
        [&answer] {
            return answer.count() > 0;
        },
        1000);
    for (const QList<QVariant> &args : qAsConst(answer)) {
        delete args.first().value<Account *>();
    }
    QVERIFY(!answered);
    QCOMPARE(closed.count(), 1);
    QVERIFY(!dispatch.isConnected());
}

QTEST_GUILESS_MAIN(SessionEndToEndTest)
#include "sessionendtoendtest.moc"
