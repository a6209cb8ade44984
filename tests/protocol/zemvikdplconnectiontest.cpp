// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "account.h"
#include "scriptedserver.h"
#include "settings.h"
#include "zemvikdplconnection.h"

#include <KConfigGroup>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <memory>

class ZemvikDPLConnectionTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void handshake_data();
    void handshake();
    void secondPverSendsSecondAuth();
};

void ZemvikDPLConnectionTest::initTestCase()
{
    qRegisterMetaType<Account *>();
    QStandardPaths::setTestModeEnabled(true);
    Settings::reset();
    Settings::setUseProxy(false);
    CurrentAccount::instance()->setLoginInfo(QStringLiteral("kim@zemvik.example"), QStringLiteral("pw"));
}

// The answer to REQS comes in the given pieces.
void ZemvikDPLConnectionTest::handshake_data()
{
    QTest::addColumn<QList<QByteArray>>("answer");
    QTest::addColumn<QString>("host"); // empty: the handshake fails
    QTest::addColumn<int>("port");

    QTest::newRow("one read") << QList<QByteArray>{"REQS 2 DES 127.0.0.2 5004\r\n"} << QStringLiteral("127.0.0.2") << 5004;
    QTest::newRow("split across reads") << QList<QByteArray>{"REQS 2 DES ses", "sion.local 50", "04\r\n"} << QStringLiteral("session.local") << 5004;
    QTest::newRow("no port") << QList<QByteArray>{"REQS 2 DES 127.0.0.2\r\n"} << QString() << 0;
    QTest::newRow("port zero") << QList<QByteArray>{"REQS 2 DES 127.0.0.2 0\r\n"} << QString() << 0;
    QTest::newRow("port too large") << QList<QByteArray>{"REQS 2 DES 127.0.0.2 70000\r\n"} << QString() << 0;
    QTest::newRow("port not a number") << QList<QByteArray>{"REQS 2 DES 127.0.0.2 x\r\n"} << QString() << 0;
}

void ZemvikDPLConnectionTest::handshake()
{
    QFETCH(QList<QByteArray>, answer);
    QFETCH(QString, host);
    QFETCH(int, port);

    ScriptedServer server;
    ZemvikDPLConnection connection;
    server.onLine = [&](const QString &line) {
        if (line.startsWith(QLatin1String("PVER"))) {
            server.send("PVER 0 3.871 3.0\r\n");
        } else if (line.startsWith(QLatin1String("AUTH"))) {
            server.send("AUTH 1 DES\r\n");
        } else if (line.startsWith(QLatin1String("REQS"))) {
            qint64 read = connection.bytesReceived();
            for (const QByteArray &piece : answer) {
                server.send(piece);
                read += piece.size();
                // The client reads each piece apart.
                QVERIFY(QTest::qWaitFor([&] {
                    return connection.bytesReceived() >= read;
                }));
            }
        }
    };
    KConfigGroup service = Settings::config()->group(QStringLiteral("Config_Service"));
    service.writeEntry("Dispatch_Host", QStringLiteral("127.0.0.1"));
    service.writeEntry("Dispatch_Port", int(server.port()));

    QVERIFY(connection.initialize());
    QSignalSpy account(&connection, &ZemvikDPLConnection::connectDPWithAccount);
    QSignalSpy failed(&connection, &ZemvikDPLConnection::handshakeFailed);
    QVERIFY(connection.connectToServer());
    QTRY_COMPARE(account.size() + failed.size(), 1);
    QCOMPARE(server.lines(),
             (QStringList{QStringLiteral("PVER 0 3.871 3.0"), QStringLiteral("AUTH 1 DES"), QStringLiteral("REQS 2 DES kim@zemvik.example")}));
    if (host.isEmpty()) {
        QCOMPARE(failed.size(), 1);
        return;
    }
    std::unique_ptr<Account> received(account.at(0).at(0).value<Account *>());
    QCOMPARE(received->serverHost(), host);
    QCOMPARE(received->serverPort(), port);
    QCOMPARE(received->loginID(), QStringLiteral("kim@zemvik.example"));
    QCOMPARE(received->password(), QStringLiteral("pw"));
}

void ZemvikDPLConnectionTest::secondPverSendsSecondAuth()
{
    ScriptedServer server;
    ZemvikDPLConnection connection;
    QVERIFY(connection.initialize());
    QVERIFY(connection.connectToServer(QStringLiteral("127.0.0.1"), server.port()));
    QTRY_COMPARE(server.lines().size(), 1);
    server.send("PVER 0 3.871\r\nPVER 0 3.871\r\n");
    QTRY_COMPARE(server.lines().size(), 3);
    QCOMPARE(server.lines(), (QStringList{QStringLiteral("PVER 0 3.871 3.0"), QStringLiteral("AUTH 1 DES"), QStringLiteral("AUTH 2 DES")}));
}

QTEST_GUILESS_MAIN(ZemvikDPLConnectionTest)
#include "zemvikdplconnectiontest.moc"
