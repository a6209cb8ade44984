// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "dispatchserver.h"
#include "localservice.h"
#include "rawclient.h"
#include "sessionserver.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace
{
const QString s_demo = QStringLiteral("demo@zemvik.example");
const QString s_password = QStringLiteral("demo1234");
const QString s_alice = QStringLiteral("alice@zemvik.example");
const QString s_bob = QStringLiteral("bob@zemvik.example");
}

class SessionServerTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void dispatchHandshake();
    void signIn_data();
    void signIn();
    void commandsBeforeSignInAreRefused();
    void demoListLines();
    void emptyListStillEnds();
    void presence();
    void secondSignInKillsTheFirst();
    void clientMessagesAreRouted();
    void memoForOfflineMemberArrivesAtSignIn();
    void buddyRequestAccepted();
    void buddyRequestRejected();
    void groupEditsSurviveRestart();
    void membershipEdits();
    void nickChangeReachesBuddies();
    void switchboardTickets();
    void profileLinkAndPrivacy();
    void garbageNeverCrashes_data();
    void garbageNeverCrashes();
    void overlongLineClosesOnlyThatConnection();

private:
    void startService();
    std::unique_ptr<RawClient> connectClient();
    std::unique_ptr<RawClient> signedIn(const QString &id, const QString &password = QStringLiteral("pw"), const QString &status = QStringLiteral("O"));

    std::unique_ptr<QTemporaryDir> m_pDir;
    std::unique_ptr<LocalService> m_pService;
};

void SessionServerTest::init()
{
    m_pDir = std::make_unique<QTemporaryDir>();
    startService();
    ServiceStore *store = m_pService->store();
    QVERIFY(store->addAccount(s_alice, QStringLiteral("pw"), QStringLiteral("앨리스"), QStringLiteral("앨리")));
    QVERIFY(store->addAccount(s_bob, QStringLiteral("pw"), QStringLiteral("밥"), QString()));
    QVERIFY(store->linkBuddies(s_alice, s_bob, QStringLiteral("친구")));
}

void SessionServerTest::cleanup()
{
    m_pService.reset();
    m_pDir.reset();
}

void SessionServerTest::startService()
{
    m_pService = std::make_unique<LocalService>();
    LocalService::Options options;
    options.dataDirectory = m_pDir->path();
    options.dispatchPort = 0;
    options.webPort = 0;
    options.bots = false;
    QVERIFY2(m_pService->start(options), qPrintable(m_pService->errorString()));
}

std::unique_ptr<RawClient> SessionServerTest::connectClient()
{
    auto client = std::make_unique<RawClient>();
    if (!client->connectTo(QHostAddress::LocalHost, m_pService->sessionServer()->port())) {
        return nullptr;
    }
    return client;
}

std::unique_ptr<RawClient> SessionServerTest::signedIn(const QString &id, const QString &password, const QString &status)
{
    auto client = connectClient();
    if (!client || !client->signInFully(id, password, status)) {
        return nullptr;
    }
    client->clear();
    return client;
}

void SessionServerTest::dispatchHandshake()
{
    RawClient client;
    QVERIFY(client.connectTo(QHostAddress::LocalHost, m_pService->dispatchServer()->port()));
    client.send(QStringLiteral("PVER 0 3.871 3.0\r\nAUTH 1 DES\r\nREQS 2 DES %1\r\n").arg(s_demo).toUtf8());
    RawClient::Frame f;
    QVERIFY(client.waitFor(QStringLiteral("PVER 0")));
    QVERIFY(client.waitFor(QStringLiteral("AUTH 1")));
    QVERIFY(client.waitFor(QStringLiteral("REQS 2 "), &f));
    QCOMPARE(f.fields.size(), 5);
    QCOMPARE(f.fields.at(3), QStringLiteral("127.0.0.1"));
    QCOMPARE(f.fields.at(4).toUShort(), m_pService->sessionServer()->port());
}

void SessionServerTest::signIn_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("answer");

    QTest::newRow("demo user") << s_demo << s_password << QStringLiteral("LSIN");
    QTest::newRow("upper-case name part") << QStringLiteral("DEMO@zemvik.example") << s_password << QStringLiteral("LSIN");
    QTest::newRow("unknown ID") << QStringLiteral("nobody@zemvik.example") << s_password << QStringLiteral("300");
    QTest::newRow("wrong password") << s_demo << QStringLiteral("demo12345") << QStringLiteral("301");
}

void SessionServerTest::signIn()
{
    QFETCH(QString, id);
    QFETCH(QString, password);
    QFETCH(QString, answer);

    auto client = connectClient();
    QVERIFY(client);
    const QStringList f = client->signIn(id, password);
    QCOMPARE(RawClient::field(f, 0), answer);
    QCOMPARE(RawClient::field(f, 1), QStringLiteral("0"));
    if (answer != QLatin1String("LSIN")) {
        QCOMPARE(f.size(), 2);
        return;
    }
    QCOMPARE(f.size(), 18);
    const StoredAccount demo = m_pService->store()->account(s_demo);
    QCOMPARE(f.at(2), QString::number(demo.cmn));
    QCOMPARE(f.at(3), QStringLiteral("김데모"));
    QCOMPARE(f.at(4), QStringLiteral("데모%20사용자"));
    QCOMPARE(f.at(7).size(), 32); // ticket
    QCOMPARE(f.at(8), QStringLiteral("%00"));
    QCOMPARE(f.at(12), QStringLiteral("N"));
    QCOMPARE(f.at(14), s_demo); // the stored spelling
    QCOMPARE(f.at(15), QStringLiteral("%00"));
    QCOMPARE(m_pService->sessionServer()->userIdForTicket(f.at(7)), s_demo);
}

void SessionServerTest::commandsBeforeSignInAreRefused()
{
    auto client = connectClient();
    QVERIFY(client);
    client->send("GLST 0 0\r\nONST 1 O 0 %00 1\r\nCTOC 2 bob@zemvik.example N 4\r\nINVT");
    QVERIFY(client->waitFor(QStringLiteral("202 0")));
    QVERIFY(client->waitFor(QStringLiteral("202 1")));
    QVERIFY(client->waitFor(QStringLiteral("202 2")));
    QVERIFY(client->isConnected());
}

void SessionServerTest::demoListLines()
{
    auto client = connectClient();
    QVERIFY(client);
    QVERIFY(client->signInFully(s_demo, s_password, QString()));

    const QList<RawClient::Frame> glst = client->framesOf(QStringLiteral("GLST"));
    QVERIFY(glst.size() > 1);
    QCOMPARE(glst.first().fields.size(), 3); // the version line comes first
    QStringList groupNames;
    QSet<QString> groupIds;
    for (int i = 1; i < glst.size(); ++i) {
        const QStringList &f = glst.at(i).fields;
        QCOMPARE(f.at(2).toInt(), i - 1);
        QCOMPARE(f.at(3).toInt(), glst.size() - 1);
        QVERIFY2(f.size() == 8 || f.size() == 7, qPrintable(glst.at(i).line));
        if (f.size() == 8) {
            groupIds.insert(f.at(5));
            groupNames.append(f.at(6));
        } else {
            QVERIFY2(groupIds.contains(f.at(6)), qPrintable(glst.at(i).line));
        }
    }
    QVERIFY(groupIds.contains(QStringLiteral("0")));
    for (const QString &name : {QStringLiteral("가족"), QStringLiteral("Zeta"), QStringLiteral("Alpha"), QStringLiteral("기타")}) {
        QVERIFY2(groupNames.contains(name), qPrintable(name));
    }

    const QList<RawClient::Frame> list = client->framesOf(QStringLiteral("LIST"));
    QHash<QString, QString> flagsById;
    for (int i = 0; i < list.size(); ++i) {
        const QStringList &f = list.at(i).fields;
        QVERIFY2(f.size() > 18, qPrintable(list.at(i).line));
        QCOMPARE(f.at(2).toInt(), i);
        QCOMPARE(f.at(3).toInt(), list.size());
        QCOMPARE(f.at(4).size(), 4);
        flagsById.insert(f.at(5), f.at(4));
    }
    QCOMPARE(flagsById.value(QStringLiteral("nari@zemvik.example")), QStringLiteral("0001")); // a pending request
    QCOMPARE(flagsById.value(QStringLiteral("gildong@zemvik.example")), QStringLiteral("1011")); // blocked
    QCOMPARE(flagsById.value(QStringLiteral("haeun@zemvik.example")), QStringLiteral("1101"));
    // Nobody is online without the bots.
    QVERIFY(client->framesOf(QStringLiteral("INFY")).isEmpty());
}

void SessionServerTest::emptyListStillEnds()
{
    QVERIFY(m_pService->store()->addAccount(QStringLiteral("loner@zemvik.example"), QStringLiteral("pw"), QStringLiteral("혼자"), QString()));
    auto client = connectClient();
    QVERIFY(client);
    QVERIFY(client->signInFully(QStringLiteral("loner@zemvik.example"), QStringLiteral("pw"), QString()));
    const QList<RawClient::Frame> glst = client->framesOf(QStringLiteral("GLST"));
    QCOMPARE(glst.size(), 2);
    QCOMPARE(glst.at(1).line, QStringLiteral("GLST 2 0 1 G 0 기타 Y"));
    const QList<RawClient::Frame> list = client->framesOf(QStringLiteral("LIST"));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.first().line, QStringLiteral("LIST 3 0 1"));
}

void SessionServerTest::presence()
{
    auto alice = signedIn(s_alice);
    QVERIFY(alice);

    // Bob signs in: Alice, already online, is in his INFY lines; Alice hears nothing before his ONST.
    auto bob = connectClient();
    QVERIFY(bob);
    QVERIFY(bob->signInFully(s_bob, QStringLiteral("pw"), QString()));
    RawClient::Frame f;
    QVERIFY(bob->waitFor(QStringLiteral("INFY 0 ") + s_alice, &f));
    QCOMPARE(f.fields.at(3), QStringLiteral("O"));
    QVERIFY(!alice->hasReceived(QStringLiteral("NTFY")));

    bob->send("ONST 5 B 0 %00 1\r\n");
    QVERIFY(alice->waitFor(QStringLiteral("NTFY 0 ") + s_bob + QStringLiteral(" B"), &f));
    QCOMPARE(f.fields.at(4), QString::number(m_pService->store()->account(s_bob).cmn));

    // Appearing offline shows as offline.
    bob->send("ONST 6 F 0 %00 1\r\n");
    QVERIFY(alice->waitFor(QStringLiteral("NTFY 0 ") + s_bob + QStringLiteral(" F")));
    bob->send("ONST 7 A 0 %00 1\r\n");
    QVERIFY(alice->waitFor(QStringLiteral("NTFY 0 ") + s_bob + QStringLiteral(" A")));

    // Bob blocks Alice: she sees him offline, and his status changes no longer reach her.
    const QString aliceCmn = QString::number(m_pService->store()->account(s_alice).cmn);
    bob->send(QStringLiteral("ADDB 8 BL %1 %2\r\n").arg(aliceCmn, s_alice).toUtf8());
    QVERIFY(bob->waitFor(QStringLiteral("ADDB 8 BL")));
    QVERIFY(alice->waitFor(QStringLiteral("NTFY 0 ") + s_bob + QStringLiteral(" F")));
    bob->send("ONST 9 O 0 %00 1\r\n");
    QVERIFY(!alice->hasReceived(QStringLiteral("NTFY")));
    // Bob still sees Alice.
    alice->send("ONST 5 M 0 %00 1\r\n");
    QVERIFY(bob->waitFor(QStringLiteral("NTFY 0 ") + s_alice + QStringLiteral(" M")));

    // A blocked watcher signing in again gets no INFY for the blocker.
    alice.reset();
    QVERIFY(bob->waitFor(QStringLiteral("NTFY 0 ") + s_alice + QStringLiteral(" F")));
    alice = connectClient();
    QVERIFY(alice->signInFully(s_alice, QStringLiteral("pw")));
    QVERIFY(alice->framesOf(QStringLiteral("INFY")).isEmpty());
    alice->clear();

    // Unblocking shows Bob's real status again.
    bob->send("RMVB 10 BL %00 " + s_alice.toUtf8() + "\r\n");
    QVERIFY(alice->waitFor(QStringLiteral("NTFY 0 ") + s_bob + QStringLiteral(" O")));

    // Signing out and dropping the connection both read as offline.
    bob->send("LOUT\r\n");
    QVERIFY(alice->waitFor(QStringLiteral("NTFY 0 ") + s_bob + QStringLiteral(" F")));
    QVERIFY(bob->waitForDisconnected());
}

void SessionServerTest::secondSignInKillsTheFirst()
{
    auto first = signedIn(s_alice);
    QVERIFY(first);
    auto bob = signedIn(s_bob);
    QVERIFY(bob);
    auto second = signedIn(s_alice);
    QVERIFY(second);
    QVERIFY(first->waitFor(QStringLiteral("KILL 0")));
    QVERIFY(first->waitForDisconnected());
    // The new session is the one that counts: it still reaches Bob.
    second->send("ONST 9 B 0 %00 1\r\n");
    QVERIFY(bob->waitFor(QStringLiteral("NTFY 0 ") + s_alice + QStringLiteral(" B")));
    QVERIFY(second->isConnected());
}

void SessionServerTest::clientMessagesAreRouted()
{
    auto alice = signedIn(s_alice);
    auto bob = signedIn(s_bob);
    QVERIFY(alice && bob);
    const QByteArray payload = "INVT alice@zemvik.example 127.0.0.1 5005 키\r\n";
    alice->send(QStringLiteral("CTOC 7 %1 N %2\r\n").arg(s_bob).arg(payload.size()).toUtf8() + payload);
    RawClient::Frame f;
    QVERIFY(bob->waitFor(QStringLiteral("CTOC 0 "), &f));
    QCOMPARE(f.fields, (QStringList{QStringLiteral("CTOC"), QStringLiteral("0"), s_alice, QString::number(payload.size())}));
    QCOMPARE(f.payload, payload);

    // Nobody else gets it, and a recipient that is not online is an error for the sender.
    bob->send("CTOC 3 demo@zemvik.example N 4\r\nINCK");
    QVERIFY(bob->waitFor(QStringLiteral("217 3")));
    QVERIFY(!alice->hasReceived(QStringLiteral("CTOC")));
}

void SessionServerTest::memoForOfflineMemberArrivesAtSignIn()
{
    auto alice = signedIn(s_alice);
    QVERIFY(alice);
    const QByteArray memo = QStringLiteral("IMSG\r\ntitle:안녕\r\nfrom:alice@zemvik.example\r\n\r\n안녕\r\n").toUtf8();
    const QByteArray payload = s_bob.toUtf8() + "\r\n" + memo;
    alice->send(QStringLiteral("CMSG 5 N %1\r\n").arg(payload.size()).toUtf8() + payload);
    QVERIFY(alice->waitFor(QStringLiteral("CMSG 5")));

    auto bob = connectClient();
    QVERIFY(bob->signInFully(s_bob, QStringLiteral("pw"), QString()));
    RawClient::Frame f;
    QVERIFY(bob->waitFor(QStringLiteral("CTOC 0 ") + s_alice, &f));
    QCOMPARE(f.payload, memo);

    // Delivered once: the next sign-in has none.
    bob.reset();
    bob = connectClient();
    QVERIFY(bob->signInFully(s_bob, QStringLiteral("pw"), QString()));
    QVERIFY(!bob->hasReceived(QStringLiteral("CTOC")));
}

void SessionServerTest::buddyRequestAccepted()
{
    ServiceStore *store = m_pService->store();
    QVERIFY(store->addAccount(QStringLiteral("carol@zemvik.example"), QStringLiteral("pw"), QStringLiteral("캐롤"), QString()));
    const StoredAccount carol = store->account(QStringLiteral("carol@zemvik.example"));
    const StoredAccount alice = store->account(s_alice);
    auto a = signedIn(s_alice);
    auto c = signedIn(carol.loginId, QStringLiteral("pw"), QStringLiteral("B"));
    QVERIFY(a && c);

    a->send("ADSB 12 REQST %00 carol@zemvik.example 0 안녕%20캐롤\r\n");
    RawClient::Frame f;
    QVERIFY(a->waitFor(QStringLiteral("ADSB 12 REQST "), &f));
    QCOMPARE(f.fields.mid(3, 2), (QStringList{QString::number(carol.cmn), QStringLiteral("캐롤")}));
    QVERIFY(c->waitFor(QStringLiteral("ADDB 0 RL "), &f));
    QCOMPARE(f.fields.mid(3), (QStringList{QString::number(alice.cmn), s_alice, QStringLiteral("안녕%20캐롤")}));
    // The requester has Carol on her list and sees her.
    QVERIFY(a->waitFor(QStringLiteral("NTFY 0 carol@zemvik.example B")));
    QCOMPARE(store->entry(carol.cmn, alice.cmn).flagText(), QStringLiteral("0001"));

    c->send(QStringLiteral("ADSB 4 ACCPT %1 %2 0 ").arg(alice.cmn).arg(s_alice).toUtf8() + "%00 \r\n");
    QVERIFY(c->waitFor(QStringLiteral("ADSB 4 ACCPT ") + QString::number(alice.cmn), &f));
    QVERIFY(a->waitFor(QStringLiteral("ADSB 0 ACCPT ") + QString::number(carol.cmn)));
    QVERIFY(a->waitFor(QStringLiteral("ADDB 0 RL ") + QString::number(carol.cmn)));
    QVERIFY(c->waitFor(QStringLiteral("NTFY 0 ") + s_alice + QStringLiteral(" O")));
    QCOMPARE(store->entry(carol.cmn, alice.cmn).flagText(), QStringLiteral("1101"));
    QCOMPARE(store->entry(alice.cmn, carol.cmn).flagText(), QStringLiteral("1101"));

    // Unknown members cannot be requested.
    a->send("ADSB 13 REQST %00 ghost@zemvik.example 0 %00\r\n");
    QVERIFY(a->waitFor(QStringLiteral("304 13")));
}

void SessionServerTest::buddyRequestRejected()
{
    ServiceStore *store = m_pService->store();
    QVERIFY(store->addAccount(QStringLiteral("carol@zemvik.example"), QStringLiteral("pw"), QStringLiteral("캐롤"), QString()));
    const StoredAccount carol = store->account(QStringLiteral("carol@zemvik.example"));
    const StoredAccount alice = store->account(s_alice);
    auto a = signedIn(s_alice);
    auto c = signedIn(carol.loginId);
    QVERIFY(a && c);
    a->send("ADDB 3 FL %00 carol@zemvik.example 0\r\n");
    QVERIFY(a->waitFor(QStringLiteral("ADDB 3 FL ") + QString::number(carol.cmn)));
    QVERIFY(c->waitFor(QStringLiteral("ADDB 0 RL ") + QString::number(alice.cmn)));

    c->send(QStringLiteral("ADSB 4 REJCT %1 %2 0 ").arg(alice.cmn).arg(s_alice).toUtf8() + "%00 \r\n");
    QVERIFY(c->waitFor(QStringLiteral("ADSB 4 REJCT")));
    QVERIFY(a->waitFor(QStringLiteral("ADSB 0 REJCT ") + QString::number(carol.cmn)));
    // Declined means gone on both sides: Carol is not asked again.
    QVERIFY(store->entry(carol.cmn, alice.cmn).isEmpty());
    QVERIFY(store->entry(alice.cmn, carol.cmn).isEmpty());
}

void SessionServerTest::groupEditsSurviveRestart()
{
    auto alice = signedIn(s_alice);
    QVERIFY(alice);
    alice->send("ADDG 5 0 새 그룹\r\n");
    RawClient::Frame f;
    QVERIFY(alice->waitFor(QStringLiteral("ADDG 5 "), &f));
    QCOMPARE(f.fields.size(), 5);
    const int version = f.fields.at(2).toInt();
    const QString id = f.fields.at(3);
    QCOMPARE(f.fields.at(4), QStringLiteral("새%20그룹"));
    alice->send(QStringLiteral("RENG 6 %1 %2 Zeta Team\r\n").arg(version).arg(id).toUtf8());
    QVERIFY(alice->waitFor(QStringLiteral("RENG 6 %1 %2 Zeta%20Team").arg(version + 1).arg(id)));
    alice->send("ADDG 7 0 지울 그룹\r\n");
    QVERIFY(alice->waitFor(QStringLiteral("ADDG 7 "), &f));
    alice->send(QStringLiteral("RMVG 8 %1 %2\r\n").arg(version + 2).arg(f.fields.at(3)).toUtf8());
    QVERIFY(alice->waitFor(QStringLiteral("RMVG 8 %1 %2").arg(version + 3).arg(f.fields.at(3))));
    // The default group stays, and so do unknown groups' absence.
    alice->send("RMVG 9 0 0\r\nRMVG 10 0 999\r\nADDG 11 0 %00\r\n");
    QVERIFY(alice->waitFor(QStringLiteral("201 9")));
    QVERIFY(alice->waitFor(QStringLiteral("201 10")));
    QVERIFY(alice->waitFor(QStringLiteral("201 11")));

    alice.reset();
    m_pService.reset();
    startService();
    auto again = connectClient();
    QVERIFY(again->signInFully(s_alice, QStringLiteral("pw")));
    const QList<RawClient::Frame> glst = again->framesOf(QStringLiteral("GLST"));
    QCOMPARE(glst.first().fields.at(2).toInt(), version + 3);
    QStringList names;
    for (const RawClient::Frame &g : glst) {
        if (g.fields.size() == 8) {
            names << g.fields.at(6);
        }
    }
    QCOMPARE(names, (QStringList{QStringLiteral("기타"), QStringLiteral("친구"), QStringLiteral("Zeta%20Team")}));
}

void SessionServerTest::membershipEdits()
{
    ServiceStore *store = m_pService->store();
    const StoredAccount alice = store->account(s_alice);
    const StoredAccount bob = store->account(s_bob);
    const int friends = store->groupIdByName(alice.cmn, QStringLiteral("친구"));
    auto a = signedIn(s_alice);
    QVERIFY(a);
    auto send = [&](const QString &command, int tid, const QString &payload) {
        a->send(QStringLiteral("%1 %2 0 %3\r\n").arg(command).arg(tid).arg(payload.toUtf8().size()).toUtf8() + payload.toUtf8());
    };
    send(QStringLiteral("CPBG"), 3, QStringLiteral("0 %1 %2 %3 0\r\n").arg(bob.cmn).arg(s_bob).arg(friends));
    QVERIFY(a->waitFor(QStringLiteral("CPBG 3")));
    QCOMPARE(store->memberships(alice.cmn).size(), 2);
    send(QStringLiteral("RMBG"), 4, QStringLiteral("0 %1 %2 %3\r\n").arg(bob.cmn).arg(s_bob).arg(friends));
    QVERIFY(a->waitFor(QStringLiteral("RMBG 4")));
    send(QStringLiteral("MVBG"), 5, QStringLiteral("0 %1 %2 0 %3\r\n").arg(bob.cmn).arg(s_bob).arg(friends));
    QVERIFY(a->waitFor(QStringLiteral("MVBG 5")));
    const QList<StoredMembership> members = store->memberships(alice.cmn);
    QCOMPARE(members.size(), 1);
    QCOMPARE(members.first().groupId, friends);

    // An entry naming somebody who is not my buddy spoils the whole edit.
    const StoredAccount demo = store->account(s_demo);
    send(QStringLiteral("MVBG"), 6, QStringLiteral("0 %1 %2 %3 0\r\n1 %4 %5 0 %3\r\n").arg(bob.cmn).arg(s_bob).arg(friends).arg(demo.cmn).arg(s_demo));
    QVERIFY(a->waitFor(QStringLiteral("201 6")));
    QCOMPARE(store->memberships(alice.cmn).first().groupId, friends);
}

void SessionServerTest::nickChangeReachesBuddies()
{
    auto alice = signedIn(s_alice);
    auto bob = signedIn(s_bob);
    QVERIFY(alice && bob);
    alice->send("CNIK 8 오늘은%20맑음\r\n");
    QVERIFY(alice->waitFor(QStringLiteral("CNIK 8 오늘은%20맑음")));
    QVERIFY(bob->waitFor(QStringLiteral("NNIK 0 alice@zemvik.example 오늘은%20맑음")));
    QCOMPARE(m_pService->store()->account(s_alice).nick, QStringLiteral("오늘은 맑음"));
}

void SessionServerTest::switchboardTickets()
{
    auto alice = signedIn(s_alice);
    QVERIFY(alice);
    alice->send("RESS 3\r\n");
    QVERIFY(alice->waitFor(QStringLiteral("500 3")));
    QString askedFor;
    m_pService->sessionServer()->setSwitchboardProvider([&askedFor](const QString &userId) {
        askedFor = userId;
        return SwitchboardTicket{QStringLiteral("127.0.0.1"), 4242, QStringLiteral("k3y")};
    });
    alice->send("RESS 4\r\n");
    QVERIFY(alice->waitFor(QStringLiteral("RESS 4 127.0.0.1 4242 k3y")));
    QCOMPARE(askedFor, s_alice);
}

void SessionServerTest::profileLinkAndPrivacy()
{
    ServiceStore *store = m_pService->store();
    QVERIFY(store->addAccount(QStringLiteral("alice@mavrelo.example"), QStringLiteral("mv-pw"), QStringLiteral("앨리스"), QString()));
    const StoredAccount linked = store->account(QStringLiteral("alice@mavrelo.example"));
    auto alice = signedIn(s_alice);
    QVERIFY(alice);
    auto cprf = [&](int tid, const QString &line) {
        const QByteArray payload = line.toUtf8() + "\r\n";
        alice->send(QStringLiteral("CPRF %1 %2\r\n").arg(tid).arg(payload.size()).toUtf8() + payload);
    };
    RawClient::Frame f;
    cprf(3, QStringLiteral("mavrelo_id=alice@mavrelo.example&mavrelo_pw2=") + SignInDigest::linkDigest(QStringLiteral("wrong"), linked.loginId));
    QVERIFY(alice->waitFor(QStringLiteral("301 3")));
    cprf(4, QStringLiteral("mavrelo_id=alice@mavrelo.example&mavrelo_pw2=") + SignInDigest::linkDigest(QStringLiteral("mv-pw"), linked.loginId));
    QVERIFY(alice->waitFor(QStringLiteral("CPRF 4 "), &f));
    QCOMPARE(f.fields.size(), 9);
    QCOMPARE(f.fields.at(8), QString::number(linked.cmn));
    cprf(5, QStringLiteral("mavrelo_id="));
    QVERIFY(alice->waitFor(QStringLiteral("CPRF 5 "), &f));
    QCOMPARE(f.fields.at(8), QStringLiteral("%00"));

    // Memos only from buddies: the demo user's memo to Alice is dropped, Bob's arrives.
    cprf(6, QStringLiteral("allow_buddy_only=Y"));
    QVERIFY(alice->waitFor(QStringLiteral("CPRF 6 ")));
    const QByteArray memo = "IMSG\r\ntitle:hi\r\n\r\nhi\r\n";
    const QByteArray payload = s_alice.toUtf8() + "\r\n" + memo;
    const QByteArray cmsg = QStringLiteral("CMSG 2 N %1\r\n").arg(payload.size()).toUtf8() + payload;
    auto demo = signedIn(s_demo, s_password);
    QVERIFY(demo);
    demo->send(cmsg);
    QVERIFY(demo->waitFor(QStringLiteral("CMSG 2")));
    auto bob = signedIn(s_bob);
    QVERIFY(bob);
    bob->send(cmsg);
    QVERIFY(alice->waitFor(QStringLiteral("CTOC 0 "), &f));
    QCOMPARE(f.fields.at(2), s_bob);
    QVERIFY(!alice->hasReceived(QStringLiteral("CTOC")));
}

void SessionServerTest::garbageNeverCrashes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty lines") << QByteArray("\r\n\r\n   \r\n");
    QTest::newRow("words only") << QByteArray("LSIN\r\nADDB\r\nGLST x\r\n");
    QTest::newRow("no transaction number") << QByteArray("ONST O\r\nADDG grp\r\n");
    QTest::newRow("short commands") << QByteArray("ADDB 1\r\nRMVB 2 FL\r\nADSB 3\r\nRENG 4 1\r\nRMVG 5\r\nONST 6\r\nCNIK 7\r\n");
    QTest::newRow("bad lists") << QByteArray("ADDB 1 XL 1 x@y\r\nADDB 2 RL %00 bob@zemvik.example\r\nRMVB 3 BL %00 alice@zemvik.example\r\n");
    QTest::newRow("bad payloads") << QByteArray("RMBG 1 0 5\r\nhello")
                                         + QByteArray("MVBG 2 0 7\r\n0 x y z")
                                         + QByteArray("CPRF 3 4\r\n====")
                                         + QByteArray("CMSG 4 N 6\r\nIMSG\r\n");
    QTest::newRow("binary") << QByteArray("\x01\x02\xff\xfe \x00\x80\r\n", 9);
    QTest::newRow("second LSIN") << QByteArray("LSIN 9 bob@zemvik.example x\r\n");
    QTest::newRow("huge numbers") << QByteArray("RMVG 99999999999999999999 1 1\r\nONST 4294967296 O\r\n");
}

void SessionServerTest::garbageNeverCrashes()
{
    QFETCH(QByteArray, bytes);
    auto alice = signedIn(s_alice);
    QVERIFY(alice);
    alice->send(bytes);
    alice->send("PONG 0\r\n");
    QVERIFY(alice->waitFor(QStringLiteral("PONG 0")));
    QVERIFY(alice->isConnected());
    // Alice still only acts for herself.
    QCOMPARE(m_pService->sessionServer()->status(m_pService->store()->account(s_bob).cmn), QStringLiteral("F"));
    QVERIFY(!m_pService->store()->entry(m_pService->store()->account(s_alice).cmn, m_pService->store()->account(s_bob).cmn).bl);
}

void SessionServerTest::overlongLineClosesOnlyThatConnection()
{
    auto alice = signedIn(s_alice);
    QVERIFY(alice);
    alice->send(QByteArray(CommandLine::MaxLineLength + 10, 'A'));
    QVERIFY(alice->waitForDisconnected());
    auto other = connectClient();
    QVERIFY(other);
    other->send(QStringLiteral("CTOC 1 x N %1\r\n").arg(CommandLine::MaxPayloadLength + 1).toUtf8());
    QVERIFY(other->waitForDisconnected());
    // A payload command without a length cannot be framed either.
    auto third = connectClient();
    QVERIFY(third);
    third->send("CTOC\r\nPONG 0\r\n");
    QVERIFY(third->waitForDisconnected());
    QVERIFY(signedIn(s_bob));
}

QTEST_GUILESS_MAIN(SessionServerTest)
#include "sessionservertest.moc"
