// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "proxynegotiator.h"
#include "proxyprocess.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <memory>

namespace
{
const QString s_localHost = QStringLiteral("127.0.0.1");

//! A proxy that answers each request of a given length with fixed bytes, optionally in pieces, and records what it got.
//! A step is "length:hex|hex...": after `length` more bytes have arrived the pieces are sent one by one.
class ScriptedProxy : public QObject
{
public:
    ScriptedProxy(const QStringList &steps, const QByteArray &serverBytes, bool closeAtEnd)
        : m_steps(steps)
        , m_serverBytes(serverBytes)
        , m_closeAtEnd(closeAtEnd)
    {
        m_server.listen(QHostAddress(s_localHost), 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this]() {
            m_pClient = m_server.nextPendingConnection();
            connect(m_pClient, &QTcpSocket::readyRead, this, [this]() {
                m_received += m_pClient->readAll();
                answer();
            });
        });
    }

    quint16 port() const
    {
        return m_server.serverPort();
    }
    QByteArray received() const
    {
        return m_received;
    }
    bool wasContacted() const
    {
        return m_pClient != nullptr || m_server.hasPendingConnections();
    }

private:
    void answer()
    {
        while (m_next < m_steps.size()) {
            const QString step = m_steps.at(m_next);
            const int colon = step.indexOf(QLatin1Char(':'));
            const int needed = m_consumed + step.left(colon).toInt();
            if (m_received.size() < needed) {
                return;
            }
            m_consumed = needed;
            ++m_next;
            QList<QByteArray> pieces;
            const auto hexPieces = step.mid(colon + 1).split(QLatin1Char('|'));
            for (const QString &hex : hexPieces) {
                pieces << QByteArray::fromHex(hex.toLatin1());
            }
            if (m_next == m_steps.size()) {
                pieces.last() += m_serverBytes; // the server talks right behind the proxy's last answer
            }
            sendPieces(pieces, m_next == m_steps.size() && m_closeAtEnd);
        }
    }

    void sendPieces(QList<QByteArray> pieces, bool closeAfter)
    {
        m_pClient->write(pieces.takeFirst());
        m_pClient->flush();
        if (!pieces.isEmpty()) {
            // A pause between the pieces, so that they reach the client in separate reads.
            QTimer::singleShot(20, this, [this, pieces, closeAfter]() {
                sendPieces(pieces, closeAfter);
            });
        } else if (closeAfter) {
            m_pClient->disconnectFromHost();
        }
    }

    QTcpServer m_server;
    QTcpSocket *m_pClient = nullptr;
    QStringList m_steps;
    QByteArray m_serverBytes;
    bool m_closeAtEnd;
    QByteArray m_received;
    int m_consumed = 0;
    int m_next = 0;
};

//! The server at the far end of the tunnel: greets every client with one line, then echoes what it receives.
class EchoServer : public QObject
{
public:
    EchoServer()
    {
        m_server.listen(QHostAddress(s_localHost), 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this]() {
            QTcpSocket *client = m_server.nextPendingConnection();
            client->write(greeting());
            connect(client, &QTcpSocket::readyRead, client, [client]() {
                client->write(client->readAll());
            });
        });
    }
    static QByteArray greeting()
    {
        return QByteArrayLiteral("HELLO 0 ready\r\n");
    }
    quint16 port() const
    {
        return m_server.serverPort();
    }

private:
    QTcpServer m_server;
};

ProxyNegotiator::Config config(int type, quint16 port, const QString &user = QString(), const QString &password = QString())
{
    ProxyNegotiator::Config c;
    c.type = type;
    c.server = s_localHost;
    c.port = port;
    c.user = user;
    c.password = password;
    return c;
}
}

class ProxyNegotiatorTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void scripted_data();
    void scripted();
    void refusedAtStart_data();
    void refusedAtStart();
    void httpFailsAtOnce_data();
    void httpFailsAtOnce();
    void abortedHttpStaysSilent();
    void realProxy_data();
    void realProxy();
};

// Target 127.0.0.1:5004 throughout: port 138c, address 7f000001.
void ProxyNegotiatorTest::scripted_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QByteArray>("serverBytes");
    QTest::addColumn<bool>("closeAtEnd");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("sent"); // hex

    const QString s5ok = QStringLiteral("10:05000001000000000000");
    const QByteArray s5connect = "050100017f000001138c";
    const QByteArray hello = "HELLO 0\r\n";
    const QString none;
    const QString kim = QStringLiteral("kim");
    const QString pass = QStringLiteral("pass");

    QTest::newRow("socks5 user without password: no credentials offered")
        << 1 << kim << none << QStringList{QStringLiteral("3:0500"), s5ok} << hello << false << 0 << ("050100" + s5connect);
    QTest::newRow("socks5 with credentials")
        << 1 << kim << pass << QStringList{QStringLiteral("4:0502"), QStringLiteral("10:0100"), s5ok} << hello << false << 0
        << ("05020200"
            "01036b696d0470617373"
            + s5connect);
    QTest::newRow("socks5 reply naming a domain") << 1 << none << none
                                                 << QStringList{QStringLiteral("3:0500"), QStringLiteral("10:05000003096c6f63616c686f73741389")} << hello
                                                 << false << 0 << ("050100" + s5connect);
    QTest::newRow("socks5 reply naming an IPv6 address")
        << 1 << none << none << QStringList{QStringLiteral("3:0500"), QStringLiteral("10:0500000400000000000000000000000000000001") + QStringLiteral("1389")}
        << hello << false << 0 << ("050100" + s5connect);
    QTest::newRow("socks5 answers in pieces") << 1 << none << none
                                             << QStringList{QStringLiteral("3:05|00"), QStringLiteral("10:0500|00|017f|000001|1389")} << hello
                                             << false << 0 << ("050100" + s5connect);
    QTest::newRow("socks5 method 0xFF") << 1 << none << none << QStringList{QStringLiteral("3:05ff")} << QByteArray() << false << 2
                                        << QByteArray("050100");
    QTest::newRow("socks5 method that was not offered")
        << 1 << none << none << QStringList{QStringLiteral("3:0502")} << QByteArray() << false << 2 << QByteArray("050100");
    QTest::newRow("socks5 wrong password") << 1 << kim << pass << QStringList{QStringLiteral("4:0502"), QStringLiteral("10:0101")} << QByteArray()
                                           << true << 2 << QByteArray("05020200" "01036b696d0470617373");
    QTest::newRow("socks5 connect refused") << 1 << none << none << QStringList{QStringLiteral("3:0500"), QStringLiteral("10:05050001000000000000")}
                                            << QByteArray() << true << 2 << ("050100" + s5connect);
    QTest::newRow("socks5 unknown address type") << 1 << none << none << QStringList{QStringLiteral("3:0500"), QStringLiteral("10:05000007")}
                                                 << QByteArray() << false << 2 << ("050100" + s5connect);
    QTest::newRow("socks5 method answer cut short") << 1 << none << none << QStringList{QStringLiteral("3:05")} << QByteArray() << true << 1
                                                    << QByteArray("050100");
    QTest::newRow("socks5 connect reply cut short") << 1 << none << none << QStringList{QStringLiteral("3:0500"), QStringLiteral("10:050000017f")}
                                                    << QByteArray() << true << 1 << ("050100" + s5connect);
    QTest::newRow("socks4 granted") << 0 << kim << pass << QStringList{QStringLiteral("9:005a138c7f000001")} << hello << false << 0
                                    << QByteArray("0401138c7f00000100");
    QTest::newRow("socks4 0x5B") << 0 << none << none << QStringList{QStringLiteral("9:005b000000000000")} << QByteArray() << true << 2
                                 << QByteArray("0401138c7f00000100");
    QTest::newRow("socks4 7 bytes then close") << 0 << none << none << QStringList{QStringLiteral("9:005a0000000000")} << QByteArray() << true << 1
                                               << QByteArray("0401138c7f00000100");
}

void ProxyNegotiatorTest::scripted()
{
    QFETCH(int, type);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QStringList, steps);
    QFETCH(QByteArray, serverBytes);
    QFETCH(bool, closeAtEnd);
    QFETCH(int, result);
    QFETCH(QByteArray, sent);

    ScriptedProxy proxy(steps, serverBytes, closeAtEnd);
    QTcpSocket socket;
    ProxyNegotiator negotiator(&socket);
    QSignalSpy succeeded(&negotiator, &ProxyNegotiator::succeeded);
    QSignalSpy failed(&negotiator, &ProxyNegotiator::failed);

    QVERIFY(negotiator.start(config(type, proxy.port(), user, password), s_localHost, 5004));
    QVERIFY(negotiator.isActive());
    QTRY_COMPARE(succeeded.count() + failed.count(), 1);

    QVERIFY(!negotiator.isActive());
    QCOMPARE(proxy.received().toHex(), sent);
    if (result == ProxyNegotiator::Success) {
        QCOMPARE(succeeded.count(), 1);
        // Not one byte of the server's is taken by the negotiation.
        QTRY_COMPARE(socket.bytesAvailable(), qint64(serverBytes.size()));
        QCOMPARE(socket.readAll(), serverBytes);
    } else {
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.first().first().toInt(), result);
    }
    // Done means no longer listening to the socket.
    QVERIFY(!QObject::disconnect(&socket, nullptr, &negotiator, nullptr));
}

void ProxyNegotiatorTest::refusedAtStart_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("server");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("target");

    const QString pass = QStringLiteral("pass");
    QTest::newRow("empty server") << 1 << QString() << 1080 << QString() << QString() << s_localHost;
    QTest::newRow("256-byte user") << 1 << s_localHost << 1080 << QString(256, QLatin1Char('u')) << pass << s_localHost;
    QTest::newRow("256-byte password") << 1 << s_localHost << 1080 << QStringLiteral("kim") << QString(256, QLatin1Char('p')) << s_localHost;
    QTest::newRow("port out of range") << 0 << s_localHost << 70000 << QString() << QString() << s_localHost;
    QTest::newRow("unresolvable target") << 0 << s_localHost << 1080 << QString() << QString() << QString();
}

void ProxyNegotiatorTest::refusedAtStart()
{
    QFETCH(int, type);
    QFETCH(QString, server);
    QFETCH(int, port);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, target);

    QTcpSocket socket;
    ProxyNegotiator negotiator(&socket);
    ProxyNegotiator::Config c = config(type, quint16(0), user, password);
    c.server = server;
    c.port = port;
    QVERIFY(!negotiator.start(c, target, 5004));
    QVERIFY(!negotiator.isActive());
    QCOMPARE(socket.state(), QAbstractSocket::UnconnectedState);
}

void ProxyNegotiatorTest::httpFailsAtOnce_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("HTTP") << int(ProxyNegotiator::Http);
    QTest::newRow("unknown type") << 7;
}

void ProxyNegotiatorTest::httpFailsAtOnce()
{
    QFETCH(int, type);
    ScriptedProxy proxy({}, QByteArray(), false);
    QTcpSocket socket;
    ProxyNegotiator negotiator(&socket);
    QSignalSpy failed(&negotiator, &ProxyNegotiator::failed);

    QVERIFY(negotiator.start(config(type, proxy.port()), s_localHost, 5004));
    QCOMPARE(failed.count(), 0); // from the event loop, not inside start()
    QVERIFY(failed.wait(1000));
    QCOMPARE(failed.first().first().toInt(), int(ProxyNegotiator::Refused));
    QVERIFY(!negotiator.isActive());
    QCOMPARE(socket.state(), QAbstractSocket::UnconnectedState);
    QVERIFY(!proxy.wasContacted());
}

void ProxyNegotiatorTest::abortedHttpStaysSilent()
{
    QTcpSocket socket;
    ProxyNegotiator negotiator(&socket);
    QSignalSpy failed(&negotiator, &ProxyNegotiator::failed);
    QVERIFY(negotiator.start(config(ProxyNegotiator::Http, 6588), s_localHost, 5004));
    negotiator.abort();
    QVERIFY(!negotiator.isActive());
    QVERIFY(!failed.wait(100));
}

void ProxyNegotiatorTest::realProxy_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("proxyWantsPassword");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("targetListens");
    QTest::addColumn<int>("result");

    const QString microsocks = QStringLiteral("microsocks");
    const QString danted = QStringLiteral("danted");
    const QString kim = QStringLiteral("kim");
    QTest::newRow("microsocks, SOCKS 5") << microsocks << 1 << false << QString() << QString() << true << 0;
    QTest::newRow("microsocks, SOCKS 5 with password") << microsocks << 1 << true << kim << QStringLiteral("secret") << true << 0;
    QTest::newRow("microsocks, wrong password") << microsocks << 1 << true << kim << QStringLiteral("wrong") << true << 2;
    QTest::newRow("microsocks, password wanted, none given") << microsocks << 1 << true << kim << QString() << true << 2;
    QTest::newRow("danted, SOCKS 4") << danted << 0 << false << QString() << QString() << true << 0;
    QTest::newRow("danted, SOCKS 4 to a closed port") << danted << 0 << false << QString() << QString() << false << 2;
    QTest::newRow("danted, SOCKS 5") << danted << 1 << false << QString() << QString() << true << 0;
}

void ProxyNegotiatorTest::realProxy()
{
    QFETCH(QString, program);
    QFETCH(int, type);
    QFETCH(bool, proxyWantsPassword);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, targetListens);
    QFETCH(int, result);

    if (ProxyProcess::findProgram(program).isEmpty()) {
        QSKIP(qPrintable(ProxyProcess::missingMessage(program)));
    }

    EchoServer echo;
    const quint16 targetPort = targetListens ? echo.port() : ProxyProcess::freePort();
    ProxyProcess proxy;
    QVERIFY(proxy.start(program, proxyWantsPassword ? QStringLiteral("kim") : QString(), QStringLiteral("secret")));
    QTRY_VERIFY2_WITH_TIMEOUT(proxy.isListening(), qPrintable(proxy.output()), 5000);
    const quint16 proxyPort = proxy.port();

    QTcpSocket socket;
    ProxyNegotiator negotiator(&socket);
    QSignalSpy succeeded(&negotiator, &ProxyNegotiator::succeeded);
    QSignalSpy failed(&negotiator, &ProxyNegotiator::failed);
    QVERIFY(negotiator.start(config(type, proxyPort, user, password), s_localHost, targetPort));
    QTRY_COMPARE_WITH_TIMEOUT(succeeded.count() + failed.count(), 1, 5000);

    if (result != ProxyNegotiator::Success) {
        QCOMPARE(failed.first().first().toInt(), result);
        return;
    }
    QCOMPARE(succeeded.count(), 1);
    // The server's greeting may have come with the proxy's last answer: it must still be there.
    QByteArray got = socket.readAll();
    connect(&socket, &QTcpSocket::readyRead, this, [&got, &socket]() {
        got += socket.readAll();
    });
    QTRY_COMPARE(got, EchoServer::greeting());
    const QByteArray line = QStringLiteral("MESG 1 안녕 %1\r\n").arg(program).toUtf8();
    socket.write(line);
    QTRY_COMPARE(got, EchoServer::greeting() + line);
}

QTEST_GUILESS_MAIN(ProxyNegotiatorTest)
#include "proxynegotiatortest.moc"
