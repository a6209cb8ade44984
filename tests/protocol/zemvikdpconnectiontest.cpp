// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "account.h"
#include "buddy.h"
#include "buddylist.h"
#include "group.h"
#include "grouplist.h"
#include "mimemessage.h"
#include "scriptedserver.h"
#include "settings.h"
#include "ssconnection.h"
#include "zemvikdpconnection.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace
{
const QByteArray s_signInAnswer = "LSIN 0 7001 Kim%20Ha %00 t5 t6 TICKET8 %00 9 t10 t11 N t13 kim@zemvik.example %00 Y N\r\n";
// Version line, two groups, two memberships (the second names a group that does not exist).
const QByteArray s_groups = "GLST 2 5\r\n"
                            "GLST 2 0 4 G 0 Default%20Group 0\r\n"
                            "GLST 2 1 4 G 1 친구%20들 0\r\n"
                            "GLST 2 2 4 M 1001 1\r\n"
                            "GLST 2 3 4 M 1002 9\r\n";
const QByteArray s_buddies = "LIST 3 0 3 1011 lee@zemvik.example 1001 Lee%20Min %00 a b 20250102 kv 5 x lee@mv 20240101 Y z\r\n"
                             "LIST 3 1 3 0001 park@zemvik.example 1002 Park Pak%20Pak a b x kv 5 x %00 x N z\r\n"
                             "LIST 3 2 3 1100 choi@zemvik.example 1003 Choi %00 a b x %25 5 x %00 x N z\r\n";

QString flagsOf(const Buddy *buddy)
{
    return QString::fromLatin1(buddy->onForwardList ? "F" : "-") + QLatin1String(buddy->onAllowList ? "A" : "-") + QLatin1String(buddy->blocked ? "B" : "-")
        + QLatin1String(buddy->onReverseList ? "R" : "-");
}
}

class ZemvikDPConnectionTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void signInSequence();
    void digest_data();
    void digest();
    void pingAndPack();
    void listChanges_data();
    void listChanges();
    void buddyRequestAnswers();
    void outboundCommands();
    void fileRequest_data();
    void fileRequest();
    void switchboardAndPresence();
    void shortLinesIgnored_data();
    void shortLinesIgnored();
    void newDownloadStartsClean();

private:
    //! Connects and runs the scripted sign-in up to connected().
    bool signIn();

    ScriptedServer *m_pServer = nullptr;
    ZemvikDPConnection *m_pConnection = nullptr;
};

void ZemvikDPConnectionTest::initTestCase()
{
    qRegisterMetaType<Buddy *>();
    qRegisterMetaType<SSConnection *>();
    QStandardPaths::setTestModeEnabled(true);
    Settings::reset();
    Settings::setUseProxy(false);
}

void ZemvikDPConnectionTest::init()
{
    CurrentAccount::destroyInstance();
    CurrentAccount::instance()->setLoginInfo(QStringLiteral("kim@zemvik.example"), QStringLiteral("pw"));
    m_pServer = new ScriptedServer;
    m_pConnection = new ZemvikDPConnection;
    QVERIFY(m_pConnection->initialize());
    CurrentAccount::instance()->setServer(QStringLiteral("127.0.0.1"), m_pServer->port());
}

void ZemvikDPConnectionTest::cleanup()
{
    delete m_pConnection;
    m_pConnection = nullptr;
    delete m_pServer;
    m_pServer = nullptr;
}

bool ZemvikDPConnectionTest::signIn()
{
    m_pServer->onLine = [this](const QString &line) {
        if (line.startsWith(QLatin1String("LSIN"))) {
            m_pServer->send(s_signInAnswer);
        } else if (line.startsWith(QLatin1String("CONF"))) {
            m_pServer->send("CONF 1 5\r\nA=1\r\n");
        } else if (line.startsWith(QLatin1String("GLST"))) {
            m_pServer->send(s_groups);
        } else if (line.startsWith(QLatin1String("LIST"))) {
            m_pServer->send(s_buddies);
        }
    };
    QSignalSpy connected(m_pConnection, &ZemvikDPConnection::connected);
    if (!m_pConnection->connectToServer() || !connected.wait(5000)) {
        return false;
    }
    m_pServer->onLine = nullptr;
    return QTest::qWaitFor([this] {
        return m_pServer->lines().contains(QStringLiteral("PONG 0"));
    });
}

void ZemvikDPConnectionTest::signInSequence()
{
    QSignalSpy lsin(m_pConnection, &ZemvikDPConnection::receivedLSIN);
    QSignalSpy queue(m_pConnection, &ZemvikDPConnection::addCommandQueue);
    QSignalSpy status(m_pConnection, &ZemvikDPConnection::updateStatusText);
    QVERIFY(signIn());

    const QString digest = QString::fromLatin1(QCryptographicHash::hash("pwkim", QCryptographicHash::Md5).toHex());
    QCOMPARE(m_pServer->lines(),
             (QStringList{QStringLiteral("LSIN 0 kim@zemvik.example %1 MD5 3.871 UTF8").arg(digest),
                          QStringLiteral("CONF 1 0 0"),
                          QStringLiteral("GLST 2 0"),
                          QStringLiteral("LIST 3 "),
                          QStringLiteral("PONG 0")}));
    QCOMPARE(lsin.size(), 1);
    QCOMPARE(status.first().at(0).toString(), QStringLiteral("인증 성공"));

    CurrentAccount *account = CurrentAccount::instance();
    QCOMPARE(account->cmn, QStringLiteral("7001"));
    QCOMPARE(account->name, QStringLiteral("Kim Ha"));
    QCOMPARE(account->nick, QStringLiteral("Kim Ha"));
    QCOMPARE(account->ticket, QStringLiteral("TICKET8"));
    QCOMPARE(account->accountType, 'N');
    QCOMPARE(account->tirnID, QStringLiteral("kim@zemvik.example"));
    QCOMPARE(account->mvID, QStringLiteral("%00"));
    QCOMPARE(account->loginFlag16, true);
    QCOMPARE(account->buddyList, m_pConnection->buddyList());
    QCOMPARE(account->groupList, m_pConnection->groupList());

    QCOMPARE(m_pConnection->groupListVersion(), 5);
    GroupList *groups = m_pConnection->groupList();
    QCOMPARE(groups->count(), 2);
    QCOMPARE(groups->findGroupById(QStringLiteral("1"))->itemName(), QStringLiteral("친구 들"));
    QCOMPARE(groups->findGroupById(QStringLiteral("1"))->members(), QStringList{QStringLiteral("1001")});
    // The membership of an unknown group is dropped; that buddy and the one in no group land in "0".
    QCOMPARE(groups->findGroupById(QStringLiteral("0"))->members(), (QStringList{QStringLiteral("1002"), QStringLiteral("1003")}));
    QCOMPARE(m_pConnection->ungroupedList(), (QStringList{QStringLiteral("1002"), QStringLiteral("1003")}));

    BuddyList *buddies = m_pConnection->buddyList();
    QCOMPARE(buddies->count(), 3);
    const Buddy *lee = buddies->findByHandle(QStringLiteral("1001"));
    QCOMPARE(flagsOf(lee), QStringLiteral("F-BR"));
    QCOMPARE(lee->nick, QStringLiteral("Lee Min"));
    QCOMPARE(lee->status, QStringLiteral("F"));
    const Buddy *park = buddies->findByHandle(QStringLiteral("1002"));
    QCOMPARE(flagsOf(park), QStringLiteral("--BR"));
    QCOMPARE(park->nick, QStringLiteral("Pak Pak"));
    QCOMPARE(park->itemId(), QStringLiteral("0"));
    QCOMPARE(queue.size(), 1);
    QCOMPARE(queue.first().at(0).toStringList().value(6), QStringLiteral("1002"));
}

void ZemvikDPConnectionTest::digest_data()
{
    QTest::addColumn<QString>("loginId");
    QTest::addColumn<QByteArray>("hashKey");

    QTest::newRow("own domain stripped") << QStringLiteral("kim@zemvik.example") << QByteArray("kim");
    QTest::newRow("upper case hashed in lower case") << QStringLiteral("KimHa@zemvik.example") << QByteArray("kimha");
    QTest::newRow("own domain in other case kept") << QStringLiteral("kim@Zemvik.Example") << QByteArray("kim@zemvik.example");
    QTest::newRow("other domain kept") << QStringLiteral("Kim@other.example") << QByteArray("kim@other.example");
}

void ZemvikDPConnectionTest::digest()
{
    QFETCH(QString, loginId);
    QFETCH(QByteArray, hashKey);

    CurrentAccount::instance()->setLoginInfo(loginId, QStringLiteral("Secret1"));
    QVERIFY(m_pConnection->connectToServer());
    QTRY_COMPARE(m_pServer->lines().size(), 1);
    const QString digest = QString::fromLatin1(QCryptographicHash::hash("Secret1" + hashKey, QCryptographicHash::Md5).toHex());
    QCOMPARE(m_pServer->lines().first(), QStringLiteral("LSIN 0 %1 %2 MD5 3.871 UTF8").arg(loginId, digest));
}

void ZemvikDPConnectionTest::pingAndPack()
{
    QVERIFY(m_pConnection->connectToServer());
    QTRY_COMPARE(m_pServer->lines().size(), 1);
    m_pServer->send("PING 0\r\nPACK 7\r\nPACK x\r\nPING 0\r\n");
    QTRY_COMPARE(m_pServer->lines().size(), 4);
    QCOMPARE(m_pServer->lines().mid(1), (QStringList{QStringLiteral("PING 1 "), QStringLiteral("PNAK 7"), QStringLiteral("PING 2 ")}));
}

void ZemvikDPConnectionTest::listChanges_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("loginId");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<int>("confirms");

    QTest::newRow("ADDB RL from a stranger") << QByteArray("ADDB 0 RL 9999 new@zemvik.example") << QStringLiteral("choi@zemvik.example") << QStringLiteral("FA--") << 1;
    QTest::newRow("ADDB RL from a buddy") << QByteArray("ADDB 0 RL 1003 choi@zemvik.example") << QStringLiteral("choi@zemvik.example") << QStringLiteral("FA-R") << 0;
    QTest::newRow("ADDB answer ignored") << QByteArray("ADDB 5 RL 1003 choi@zemvik.example") << QStringLiteral("choi@zemvik.example") << QStringLiteral("FA--") << 0;
    QTest::newRow("ADDB answer from a stranger ignored") << QByteArray("ADDB 5 RL 9999 new@zemvik.example") << QStringLiteral("choi@zemvik.example") << QStringLiteral("FA--") << 0;
    QTest::newRow("ADDB BL") << QByteArray("ADDB 0 BL 1003 choi@zemvik.example") << QStringLiteral("choi@zemvik.example") << QStringLiteral("F-B-") << 0;
    QTest::newRow("RMVB BL unblocks") << QByteArray("RMVB 0 BL 1001 lee@zemvik.example") << QStringLiteral("lee@zemvik.example") << QStringLiteral("FA-R") << 0;
    QTest::newRow("RMVB answer ignored") << QByteArray("RMVB 5 BL 1001 lee@zemvik.example") << QStringLiteral("lee@zemvik.example") << QStringLiteral("F-BR") << 0;
    QTest::newRow("RMVB FL") << QByteArray("RMVB 0 FL 1001 lee@zemvik.example") << QStringLiteral("lee@zemvik.example") << QStringLiteral("--BR") << 0;
    QTest::newRow("short ADDB") << QByteArray("ADDB 0 RL 9999") << QStringLiteral("choi@zemvik.example") << QStringLiteral("FA--") << 0;
    QTest::newRow("short RMVB") << QByteArray("RMVB 0 BL") << QStringLiteral("lee@zemvik.example") << QStringLiteral("F-BR") << 0;
}

void ZemvikDPConnectionTest::listChanges()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, loginId);
    QFETCH(QString, flags);
    QFETCH(int, confirms);

    QVERIFY(signIn());
    QSignalSpy confirm(m_pConnection, &ZemvikDPConnection::showAddConfirm);
    const qint64 before = m_pConnection->bytesReceived();
    m_pServer->send(line + "\r\nX 0\r\n");
    QTRY_COMPARE(m_pConnection->bytesReceived(), before + line.size() + 7);
    QCOMPARE(confirm.size(), confirms);
    QCOMPARE(flagsOf(m_pConnection->buddyList()->findByLoginId(loginId)), flags);
}

void ZemvikDPConnectionTest::buddyRequestAnswers()
{
    QVERIFY(signIn());
    // A request in flight: the provisional buddy of the controller.
    auto *pending = new Buddy(m_pConnection->buddyList());
    pending->handle = QStringLiteral("TID:9");
    pending->loginId = QStringLiteral("new@zemvik.example");
    m_pConnection->buddyList()->append(pending);

    QSignalSpy accepted(m_pConnection, &ZemvikDPConnection::allowAccept);
    QSignalSpy refresh(m_pConnection, &ZemvikDPConnection::refreshBuddyList);
    QSignalSpy rejected(m_pConnection, &ZemvikDPConnection::receivedREJCT);
    m_pServer->send("ADSB 0 ACCPT 2001 new@zemvik.example\r\n"
                    "ADSB 6 ACCPT 1001 Lee%20Two\r\n"
                    "ADSB 0 REJCT 1003 choi@zemvik.example\r\n"
                    "ADSB 6 REJCT 1001 lee@zemvik.example\r\n"
                    "ADSB 0 ACCPT\r\n");
    QTRY_COMPARE(rejected.size(), 1);
    QTRY_COMPARE(refresh.size(), 1);
    QCOMPARE(accepted.size(), 1);
    QCOMPARE(accepted.first().at(0).value<Buddy *>(), pending);
    QCOMPARE(pending->handle, QStringLiteral("2001"));
    QCOMPARE(m_pConnection->buddyList()->findByHandle(QStringLiteral("2001")), pending);
    QCOMPARE(m_pConnection->buddyList()->findByHandle(QStringLiteral("1001"))->name, QStringLiteral("Lee Two"));
    QCOMPARE(m_pConnection->buddyList()->findByHandle(QStringLiteral("1003"))->loginId, QStringLiteral("XXX"));
    QCOMPARE(m_pConnection->buddyList()->findByHandle(QStringLiteral("1001"))->loginId, QStringLiteral("lee@zemvik.example"));
}

void ZemvikDPConnectionTest::outboundCommands()
{
    QVERIFY(signIn());
    const int first = m_pServer->lines().size();
    ZemvikDPConnection *c = m_pConnection;
    c->slotChangeNick(QStringLiteral("a b\r\nc"));
    QCOMPARE(c->sendAddGroup(QStringLiteral("My Group\n")), 5);
    QCOMPARE(c->sendAddGroup(QString()), -1);
    QCOMPARE(c->sendAddGroup(QStringLiteral(" ")), -1);
    QCOMPARE(c->sendRenameGroup(QStringLiteral("1"), QStringLiteral("a\rb")), 6);
    QCOMPARE(c->sendRenameGroup(QStringLiteral("1"), QString()), -1);
    c->sendRemoveGroup(QStringLiteral("1"));
    c->slotSendLock(QStringLiteral("nobody@zemvik.example"));
    c->slotSendLock(QStringLiteral("lee@zemvik.example"));
    c->slotSendUnlock(QStringLiteral("lee@zemvik.example"));
    c->slotPutLockList({QStringLiteral("1 a@x"), QStringLiteral("2 b@x"), QStringLiteral("3 c@x")});
    c->slotAddAccept(QStringLiteral("2002"), QStringLiteral("d@x"));
    c->slotAddReject(QStringLiteral("2003"), QStringLiteral("e@x"));
    c->slotChangeStatusOffline();
    c->slotChangeStatusAway();
    c->sendBuddyRequest(QStringLiteral("f@x"), QStringLiteral("hi there\nme"));
    QCOMPARE(c->requestSwitchboard(), 18);
    c->slotRealDelete(QStringLiteral("choi@zemvik.example"));
    const QStringList expected{
        QStringLiteral("CNIK 4 a%20b%0D%0Ac"),
        QStringLiteral("ADDG 5 5 My%20Group%0A"),
        QStringLiteral("RENG 6 5 1 a%0Db"),
        QStringLiteral("RMVG 7 5 1"),
        QStringLiteral("ADDB 8 BL 1001 lee@zemvik.example"),
        QStringLiteral("ADDB 9 AL 1001 lee@zemvik.example"),
        QStringLiteral("ADDB 10 BL 1 a@x"),
        QStringLiteral("ADDB 11 BL 2 b@x"),
        QStringLiteral("ADDB 12 BL 3 c@x"),
        QStringLiteral("ADSB 13 ACCPT 2002 d@x 0 %00 "),
        QStringLiteral("ADSB 14 REJCT 2003 e@x 0 %00 "),
        QStringLiteral("ONST 15 F 0 %00 1"),
        QStringLiteral("ONST 16 A 0 %00 1"),
        QStringLiteral("ADSB 17 REQST %00 f@x 0 hi%20there%0D%0Ame"),
        QStringLiteral("RESS 18 "),
        QStringLiteral("RMVB 19 BL %00 choi@zemvik.example"),
    };
    QTRY_COMPARE(m_pServer->lines().size(), first + expected.size());
    QCOMPARE(m_pServer->lines().mid(first), expected);
    QVERIFY(c->isConnected());
    QVERIFY(!c->buddyList()->findByLoginId(QStringLiteral("choi@zemvik.example")));
    QVERIFY(c->groupList()->findGroupById(QStringLiteral("0"))->members().contains(QStringLiteral("2002")));
}

void ZemvikDPConnectionTest::fileRequest_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("answer"); // empty: none
    QTest::addColumn<int>("p2p");
    QTest::addColumn<int>("relay");

    QTest::newRow("NEW answered") << QByteArray("REQC NEW 10.0.0.9:5004 cookie77\r\n") << QStringLiteral("REQC RES 127.0.0.1:5004 cookie77") << 1 << 0;
    QTest::newRow("NEW without its key") << QByteArray("REQC NEW 10.0.0.9:5004\r\n") << QString() << 0 << 0;
    QTest::newRow("RES") << QByteArray("REQC RES 10.0.0.9:5004 cookie77\r\n") << QString() << 1 << 0;
    QTest::newRow("FR") << QByteArray("REQC FR 10.0.0.9:5004 cookie77\r\n") << QString() << 0 << 1;
    QTest::newRow("no kind") << QByteArray("REQC\r\n") << QString() << 0 << 0;
}

void ZemvikDPConnectionTest::fileRequest()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, answer);
    QFETCH(int, p2p);
    QFETCH(int, relay);

    QVERIFY(m_pConnection->connectToServer());
    QTRY_COMPARE(m_pServer->lines().size(), 1);
    QSignalSpy toP2P(m_pConnection, &ZemvikDPConnection::connectToP2P);
    QSignalSpy viaRelay(m_pConnection, &ZemvikDPConnection::connectP2PFR);
    bool answeredFirst = false;
    connect(m_pConnection, &ZemvikDPConnection::connectToP2P, this, [&] {
        answeredFirst = m_pConnection->pendingWriteBytes() > 0;
    });
    const QByteArray message = "CTOC 0 peer@zemvik.example " + QByteArray::number(payload.size()) + "\r\n" + payload + "X 0\r\n";
    const qint64 before = m_pConnection->bytesReceived();
    m_pServer->send(message);
    QTRY_COMPARE(m_pConnection->bytesReceived(), before + message.size());
    QCOMPARE(toP2P.size(), p2p);
    QCOMPARE(viaRelay.size(), relay);
    if (p2p) {
        const QStringList combined = toP2P.first().at(0).toStringList();
        QCOMPARE(combined.value(2), QStringLiteral("peer@zemvik.example"));
        QCOMPARE(combined.value(4), QStringLiteral("REQC"));
        QCOMPARE(combined.value(7), QStringLiteral("cookie77"));
    }
    if (answer.isEmpty()) {
        QVERIFY(!answeredFirst);
        QVERIFY(!QTest::qWaitFor([this] {
            return m_pServer->lines().size() > 1;
        }, 200));
        return;
    }
    QVERIFY(answeredFirst);
    QTRY_COMPARE(m_pServer->lines().size(), 3);
    QCOMPARE(m_pServer->lines().at(1), QStringLiteral("CTOC 1 peer@zemvik.example N %1").arg(answer.size() + 2));
    QCOMPARE(m_pServer->lines().at(2), answer);
}

void ZemvikDPConnectionTest::switchboardAndPresence()
{
    QVERIFY(signIn());
    QSignalSpy ress(m_pConnection, &ZemvikDPConnection::ReceiveRESS);
    QSignalSpy infy(m_pConnection, &ZemvikDPConnection::receivedINFY);
    QSignalSpy invt(m_pConnection, &ZemvikDPConnection::receivedINVT);
    QSignalSpy kill(m_pConnection, &ZemvikDPConnection::kill);
    QStringList memo;
    connect(m_pConnection, &ZemvikDPConnection::receivedMemoCTOC, this, [&memo](const MimeMessage &message) {
        memo << message.getValue(QStringLiteral("from")) << message.getValue(QStringLiteral("title")) << message.getBody();
    });
    const QByteArray memoPayload = QString::fromUtf8("IMSG\r\ntitle:안녕\r\nfrom:lee@zemvik.example\r\n\r\n안녕 하세요\r\n").toUtf8();
    m_pServer->send("CTOC 0 lee@zemvik.example " + QByteArray::number(memoPayload.size()) + "\r\n" + memoPayload);
    const QByteArray invitation = "INVT lee@zemvik.example 127.0.0.1 5010 k\r\n";
    m_pServer->send("RESS 12 127.0.0.1 5010 key%20k\r\nNTFY 0 lee@zemvik.example O\r\nTICK 0 T2\r\n"
                    "CTOC 0 lee@zemvik.example " + QByteArray::number(invitation.size()) + "\r\n" + invitation + "KILL 0\r\n");
    QTRY_COMPARE(kill.size(), 1);
    QCOMPARE(ress.size(), 1);
    std::unique_ptr<SSConnection> switchboard(ress.first().at(0).value<SSConnection *>());
    QCOMPARE(switchboard->tid, 12);
    QCOMPARE(switchboard->serverHost, QStringLiteral("127.0.0.1"));
    QCOMPARE(switchboard->serverPort, 5010);
    QCOMPARE(switchboard->key, QStringLiteral("key%20k"));
    QCOMPARE(infy.size(), 1);
    QCOMPARE(infy.first().at(0).toStringList().value(3), QStringLiteral("O"));
    QCOMPARE(CurrentAccount::instance()->ticket, QStringLiteral("T2"));
    QCOMPARE(memo, (QStringList{QStringLiteral("lee@zemvik.example"), QString::fromUtf8("안녕"), QString::fromUtf8("안녕 하세요\r\n")}));
    QCOMPARE(invt.size(), 1);
    QCOMPARE(invt.first().at(0).toStringList(),
             (QStringList{QStringLiteral("INVT"), QStringLiteral("lee@zemvik.example"), QStringLiteral("127.0.0.1"), QStringLiteral("5010"), QStringLiteral("k\r\n")}));
}

void ZemvikDPConnectionTest::shortLinesIgnored_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("LSIN") << QStringLiteral("LSIN 0 7001 name");
    QTest::newRow("RESS") << QStringLiteral("RESS 3 127.0.0.1 5010");
    QTest::newRow("RESS bad port") << QStringLiteral("RESS 3 127.0.0.1 0 key");
    QTest::newRow("INFY") << QStringLiteral("INFY 0 lee@zemvik.example");
    QTest::newRow("NNIK") << QStringLiteral("NNIK 0 lee@zemvik.example");
    QTest::newRow("ADSB") << QStringLiteral("ADSB 0");
    QTest::newRow("ADSB answer") << QStringLiteral("ADSB 5 ACCPT 1001");
    QTest::newRow("ADDG") << QStringLiteral("ADDG 0");
    QTest::newRow("TICK") << QStringLiteral("TICK 0");
    QTest::newRow("PACK") << QStringLiteral("PACK");
    QTest::newRow("GLST") << QStringLiteral("GLST 1");
    QTest::newRow("LIST") << QStringLiteral("LIST 3 0");
    QTest::newRow("word only") << QStringLiteral("RMVB");
}

void ZemvikDPConnectionTest::shortLinesIgnored()
{
    QFETCH(QString, line);
    CurrentAccount *account = CurrentAccount::instance();
    account->ticket = QStringLiteral("T1");
    QSignalSpy ress(m_pConnection, &ZemvikDPConnection::ReceiveRESS);
    QSignalSpy infy(m_pConnection, &ZemvikDPConnection::receivedINFY);
    QSignalSpy nnik(m_pConnection, &ZemvikDPConnection::receivedNNIK);
    QSignalSpy lsin(m_pConnection, &ZemvikDPConnection::receivedLSIN);
    QSignalSpy connected(m_pConnection, &ZemvikDPConnection::connected);
    QSignalSpy refresh(m_pConnection, &ZemvikDPConnection::refreshBuddyList);
    LineFramer::Frame frame;
    frame.line = line;
    frame.fields = line.split(QLatin1Char(' '));
    m_pConnection->handleFrame(frame);
    QCOMPARE(ress.size() + infy.size() + nnik.size() + lsin.size() + connected.size() + refresh.size(), 0);
    QCOMPARE(account->ticket, QStringLiteral("T1"));
    QCOMPARE(account->cmn, QString());
    QCOMPARE(m_pConnection->groupListVersion(), 0);
    QCOMPARE(m_pConnection->buddyList()->count(), 0);
}

void ZemvikDPConnectionTest::newDownloadStartsClean()
{
    QVERIFY(signIn());
    // The next download places 1001 and 1003 in a group; only 1002 stays ungrouped.
    m_pServer->onLine = [this](const QString &line) {
        if (line.startsWith(QLatin1String("GLST"))) {
            m_pServer->send("GLST 9 7\r\nGLST 9 0 4 G 0 Default 0\r\nGLST 9 1 4 G 1 Friends 0\r\nGLST 9 2 4 M 1003 1\r\nGLST 9 3 4 M 1001 1\r\n");
        } else if (line.startsWith(QLatin1String("LIST"))) {
            m_pServer->send(s_buddies);
        }
    };
    QSignalSpy connected(m_pConnection, &ZemvikDPConnection::connected);
    m_pServer->send("CONF 9 0\r\n");
    QVERIFY(connected.wait());
    QCOMPARE(m_pConnection->groupListVersion(), 7);
    QCOMPARE(m_pConnection->buddyList()->count(), 3);
    QCOMPARE(m_pConnection->groupList()->count(), 2);
    QCOMPARE(m_pConnection->ungroupedList(), QStringList{QStringLiteral("1002")});
    QCOMPARE(m_pConnection->groupList()->findGroupById(QStringLiteral("0"))->members(), QStringList{QStringLiteral("1002")});
}

QTEST_GUILESS_MAIN(ZemvikDPConnectionTest)
#include "zemvikdpconnectiontest.moc"
