// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "localservice.h"
#include "sessionserver.h"
#include "switchboardserver.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

//! A bare switchboard member: writes lines, collects what comes back.
class LineClient : public QObject
{
    Q_OBJECT
public:
    explicit LineClient(quint16 port)
    {
        connect(&socket, &QTcpSocket::readyRead, this, [this] {
            m_pending += socket.readAll();
            int end;
            while ((end = m_pending.indexOf("\r\n")) >= 0) {
                lines.append(QString::fromUtf8(m_pending.left(end)));
                m_pending.remove(0, end + 2);
            }
            Q_EMIT arrived();
        });
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.waitForConnected(5000);
    }
    void write(const QString &line)
    {
        socket.write(line.toUtf8() + "\r\n");
        socket.flush();
    }
    //! Waits until n lines have arrived in all.
    bool waitForLines(int n)
    {
        QSignalSpy spy(this, &LineClient::arrived);
        while (lines.size() < n) {
            if (!spy.wait(5000)) {
                qWarning() << "lines so far:" << lines;
                return false;
            }
        }
        return true;
    }

    QTcpSocket socket;
    QStringList lines;

Q_SIGNALS:
    void arrived();

private:
    QByteArray m_pending;
};

class SwitchboardServerTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void refused_data();
    void refused();
    void threeParticipants();
    void quitOnLeave();
    void localServiceHandsOutTickets();

private:
    QString enterLine(int tid, const QString &id, const QString &key) const;
    SwitchboardServer *m_pServer = nullptr;
};

void SwitchboardServerTest::init()
{
    m_pServer = new SwitchboardServer;
    QVERIFY(m_pServer->listen(QHostAddress::LocalHost, 0));
}

void SwitchboardServerTest::cleanup()
{
    delete m_pServer;
    m_pServer = nullptr;
}

QString SwitchboardServerTest::enterLine(int tid, const QString &id, const QString &key) const
{
    const QString name = id.section(QLatin1Char('@'), 0, 0);
    return QStringLiteral("ENTR %1 %2 %3-nick %3 %4 UTF8 P").arg(tid).arg(id, name, key);
}

void SwitchboardServerTest::refused_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reply");
    QTest::newRow("unknown key") << QStringLiteral("ENTR 1 a@z a-nick a nosuchkey UTF8 P") << QStringLiteral("911 1");
    QTest::newRow("not the issued member first") << QStringLiteral("ENTR 2 b@z b-nick b KEY UTF8 P") << QStringLiteral("911 2");
    QTest::newRow("too short") << QStringLiteral("ENTR 3 a@z a-nick a") << QStringLiteral("911 3");
    QTest::newRow("message before entering") << QStringLiteral("MESG 4 MSG x") << QStringLiteral("911 4");
}

void SwitchboardServerTest::refused()
{
    QFETCH(QString, line);
    QFETCH(QString, reply);
    const SwitchboardTicket ticket = m_pServer->issue(QStringLiteral("a@z"));
    QVERIFY(ticket.isValid());
    QCOMPARE(ticket.host, QStringLiteral("127.0.0.1"));
    QCOMPARE(ticket.port, m_pServer->port());

    LineClient client(ticket.port);
    QSignalSpy closed(&client.socket, &QTcpSocket::disconnected);
    client.write(QString(line).replace(QStringLiteral("KEY"), ticket.key));
    QVERIFY(closed.wait());
    QCOMPARE(client.lines, QStringList{reply});
    QVERIFY(m_pServer->participants(ticket.key).isEmpty());

    // The key still works for the member it was issued to.
    LineClient owner(ticket.port);
    owner.write(enterLine(1, QStringLiteral("a@z"), ticket.key));
    QVERIFY(owner.waitForLines(1));
    QCOMPARE(owner.lines, QStringList{QStringLiteral("ENTR 1 OK")});
}

void SwitchboardServerTest::threeParticipants()
{
    const SwitchboardTicket ticket = m_pServer->issue(QStringLiteral("a@z"));
    LineClient a(ticket.port);
    a.write(enterLine(1, QStringLiteral("a@z"), ticket.key));
    QVERIFY(a.waitForLines(1));

    LineClient b(ticket.port);
    b.write(enterLine(1, QStringLiteral("b@z"), ticket.key));
    QVERIFY(b.waitForLines(2));
    QCOMPARE(b.lines, (QStringList{QStringLiteral("USER 1 1 1 a@z a-nick a"), QStringLiteral("ENTR 1 OK")}));
    QVERIFY(a.waitForLines(2));
    QCOMPARE(a.lines.at(1), QStringLiteral("JOIN 0 b@z b-nick b"));

    LineClient c(ticket.port);
    c.write(enterLine(1, QStringLiteral("c@z"), ticket.key));
    QVERIFY(c.waitForLines(3));
    QCOMPARE(c.lines, (QStringList{QStringLiteral("USER 1 1 2 a@z a-nick a"), QStringLiteral("USER 1 2 2 b@z b-nick b"), QStringLiteral("ENTR 1 OK")}));
    QVERIFY(a.waitForLines(3));
    QVERIFY(b.waitForLines(3));
    QCOMPARE(a.lines.at(2), QStringLiteral("JOIN 0 c@z c-nick c"));
    QCOMPARE(b.lines.at(2), QStringLiteral("JOIN 0 c@z c-nick c"));
    QCOMPARE(m_pServer->participants(ticket.key), (QStringList{QStringLiteral("a@z"), QStringLiteral("b@z"), QStringLiteral("c@z")}));

    a.write(QStringLiteral("MESG 2 MSG Sans%090%09%09hi%20all"));
    b.write(QStringLiteral("MESG 2 TYPING 1"));
    QVERIFY(c.waitForLines(5));
    QVERIFY(b.waitForLines(4));
    QVERIFY(a.waitForLines(4));
    QCOMPARE(b.lines.at(3), QStringLiteral("MESG 2 a@z MSG Sans%090%09%09hi%20all"));
    QCOMPARE(c.lines.mid(3), (QStringList{QStringLiteral("MESG 2 a@z MSG Sans%090%09%09hi%20all"), QStringLiteral("MESG 2 b@z TYPING 1")}));
    QCOMPARE(a.lines.at(3), QStringLiteral("MESG 2 b@z TYPING 1"));

    // A whisper reaches the member it names, and only them.
    c.write(QStringLiteral("WHSP 2 a@z FILE REQUEST%091%09x.txt|3|1:2:3"));
    c.write(QStringLiteral("MESG 3 c@z TYPING 2"));
    QVERIFY(a.waitForLines(6));
    QCOMPARE(a.lines.mid(4), (QStringList{QStringLiteral("WHSP 2 c@z FILE REQUEST%091%09x.txt|3|1:2:3"), QStringLiteral("MESG 3 c@z TYPING 2")}));
    QVERIFY(b.waitForLines(5));
    QCOMPARE(b.lines.at(4), QStringLiteral("MESG 3 c@z TYPING 2"));
}

void SwitchboardServerTest::quitOnLeave()
{
    const SwitchboardTicket ticket = m_pServer->issue(QStringLiteral("a@z"));
    LineClient a(ticket.port);
    a.write(enterLine(1, QStringLiteral("a@z"), ticket.key));
    QVERIFY(a.waitForLines(1));
    LineClient b(ticket.port);
    b.write(enterLine(1, QStringLiteral("b@z"), ticket.key));
    LineClient c(ticket.port);
    QVERIFY(b.waitForLines(2));
    c.write(enterLine(1, QStringLiteral("c@z"), ticket.key));
    QVERIFY(a.waitForLines(3));

    QSignalSpy cClosed(&c.socket, &QTcpSocket::disconnected);
    c.write(QStringLiteral("QUIT 2 c@z"));
    QVERIFY(cClosed.wait());
    QVERIFY(a.waitForLines(4));
    QCOMPARE(a.lines.at(3), QStringLiteral("QUIT 0 c@z"));

    b.socket.abort(); // gone without a word
    QVERIFY(a.waitForLines(5));
    QCOMPARE(a.lines.at(4), QStringLiteral("QUIT 0 b@z"));
    QCOMPARE(m_pServer->participants(ticket.key), QStringList{QStringLiteral("a@z")});

    QSignalSpy aClosed(&a.socket, &QTcpSocket::disconnected);
    a.write(QStringLiteral("LOUT"));
    QVERIFY(aClosed.wait());
    QTRY_COMPARE(m_pServer->sessionCount(), 0); // the key died with its session

    LineClient late(ticket.port);
    late.write(enterLine(1, QStringLiteral("a@z"), ticket.key));
    QVERIFY(late.waitForLines(1));
    QCOMPARE(late.lines, QStringList{QStringLiteral("911 1")});
}

void SwitchboardServerTest::localServiceHandsOutTickets()
{
    QTemporaryDir dir;
    LocalService service;
    QSignalSpy listening(&service, &LocalService::listening);
    LocalService::Options options;
    options.dataDirectory = dir.path();
    options.dispatchPort = 0;
    options.bots = false;
    QVERIFY2(service.start(options), qPrintable(service.errorString()));
    const quint16 port = service.switchboardServer()->port();
    QVERIFY(port != 0);
    bool announced = false;
    for (const QList<QVariant> &args : qAsConst(listening)) {
        announced = announced || (args.at(0).toString() == QLatin1String("switchboard") && args.at(1).toString() == QStringLiteral("127.0.0.1:%1").arg(port));
    }
    QVERIFY(announced);

    const SwitchboardTicket first = service.sessionServer()->requestSwitchboard(QStringLiteral("a@z"));
    const SwitchboardTicket second = service.sessionServer()->requestSwitchboard(QStringLiteral("a@z"));
    QVERIFY(first.isValid());
    QCOMPARE(first.port, port);
    QVERIFY(first.key != second.key);
    QCOMPARE(service.switchboardServer()->sessionCount(), 2);
}

QTEST_GUILESS_MAIN(SwitchboardServerTest)
#include "switchboardservertest.moc"
