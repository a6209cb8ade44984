// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "account.h"
#include "commandline.h"
#include "scriptedserver.h"
#include "settings.h"
#include "zemvikconnection.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QStandardPaths>
#include <QTest>

#include <functional>

//! Records what the transport delivers: "C:" plain lines, "M:" memo-like payloads, "P:" text payloads.
class TestConnection : public ZemvikConnection
{
    Q_OBJECT
public:
    TestConnection()
        : ZemvikConnection(QStringLiteral("testconnection"))
    {
    }

    QStringList seen;
    bool stopTimerOnSuccess = true;
    int depth = 0;
    int maxDepth = 0;
    std::function<void(const QStringList &)> hook;

    using ZemvikConnection::socket;

    void connectionSuccess() override
    {
        if (stopTimerOnSuccess) {
            stopConnectionTimer();
        }
        Q_EMIT ready();
    }

Q_SIGNALS:
    void ready();

protected:
    void parseCommand(const QStringList &command) override
    {
        ++depth;
        maxDepth = qMax(maxDepth, depth);
        seen << QStringLiteral("C:") + command.join(QLatin1Char('|'));
        if (hook) {
            hook(command);
        }
        --depth;
    }
    void parseMimeMessage(const QString &kind, const QStringList &command, const QByteArray &payload) override
    {
        seen << QStringLiteral("M:%1:%2:%3").arg(kind, command.join(QLatin1Char('|')), QString::fromUtf8(payload));
    }
    void parsePayloadMessage(const QStringList &command, const QString &payload) override
    {
        seen << QStringLiteral("P:%1:%2").arg(command.join(QLatin1Char('|')), payload);
    }
};

class ZemvikConnectionTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void receiving_data();
    void receiving();
    void tidsContinueAfterReconnect();
    void payloadLengthCountsBytes();
    void keepAliveAnswered();
    void keepAliveGivesUp();
    void pongOnlyConsumedWhilePinging();
    void retry_data();
    void retry();
    void nestedLoopSeesEachLineOnce();
    void shortWriteKeepsTheRest();
    void closedSocketWritesNothing();
    void proxyValuesCopied();
    void throughSocks5_data();
    void throughSocks5();

private:
    bool connectTo(TestConnection &connection, ScriptedServer &server);
};

void ZemvikConnectionTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Settings::reset();
    Settings::setUseProxy(false);
}

bool ZemvikConnectionTest::connectTo(TestConnection &connection, ScriptedServer &server)
{
    QSignalSpy ready(&connection, &TestConnection::ready);
    const int before = server.connections();
    if (!connection.connectToServer(QStringLiteral("127.0.0.1"), server.port())) {
        return false;
    }
    if (!ready.wait(5000)) {
        return false;
    }
    return QTest::qWaitFor([&] {
        return server.connections() > before && server.client();
    });
}

// Each chunk reaches the client in a read of its own.
void ZemvikConnectionTest::receiving_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("seen");
    QTest::addColumn<bool>("closes");

    QTest::newRow("two lines in one read") << QList<QByteArray>{"LSIN 0 a\r\nGLST 1 x\r\n"} << QStringList{QStringLiteral("C:LSIN|0|a"), QStringLiteral("C:GLST|1|x")} << false;
    QTest::newRow("split in the command word") << QList<QByteArray>{"LS", "IN 0 a\r\nGLST 1\r\n"} << QStringList{QStringLiteral("C:LSIN|0|a"), QStringLiteral("C:GLST|1")} << false;
    QTest::newRow("CR at the end") << QList<QByteArray>{"LSIN 0 a\r", "\nX 1\r\n"} << QStringList{QStringLiteral("C:LSIN|0|a"), QStringLiteral("C:X|1")} << false;
    QTest::newRow("double blanks") << QList<QByteArray>{"A  0   b \r\n"} << QStringList{QStringLiteral("C:A|0|b")} << false;
    QTest::newRow("empty line skipped") << QList<QByteArray>{"\r\nA 0\r\n"} << QStringList{QStringLiteral("C:A|0")} << false;
    QTest::newRow("payload in pieces") << QList<QByteArray>{"CTOC 0 a@b N 10\r\nINVT ", "abc", "de", "X 1\r\n"}
                                       << QStringList{QStringLiteral("P:CTOC|0|a@b|N|10:INVT abcde"), QStringLiteral("C:X|1")} << false;
    QTest::newRow("CONF payload") << QList<QByteArray>{"CONF 3 5\r\nhello"} << QStringList{QStringLiteral("M:hell:CONF|3|5:hello")} << false;
    QTest::newRow("memo payload") << QList<QByteArray>{"CTOC 0 a N 13\r\nIMSG\r\ntitle:x"} << QStringList{QStringLiteral("M:IMSG:CTOC|0|a|N|13:IMSG\r\ntitle:x")} << false;
    QTest::newRow("over-long line") << QList<QByteArray>{"A 0 " + QByteArray(CommandLine::MaxLineLength + 8, 'x')} << QStringList{} << true;
    QTest::newRow("line before the over-long one") << QList<QByteArray>{"A 0\r\n" + QByteArray(CommandLine::MaxLineLength + 8, 'x') + "\r\nB 1\r\n"}
                                                   << QStringList{QStringLiteral("C:A|0")} << true;
    QTest::newRow("negative length") << QList<QByteArray>{"CTOC 0 a N -5\r\nxx"} << QStringList{} << true;
    QTest::newRow("length over 1 MiB") << QList<QByteArray>{"CTOC 0 a N 1048577\r\n"} << QStringList{} << true;
    QTest::newRow("length not a number") << QList<QByteArray>{"CONF 0 x\r\n"} << QStringList{} << true;
    QTest::newRow("length missing") << QList<QByteArray>{"CONF\r\nA 0\r\n"} << QStringList{} << true;
}

void ZemvikConnectionTest::receiving()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, seen);
    QFETCH(bool, closes);

    ScriptedServer server;
    TestConnection connection;
    QVERIFY(connectTo(connection, server));
    QSignalSpy disconnected(&connection, &ZemvikConnection::disconnected);
    qint64 total = 0;
    for (const QByteArray &chunk : chunks) {
        server.send(chunk);
        total += chunk.size();
        if (!closes) {
            QTRY_COMPARE(connection.bytesReceived(), total);
        }
    }
    if (closes) {
        QVERIFY(disconnected.wait());
        QVERIFY(!connection.isConnected());
        QTRY_VERIFY(server.lines().contains(QStringLiteral("LOUT")));
    } else {
        QTRY_COMPARE(connection.seen.size(), seen.size());
        QVERIFY(connection.isConnected());
    }
    QCOMPARE(connection.seen, seen);
}

void ZemvikConnectionTest::tidsContinueAfterReconnect()
{
    ScriptedServer server;
    TestConnection connection;
    QVERIFY(connectTo(connection, server));
    QCOMPARE(connection.sendCommand(QStringLiteral("AAAA"), QStringLiteral("x\r\n")), 0);
    QCOMPARE(connection.sendCommand(QStringLiteral("AAAA"), QStringLiteral("x\r\n")), 1);
    QCOMPARE(connection.sendCommand(QStringLiteral("AAAA"), QStringLiteral("x\r\n")), 2);
    QTRY_COMPARE(server.lines().size(), 3);
    connection.closeConnection(true);
    QTRY_COMPARE(server.lines().size(), 4);
    QVERIFY(connectTo(connection, server));
    QCOMPARE(connection.sendCommand(QStringLiteral("BBBB"), QStringLiteral("\r\n")), 3);
    QCOMPARE(connection.nextTrid(), 4);
    QTRY_COMPARE(server.lines().size(), 5);
    QCOMPARE(server.lines(),
             (QStringList{QStringLiteral("AAAA 0 x"), QStringLiteral("AAAA 1 x"), QStringLiteral("AAAA 2 x"), QStringLiteral("LOUT"), QStringLiteral("BBBB 3 ")}));
}

void ZemvikConnectionTest::payloadLengthCountsBytes()
{
    ScriptedServer server;
    TestConnection connection;
    QVERIFY(connectTo(connection, server));
    QSignalSpy sent(&connection, &ZemvikConnection::messageSent);
    const QString text = QString::fromUtf8("가나 a");
    QCOMPARE(connection.sendPayloadCommand(QStringLiteral("CTOC"), QStringLiteral("b@c N"), text), 0);
    const QByteArray expected = "CTOC 0 b@c N 8\r\n" + text.toUtf8();
    QTRY_COMPARE(server.received(), expected);
    QTRY_COMPARE(sent.size(), 1);
    QCOMPARE(sent.at(0).at(0).toString(), QString::fromUtf8(expected));
}

void ZemvikConnectionTest::keepAliveAnswered()
{
    ScriptedServer server;
    server.onLine = [&server](const QString &line) {
        if (line == QLatin1String("PONG 0")) {
            server.send("PONG 0\r\n");
        }
    };
    TestConnection connection;
    connection.setTimings(5000, 3000, 200, 100);
    QVERIFY(connectTo(connection, server));
    QSignalSpy pingError(&connection, &ZemvikConnection::pingError);
    QSignalSpy status(&connection, &ZemvikConnection::statusMessage);
    connection.setSendPings(true);
    // The first ping goes out at once; the later ones only after silence.
    QTRY_VERIFY(server.lines().count(QStringLiteral("PONG 0")) >= 3);
    QCOMPARE(pingError.size(), 0);
    QVERIFY(connection.isConnected());
    QVERIFY(connection.seen.isEmpty());
    for (const QList<QVariant> &args : status) {
        QCOMPARE(args.at(1).toInt(), 1);
    }
    connection.setSendPings(false);
}

void ZemvikConnectionTest::keepAliveGivesUp()
{
    ScriptedServer server;
    TestConnection connection;
    connection.setTimings(5000, 3000, 60, 30);
    QVERIFY(connectTo(connection, server));
    QSignalSpy pingError(&connection, &ZemvikConnection::pingError);
    QSignalSpy disconnected(&connection, &ZemvikConnection::disconnected);
    QSignalSpy status(&connection, &ZemvikConnection::statusMessage);
    connection.setSendPings(true);
    QVERIFY(pingError.wait());
    QCOMPARE(disconnected.size(), 1);
    QVERIFY(!connection.isConnected());
    QTRY_COMPARE(server.lines(), (QStringList{QStringLiteral("PONG 0"), QStringLiteral("PONG 0"), QStringLiteral("PONG 0"), QStringLiteral("LOUT")}));
    QList<int> kinds;
    for (const QList<QVariant> &args : status) {
        kinds << args.at(1).toInt();
    }
    QCOMPARE(kinds, (QList<int>{1, 2, 2, 2}));
    QCOMPARE(status.last().at(0).toString(), QStringLiteral("3 pings lost"));
}

void ZemvikConnectionTest::pongOnlyConsumedWhilePinging()
{
    ScriptedServer server;
    TestConnection connection;
    QVERIFY(connectTo(connection, server));
    server.send("PONG 0\r\n");
    QTRY_COMPARE(connection.seen, QStringList{QStringLiteral("C:PONG|0")});
    connection.setSendPings(true);
    server.send("PONG 0\r\nX 1\r\n");
    QTRY_COMPARE(connection.seen.size(), 2);
    QCOMPARE(connection.seen.last(), QStringLiteral("C:X|1"));
    connection.setSendPings(false);
}

// The time-out closes the attempt and schedules a retry; an explicit close or a new
// connect in between cancels it.
void ZemvikConnectionTest::retry_data()
{
    QTest::addColumn<int>("action"); // 0 nothing, 1 closeConnection, 2 connectToServer again
    QTest::newRow("retried") << 0;
    QTest::newRow("closed") << 1;
    QTest::newRow("connected anew") << 2;
}

void ZemvikConnectionTest::retry()
{
    QFETCH(int, action);

    ScriptedServer server;
    TestConnection connection;
    connection.stopTimerOnSuccess = false; // the first command never goes out: time-out
    connection.setTimings(100, 150, 10000, 3000);
    QSignalSpy disconnected(&connection, &ZemvikConnection::disconnected);
    QSignalSpy ready(&connection, &TestConnection::ready);
    QVERIFY(connection.connectToServer(QStringLiteral("127.0.0.1"), server.port()));
    QVERIFY(disconnected.wait());
    QCOMPARE(server.connections(), 1);
    if (action == 0) {
        QTRY_COMPARE(server.connections(), 2);
        return;
    }
    int expected = 1;
    if (action == 1) {
        connection.closeConnection(true);
    } else {
        connection.stopTimerOnSuccess = true;
        QVERIFY(connection.connectToServer(QStringLiteral("127.0.0.1"), server.port()));
        QTRY_COMPARE(ready.size(), 2);
        expected = 2;
    }
    // Long enough for the 150 ms retry and its connect, had one stayed scheduled.
    QVERIFY(!QTest::qWaitFor([&] {
        return server.connections() > expected;
    }, 600));
    QCOMPARE(connection.isConnected(), action == 2);
}

void ZemvikConnectionTest::nestedLoopSeesEachLineOnce()
{
    ScriptedServer server;
    server.onLine = [&server](const QString &line) {
        if (line.startsWith(QLatin1String("GOON"))) {
            server.send("BBBB 1\r\nCCCC 2\r\n");
        }
    };
    TestConnection connection;
    QVERIFY(connectTo(connection, server));
    QStringList seenInside;
    connection.hook = [&](const QStringList &command) {
        if (command.first() != QLatin1String("SPIN")) {
            return;
        }
        // A modal dialog in a handler: the loop runs while more lines arrive.
        connection.sendCommand(QStringLiteral("GOON"), QStringLiteral("\r\n"));
        QVERIFY(QTest::qWaitFor([&] {
            return connection.socket()->bytesAvailable() > 0;
        }));
        connection.dataReceived();
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
        seenInside = connection.seen;
    };
    server.send("SPIN 0\r\n");
    QTRY_COMPARE(connection.seen.size(), 3);
    QCOMPARE(seenInside, QStringList{QStringLiteral("C:SPIN|0")});
    QCOMPARE(connection.seen, (QStringList{QStringLiteral("C:SPIN|0"), QStringLiteral("C:BBBB|1"), QStringLiteral("C:CCCC|2")}));
    QCOMPARE(connection.maxDepth, 1);
}

void ZemvikConnectionTest::shortWriteKeepsTheRest()
{
    ScriptedServer server;
    TestConnection connection;
    QVERIFY(connectTo(connection, server));
    server.setPaused(true);
    QSignalSpy sent(&connection, &ZemvikConnection::messageSent);

    // Far more than the kernel buffers take while the server does not read.
    constexpr int Lines = 256;
    QByteArray expected;
    for (int i = 0; i < Lines; ++i) {
        const QString text = QString(64 * 1024 - 16, QLatin1Char('a' + i % 26)) + QStringLiteral("\r\n");
        connection.writeLine(QStringLiteral("DATA %1 ").arg(i, 4, 10, QLatin1Char('0')), text);
        expected += QStringLiteral("DATA %1 ").arg(i, 4, 10, QLatin1Char('0')).toUtf8() + text.toUtf8();
    }
    QCOMPARE(sent.size(), 0); // nothing is written before the event loop runs
    QTRY_VERIFY(sent.size() > 0);
    QVERIFY(sent.size() < Lines);
    QVERIFY(connection.pendingWriteBytes() > 0);
    QVERIFY(connection.isConnected());

    server.setPaused(false);
    QTRY_COMPARE_WITH_TIMEOUT(server.received().size(), expected.size(), 20000);
    QVERIFY(server.received() == expected);
    QTRY_COMPARE(sent.size(), Lines);
    QCOMPARE(connection.pendingWriteBytes(), 0);
    for (int i = 0; i < Lines; ++i) {
        QVERIFY(sent.at(i).at(0).toString().startsWith(QStringLiteral("DATA %1 ").arg(i, 4, 10, QLatin1Char('0'))));
    }
}

void ZemvikConnectionTest::closedSocketWritesNothing()
{
    TestConnection connection;
    QSignalSpy sent(&connection, &ZemvikConnection::messageSent);
    QCOMPARE(connection.sendCommand(QStringLiteral("AAAA"), QStringLiteral("\r\n")), 0);
    QCOMPARE(sent.size(), 0);
    QCOMPARE(connection.pendingWriteBytes(), 0);
}

void ZemvikConnectionTest::proxyValuesCopied()
{
    Settings::setUseProxy(true);
    Settings::setProxy(1, QString(), 1080, QStringLiteral("user"), QStringLiteral("secret"));
    TestConnection connection;
    QVERIFY(connection.initialize());
    QVERIFY(!connection.initialize());
    QSignalSpy disconnected(&connection, &ZemvikConnection::disconnected);
    // Without a proxy server nothing is attempted.
    QVERIFY(!connection.connectToServer(QStringLiteral("127.0.0.1"), 5004));
    QVERIFY(!connection.isConnected());
    CurrentAccount *account = CurrentAccount::instance();
    QCOMPARE(account->proxyType, 1);
    QCOMPARE(account->proxyPort, 1080);
    QCOMPARE(account->proxyID, QStringLiteral("user"));
    QCOMPARE(account->proxyPassword, QStringLiteral("secret"));
    Settings::setUseProxy(false);
    QCOMPARE(disconnected.size(), 0);
}

void ZemvikConnectionTest::throughSocks5_data()
{
    QTest::addColumn<bool>("grant");
    QTest::newRow("tunnel") << true;
    QTest::newRow("method refused") << false;
}

// A proxy that grants the tunnel and then plays the server itself: its first line comes
// in the same read as the connect reply.
void ZemvikConnectionTest::throughSocks5()
{
    QFETCH(bool, grant);

    QTcpServer proxy;
    QVERIFY(proxy.listen(QHostAddress::LocalHost, 0));
    QByteArray fromClient;
    int step = 0;
    connect(&proxy, &QTcpServer::newConnection, this, [&] {
        QTcpSocket *socket = proxy.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
            fromClient += socket->readAll();
            if (step == 0 && fromClient.size() >= 3) {
                fromClient.remove(0, 3);
                socket->write(grant ? QByteArray("\x05\x00", 2) : QByteArray("\x05\xff", 2));
                step = 1;
            }
            if (step == 1 && fromClient.size() >= 10) {
                fromClient.remove(0, 10);
                socket->write(QByteArray("\x05\x00\x00\x01\x00\x00\x00\x00\x00\x00", 10) + "HELO 0\r\n");
                step = 2;
            }
        });
    });
    Settings::setUseProxy(true);
    Settings::setProxy(1, QStringLiteral("127.0.0.1"), proxy.serverPort(), QString(), QString());

    TestConnection connection;
    QSignalSpy ready(&connection, &TestConnection::ready);
    QSignalSpy proxyError(&connection, &ZemvikConnection::proxyError);
    QSignalSpy disconnected(&connection, &ZemvikConnection::disconnected);
    const bool started = connection.connectToServer(QStringLiteral("127.0.0.1"), 5004);
    Settings::setUseProxy(false);
    QVERIFY(started);
    if (!grant) {
        QVERIFY(proxyError.wait());
        QCOMPARE(proxyError.first().at(0).toString(), QStringLiteral("There was a problem connecting to the proxy."));
        QCOMPARE(disconnected.size(), 1);
        QCOMPARE(ready.size(), 0);
        QVERIFY(!connection.isConnected());
        return;
    }
    QVERIFY(ready.wait());
    QVERIFY(connection.isConnected());
    QTRY_COMPARE(connection.seen, QStringList{QStringLiteral("C:HELO|0")});
    connection.sendCommand(QStringLiteral("AAAA"), QStringLiteral("x\r\n"));
    QTRY_COMPARE(fromClient, QByteArray("AAAA 0 x\r\n"));
    QCOMPARE(proxyError.size(), 0);
}

QTEST_GUILESS_MAIN(ZemvikConnectionTest)
#include "zemvikconnectiontest.moc"
