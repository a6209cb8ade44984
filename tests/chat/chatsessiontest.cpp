// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "account.h"
#include "buddy.h"
#include "buddylist.h"
#include "chatsession.h"
#include "sendfileinfo.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace
{
const QString s_me = QStringLiteral("me@zemvik.example");
const QString s_kim = QStringLiteral("kim@zemvik.example");
const QString s_lee = QStringLiteral("lee@zemvik.example");
const QString s_park = QStringLiteral("park@zemvik.example");
}

//! A switchboard that records what it is sent and says what the test tells it to.
class ScriptedSwitchboard : public QObject
{
    Q_OBJECT
public:
    ScriptedSwitchboard()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                m_connections.append(socket);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                    m_pending += socket->readAll();
                    int end;
                    while ((end = m_pending.indexOf("\r\n")) >= 0) {
                        lines.append(QString::fromUtf8(m_pending.left(end)));
                        m_pending.remove(0, end + 2);
                    }
                });
            }
        });
    }
    quint16 port() const
    {
        return m_server.serverPort();
    }
    int connectionCount() const
    {
        return m_connections.size();
    }
    //! Sends to the newest connection.
    void send(const QByteArray &bytes)
    {
        QTcpSocket *socket = m_connections.last();
        socket->write(bytes);
        socket->flush();
    }
    void dropNewest()
    {
        m_connections.last()->disconnectFromHost();
    }
    //! Received lines starting with prefix.
    QStringList linesStarting(const QString &prefix) const
    {
        QStringList out;
        for (const QString &line : lines) {
            if (line.startsWith(prefix)) {
                out.append(line);
            }
        }
        return out;
    }

    QStringList lines;

private:
    QTcpServer m_server;
    QList<QTcpSocket *> m_connections;
    QByteArray m_pending;
};

class ChatSessionTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void tidsAcrossReconnection();
    void splitAndJoinedLines();
    void quit_data();
    void quit();
    void joinNotices();
    void queuedMessagesFlushedOnJoin();
    void queueFailureWhileConnected();
    void queueFailureWithoutSession();
    void droppedConnectionKeepsMessages();
    void typingNotices();
    void awayReply_data();
    void awayReply();
    void twoFilesToTwoParticipants();
    void refusalRepeatsTheList();
    void refusalAndCancelArrive();
    void offerCountIsBounded();
    void offeredNameIsABaseName();
    void readerIsNotReentered();
    void pickedIds_data();
    void pickedIds();

private:
    //! Connects, waits for ENTR and answers it.
    void enter(ChatSession &session, ScriptedSwitchboard &board);
    Buddy *makeBuddy(const QString &loginId, const QString &name, const QString &nick);

    BuddyList m_buddies;
    QList<Buddy *> m_owned;
};

void ChatSessionTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    CurrentAccount *account = CurrentAccount::instance();
    account->name = QStringLiteral("Me");
    account->nick = QStringLiteral("my nick");
    account->cmn = QStringLiteral("1234");
    makeBuddy(s_kim, QStringLiteral("Kim"), QStringLiteral("Bear"));
    makeBuddy(s_lee, QStringLiteral("Lee"), QStringLiteral("Fox"));
    account->buddyList = &m_buddies;
}

void ChatSessionTest::init()
{
    CurrentAccount::instance()->status = 'O';
    for (Buddy *buddy : qAsConst(m_owned)) {
        buddy->inChat = false;
    }
}

void ChatSessionTest::cleanup()
{
}

Buddy *ChatSessionTest::makeBuddy(const QString &loginId, const QString &name, const QString &nick)
{
    auto *buddy = new Buddy(this);
    buddy->loginId = loginId;
    buddy->name = name;
    buddy->nick = nick;
    buddy->status = QStringLiteral("O");
    m_buddies.append(buddy);
    m_owned.append(buddy);
    return buddy;
}

void ChatSessionTest::enter(ChatSession &session, ScriptedSwitchboard &board)
{
    const int entries = board.linesStarting(QStringLiteral("ENTR")).size();
    QSignalSpy invite(&session, &ChatSession::putINVT);
    session.setSwitchboard(QStringLiteral("127.0.0.1"), board.port(), QStringLiteral("k3y"));
    session.setOwnId(s_me);
    QVERIFY(session.connectToSwitchboard());
    QTRY_COMPARE(board.linesStarting(QStringLiteral("ENTR")).size(), entries + 1);
    board.send("ENTR 1 OK\r\n");
    QVERIFY(invite.wait());
    QVERIFY(session.isEntered());
}

void ChatSessionTest::tidsAcrossReconnection()
{
    ScriptedSwitchboard board;
    ChatSession session;
    enter(session, board);
    QCOMPARE(board.lines.first(), QStringLiteral("ENTR 1 me@zemvik.example my%20nick Me k3y UTF8 P"));
    session.sendTyping();
    QTRY_COMPARE(board.lines.size(), 2);
    QCOMPARE(board.lines.at(1), QStringLiteral("MESG 2 TYPING 1"));

    QSignalSpy disconnected(&session, &ChatSession::disconnectedSS);
    enter(session, board); // connecting again first leaves the old session
    QCOMPARE(disconnected.count(), 1);
    QCOMPARE(board.connectionCount(), 2);
    QCOMPARE(board.linesStarting(QStringLiteral("LOUT")).size(), 1);
    QVERIFY(board.lines.contains(QStringLiteral("ENTR 3 me@zemvik.example my%20nick Me k3y UTF8 P")));
}

void ChatSessionTest::splitAndJoinedLines()
{
    ScriptedSwitchboard board;
    ChatSession session;
    QSignalSpy incoming(&session, &ChatSession::IncomingMessage);
    enter(session, board);
    board.send("JO");
    board.send("IN 5 kim@zemvik.example Bear Kim\r\nJOIN 6 lee@zemvik.example Fox Lee\r\n");
    QTRY_COMPARE(session.participants().size(), 2);
    QCOMPARE(session.participants().at(0)->loginId, s_kim);
    QCOMPARE(session.participants().at(1)->loginId, s_lee);
    QCOMPARE(incoming.count(), 3);
    QCOMPARE(incoming.at(1).at(0).toString(), QStringLiteral("[ Chat ] {JOIN 5 kim@zemvik.example Bear Kim}"));
}

void ChatSessionTest::quit_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("remaining");
    QTest::addColumn<bool>("notice");
    QTest::addColumn<bool>("absent");

    QTest::newRow("three fields, one participant") << QStringList{s_kim} << QByteArray("QUIT 9 kim@zemvik.example\r\n") << 1 << false << true;
    QTest::newRow("three fields, two participants") << QStringList{s_kim, s_lee} << QByteArray("QUIT 9 kim@zemvik.example\r\n") << 1 << true << false;
    QTest::newRow("four fields") << QStringList{s_kim, s_lee} << QByteArray("QUIT 9 kim@zemvik.example bye\r\n") << 2 << false << true;
    QTest::newRow("somebody else") << QStringList{s_kim} << QByteArray("QUIT 9 park@zemvik.example\r\n") << 1 << false << false;
}

void ChatSessionTest::quit()
{
    QFETCH(QStringList, present);
    QFETCH(QByteArray, line);
    QFETCH(int, remaining);
    QFETCH(bool, notice);
    QFETCH(bool, absent);

    ScriptedSwitchboard board;
    ChatSession session;
    enter(session, board);
    for (const QString &id : present) {
        session.addParticipant(id, false);
    }
    QSignalSpy html(&session, &ChatSession::htmlAppended);
    QSignalSpy info(&session, &ChatSession::infoTextChanged);
    // The typing notice after it shows that the line has been handled.
    board.send(line + "MESG 10 " + present.last().toUtf8() + " TYPING 1\r\n");
    QVERIFY(info.wait());
    QCOMPARE(session.participants().size(), remaining);
    QCOMPARE(html.count(), notice ? 1 : 0);
    QCOMPARE(session.allPresent(), !absent);
    if (notice) {
        QVERIFY(html.first().first().toString().contains(QStringLiteral("Kim(Bear) 님이 대화방을 나갔습니다.")));
        QVERIFY(!session.findParticipant(s_kim));
    }
    if (!absent) {
        return;
    }
    // The next message waits for a new session.
    QSignalSpy again(&session, &ChatSession::newConnectSS);
    session.sendMessage(QStringLiteral("still there?"));
    QCOMPARE(again.count(), 1);
    QCOMPARE(session.pendingMessages(), QStringList{QStringLiteral("still there?")});
}

void ChatSessionTest::joinNotices()
{
    ScriptedSwitchboard board;
    ChatSession session;
    session.addParticipant(s_kim, true);
    enter(session, board);
    QSignalSpy html(&session, &ChatSession::htmlAppended);
    QSignalSpy changed(&session, &ChatSession::participantsChanged);
    board.send("JOIN 7 kim@zemvik.example Bear Kim\r\n");
    QVERIFY(changed.wait());
    QCOMPARE(html.count(), 0); // the invited buddy arrives: nothing to announce
    QVERIFY(session.allPresent());

    board.send("JOIN 8 lee@zemvik.example Fox Lee\r\nJOIN 9 park@zemvik.example Big%20Bird <b>Park</b>\r\nJOIN 10 choi@zemvik.example %00 Choi\r\n");
    QTRY_COMPARE(session.participants().size(), 4);
    QCOMPARE(html.count(), 2); // the second person is not announced, the third is (escaped)
    QVERIFY(html.at(0).at(0).toString().contains(QStringLiteral("&lt;b&gt;Park&lt;/b&gt;(Big Bird) 님이 대화에 참여했습니다.")));
    QVERIFY(html.at(1).at(0).toString().contains(QStringLiteral("Choi() 님이")));
    QVERIFY(session.isNonBuddyConversation());
    QCOMPARE(session.findParticipant(s_park)->status, QStringLiteral("X"));
}

void ChatSessionTest::queuedMessagesFlushedOnJoin()
{
    ScriptedSwitchboard board;
    ChatSession session;
    session.addParticipant(s_kim, true);
    QSignalSpy newSession(&session, &ChatSession::newConnectSS);
    session.sendMessage(QStringLiteral("first"));
    QCOMPARE(newSession.count(), 1);
    enter(session, board);
    session.sendMessage(QStringLiteral("second line"));
    QCOMPARE(session.pendingMessages(), (QStringList{QStringLiteral("first"), QStringLiteral("second line")}));
    QCOMPARE(board.linesStarting(QStringLiteral("MESG")).size(), 0);

    QSignalSpy html(&session, &ChatSession::htmlAppended);
    board.send("JOIN 3 kim@zemvik.example Bear Kim\r\n");
    QTRY_COMPARE(board.linesStarting(QStringLiteral("MESG")).size(), 2);
    QCOMPARE(board.linesStarting(QStringLiteral("MESG")),
             (QStringList{QStringLiteral("MESG 2 MSG 굴림%090%09%09first"), QStringLiteral("MESG 3 MSG 굴림%090%09%09second%20line")}));
    QVERIFY(session.pendingMessages().isEmpty());
    QCOMPARE(html.count(), 2);
    QVERIFY(session.hasContent());
    QCOMPARE(session.plainText(), QStringLiteral("Me ( my nick ) 님의 말 :\nfirst\nMe ( my nick ) 님의 말 :\nsecond line\n"));
}

void ChatSessionTest::queueFailureWhileConnected()
{
    ScriptedSwitchboard board;
    ChatSession session;
    session.setTimeouts(100, 5000);
    session.addParticipant(s_kim, false);
    session.addParticipant(s_lee, true);
    enter(session, board);
    QSignalSpy unavailable(&session, &ChatSession::participantsUnavailable);
    session.sendMessage(QStringLiteral("hello"));
    QVERIFY(unavailable.wait());
    QCOMPARE(unavailable.first().first().toStringList(), QStringList{QStringLiteral("Lee")});
    QTRY_COMPARE(board.linesStarting(QStringLiteral("MESG")).size(), 1); // whoever is there gets it
    QVERIFY(session.pendingMessages().isEmpty());
}

void ChatSessionTest::queueFailureWithoutSession()
{
    ChatSession session;
    session.setTimeouts(50, 5000);
    session.addParticipant(s_kim, true);
    QSignalSpy failed(&session, &ChatSession::messagesFailed);
    QSignalSpy failedFiles(&session, &ChatSession::filesFailed);
    session.sendMessage(QStringLiteral("one"));
    session.sendMessage(QStringLiteral("two"));
    session.offerFiles({QStringLiteral("/tmp/a.txt")});
    QVERIFY(failed.wait());
    QCOMPARE(failed.count(), 1); // the failure path ends: told once, nothing left queued
    QCOMPARE(failed.first().first().toStringList(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    QCOMPARE(failedFiles.count(), 1);
    QVERIFY(session.pendingMessages().isEmpty());
    QVERIFY(session.pendingFiles().isEmpty());
    QVERIFY(!failed.wait(150));
}

void ChatSessionTest::droppedConnectionKeepsMessages()
{
    ScriptedSwitchboard board;
    ChatSession session;
    session.addParticipant(s_kim, false);
    enter(session, board);
    QSignalSpy changed(&session, &ChatSession::participantsChanged);
    board.dropNewest();
    QVERIFY(changed.wait());
    QVERIFY(!session.isConnected());
    QVERIFY(!session.allPresent()); // the next session must invite Kim again

    QSignalSpy newSession(&session, &ChatSession::newConnectSS);
    session.sendMessage(QStringLiteral("are you there"));
    QCOMPARE(newSession.count(), 1);
    QCOMPARE(session.pendingMessages().size(), 1);

    enter(session, board);
    board.send("JOIN 2 kim@zemvik.example Bear Kim\r\n");
    QTRY_COMPARE(board.linesStarting(QStringLiteral("MESG")), QStringList{QStringLiteral("MESG 3 MSG 굴림%090%09%09are%20you%20there")});
}

void ChatSessionTest::typingNotices()
{
    ScriptedSwitchboard board;
    ChatSession session;
    session.setTimeouts(5000, 80);
    session.setNickFitter([](const QString &nick) -> QString {
        return nick.left(2) + QStringLiteral("...");
    });
    session.addParticipant(s_kim, false);
    enter(session, board);
    QSignalSpy info(&session, &ChatSession::infoTextChanged);

    board.send("MESG 2 kim@zemvik.example MSG A%090%09%09hi\r\n");
    QVERIFY(info.wait());
    const QString received = session.infoText();
    QVERIFY(received.startsWith(QStringLiteral("마지막 메시지 받은 시각 : ")));

    board.send("MESG 3 kim@zemvik.example TYPING 0\r\nMESG 4 kim@zemvik.example TYPING 1\r\n");
    QVERIFY(info.wait());
    QCOMPARE(info.count(), 2); // TYPING 0 changed nothing
    QCOMPARE(session.infoText(), QStringLiteral("Kim (Be...) 님이 메세지를 입력하고 있습니다."));
    QVERIFY(info.wait()); // the notice times out
    QCOMPARE(session.infoText(), received);

    // A message within the notice's time replaces it for good.
    board.send("MESG 5 kim@zemvik.example TYPING 1\r\nMESG 6 kim@zemvik.example MSG A%090%09%09again\r\n");
    QTRY_COMPARE(info.count(), 5);
    QVERIFY(session.infoText().startsWith(QStringLiteral("마지막 메시지 받은 시각 : ")));
    QVERIFY(!info.wait(150));

    // Outgoing: one TYPING 1 per message.
    session.sendTyping();
    session.sendTyping();
    session.sendMessage(QStringLiteral("x"));
    session.sendTyping();
    QTRY_COMPARE(board.linesStarting(QStringLiteral("MESG")).size(), 3);
    QCOMPARE(board.linesStarting(QStringLiteral("MESG")).at(0), QStringLiteral("MESG 2 TYPING 1"));
    QCOMPARE(board.linesStarting(QStringLiteral("MESG")).at(2), QStringLiteral("MESG 4 TYPING 1"));
}

void ChatSessionTest::awayReply_data()
{
    QTest::addColumn<char>("status");
    QTest::addColumn<bool>("away");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("sent");
    QTest::newRow("away, away reply on") << 'A' << true << false << true;
    QTest::newRow("away, only busy reply on") << 'A' << false << true << false;
    QTest::newRow("busy, busy reply on") << 'B' << false << true << true;
    QTest::newRow("busy, only away reply on") << 'B' << true << false << false;
    QTest::newRow("online") << 'O' << true << true << false;
}

void ChatSessionTest::awayReply()
{
    QFETCH(char, status);
    QFETCH(bool, away);
    QFETCH(bool, busy);
    QFETCH(bool, sent);

    CurrentAccount::instance()->status = status;
    ScriptedSwitchboard board;
    ChatSession session;
    session.setAwayReplyProvider([away, busy](char own) {
        ChatSession::AwayReply reply;
        reply.enabled = (own == 'A' && away) || (own == 'B' && busy);
        reply.style.family = QStringLiteral("Sans");
        reply.text = QStringLiteral("back soon");
        return reply;
    });
    enter(session, board);
    board.send("JOIN 2 kim@zemvik.example Bear Kim\r\n");
    QTRY_COMPARE(session.participants().size(), 1);
    QCOMPARE(board.lines.value(1) == QStringLiteral("MESG 2 AWAYMSG Sans%090%09%09back%20soon"), sent);
    QCOMPARE(session.hasContent(), sent);
}

void ChatSessionTest::twoFilesToTwoParticipants()
{
    QTemporaryDir dir;
    const QString one = dir.filePath(QStringLiteral("one file.txt"));
    const QString two = dir.filePath(QStringLiteral("two.bin"));
    QFile(one).open(QIODevice::WriteOnly);
    QFile f(two);
    f.open(QIODevice::WriteOnly);
    f.write("12345");
    f.close();

    ScriptedSwitchboard board;
    ChatSession session;
    session.addParticipant(s_kim, false);
    session.addParticipant(s_lee, false);
    enter(session, board);
    QSignalSpy offered(&session, &ChatSession::sendFile);
    session.offerFiles({one, two});
    QTRY_COMPARE(board.linesStarting(QStringLiteral("WHSP")).size(), 4);
    const QStringList whsp = board.linesStarting(QStringLiteral("WHSP"));
    static const QRegularExpression shape(QStringLiteral("^WHSP (\\d+) (\\S+) FILE REQUEST%091%09(\\S+)\\|(\\d+)\\|(\\d+:1234:\\d+)$"));
    QStringList cookies;
    const QStringList expected{s_kim + QStringLiteral(" one%20file.txt|0"), s_lee + QStringLiteral(" one%20file.txt|0"), s_kim + QStringLiteral(" two.bin|5"),
                               s_lee + QStringLiteral(" two.bin|5")};
    for (int i = 0; i < 4; ++i) {
        const QRegularExpressionMatch m = shape.match(whsp.at(i));
        QVERIFY2(m.hasMatch(), qPrintable(whsp.at(i)));
        QCOMPARE(m.captured(1).toInt(), i + 2);
        QCOMPARE(m.captured(2) + QLatin1Char(' ') + m.captured(3) + QLatin1Char('|') + m.captured(4), expected.at(i));
        cookies.append(m.captured(5));
    }
    QCOMPARE(cookies.at(0), cookies.at(1));
    QCOMPARE(cookies.at(2), cookies.at(3));
    QVERIFY(cookies.at(0) != cookies.at(2));

    // A second offer in the same second does not repeat the first one's cookie.
    session.offerFiles({one});
    QTRY_COMPARE(board.linesStarting(QStringLiteral("WHSP")).size(), 6);
    QVERIFY(shape.match(board.linesStarting(QStringLiteral("WHSP")).at(4)).captured(5) != cookies.at(0));
    QCOMPARE(offered.count(), 6);
    QCOMPARE(session.transfers().size(), 6);
    QCOMPARE(session.transfers().at(1)->cookie, cookies.at(1));
}

void ChatSessionTest::refusalRepeatsTheList()
{
    ScriptedSwitchboard board;
    ChatSession session;
    session.addParticipant(s_kim, false);
    QStringList asked;
    session.setFileOfferHandler([&asked](const QString &sender, const QString &name, qint64 size) {
        asked.append(sender + QLatin1Char(' ') + name + QLatin1Char(' ') + QString::number(size));
        return name != QLatin1String("b c.txt");
    });
    QSignalSpy accepted(&session, &ChatSession::sendRECQNEW);
    enter(session, board);
    board.send("WHSP 4 kim@zemvik.example FILE REQUEST%093%09a.txt|10|1:9:2%09b%20c.txt|20|3:9:4%09d.txt|30|5:9:6\r\n");
    QTRY_COMPARE(asked.size(), 3);
    QCOMPARE(asked.at(1), QStringLiteral("kim@zemvik.example b c.txt 20"));
    QTRY_COMPARE(board.linesStarting(QStringLiteral("WHSP")),
                 QStringList{QStringLiteral("WHSP 2 kim@zemvik.example FILE NACK%093%09a.txt|10|1:9:2%09b%20c.txt|20|3:9:4%09d.txt|30|5:9:6")});
    QCOMPARE(accepted.count(), 2);
    QCOMPARE(session.transfers().at(1)->cookie, QStringLiteral("5:9:6"));
}

void ChatSessionTest::refusalAndCancelArrive()
{
    ScriptedSwitchboard board;
    ChatSession session;
    session.addParticipant(s_kim, false);
    session.addParticipant(s_lee, false);
    enter(session, board);
    QSignalSpy refused(&session, &ChatSession::cancelReceive);
    QSignalSpy cancelledAll(&session, &ChatSession::cancelReceiveAll);
    QSignalSpy cancelled(&session, &ChatSession::cancelFileTransfer);
    QSignalSpy html(&session, &ChatSession::htmlAppended);
    board.send("WHSP 3 kim@zemvik.example FILE NACK%091%09a.txt|1|1:2:3\r\nWHSP 4 lee@zemvik.example FILE CANCEL%091%09a.txt|1|1:2:3\r\n"
               "WHSP 5 park@zemvik.example FILE CANCEL%091%09b.txt|1|4:5:6\r\n");
    QTRY_COMPARE(cancelledAll.count(), 2);
    QCOMPARE(refused.count(), 1);
    QCOMPARE(refused.first().first().toStringList().at(2), s_kim);
    QCOMPARE(cancelled.count(), 1); // only a participant cancels a transfer of ours
    QCOMPARE(cancelled.first().first().toString(), QStringLiteral("a.txt|1|1:2:3"));
    QCOMPARE(html.count(), 2);
    QVERIFY(html.at(1).at(0).toString().contains(QStringLiteral("Lee(Fox) 님이 파일을 전송을 취소했습니다.")));

    session.sendFileCancel(QStringLiteral("a.txt|1|1:2:3"));
    QTRY_COMPARE(board.linesStarting(QStringLiteral("WHSP")),
                 (QStringList{QStringLiteral("WHSP 2 kim@zemvik.example FILE CANCEL%091%09a.txt|1|1:2:3"),
                              QStringLiteral("WHSP 3 lee@zemvik.example FILE CANCEL%091%09a.txt|1|1:2:3")}));
}

void ChatSessionTest::offerCountIsBounded()
{
    ScriptedSwitchboard board;
    ChatSession session;
    session.addParticipant(s_kim, false);
    int asked = 0;
    session.setFileOfferHandler([&asked](const QString &, const QString &, qint64) {
        ++asked;
        return false;
    });
    enter(session, board);
    board.send("WHSP 4 kim@zemvik.example FILE REQUEST%0999%09a.txt|10|1:9:2\r\nWHSP 5 kim@zemvik.example FILE REQUEST%09-3\r\n"
               "WHSP 6 kim@zemvik.example FILE REQUEST%092%09broken%09b.txt|x|1:2:3\r\nMESG 7 kim@zemvik.example TYPING 1\r\n");
    QTRY_VERIFY(session.infoText().contains(QStringLiteral("입력하고")));
    QCOMPARE(asked, 1);
}

void ChatSessionTest::offeredNameIsABaseName()
{
    ScriptedSwitchboard board;
    ChatSession session;
    QStringList names;
    session.setFileOfferHandler([&names](const QString &, const QString &name, qint64) {
        names.append(name);
        return true;
    });
    enter(session, board);
    board.send("WHSP 4 kim@zemvik.example FILE REQUEST%093%09../../.bashrc|1|1:1:1%09..\\..\\x.exe|1|1:1:1%09..|1|1:1:1\r\n");
    QTRY_COMPARE(names.size(), 3);
    QCOMPARE(names, (QStringList{QStringLiteral(".bashrc"), QStringLiteral("x.exe"), QStringLiteral("file")}));
}

void ChatSessionTest::readerIsNotReentered()
{
    ScriptedSwitchboard board;
    ChatSession session;
    session.addParticipant(s_kim, false);
    QStringList asked;
    bool inside = false;
    bool nested = false;
    session.setFileOfferHandler([&](const QString &, const QString &name, qint64) {
        nested = nested || inside;
        inside = true;
        asked.append(name);
        if (asked.size() == 1) {
            // A modal question: more lines arrive while it is open.
            board.send("WHSP 5 kim@zemvik.example FILE REQUEST%091%09second.txt|1|1:1:1\r\n");
            QEventLoop loop;
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
            loop.exec();
        }
        inside = false;
        return false;
    });
    enter(session, board);
    board.send("WHSP 4 kim@zemvik.example FILE REQUEST%091%09first.txt|1|1:1:1\r\n");
    QTRY_COMPARE(asked.size(), 2);
    QCOMPARE(asked, (QStringList{QStringLiteral("first.txt"), QStringLiteral("second.txt")}));
    QVERIFY(!nested);
    QTRY_COMPARE(board.linesStarting(QStringLiteral("WHSP")).size(), 2);
}

void ChatSessionTest::pickedIds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("one") << QStringLiteral("Kim <kim@z.example>") << QStringList{QStringLiteral("kim@z.example")};
    QTest::newRow("name with @") << QStringLiteral("a@b.c <kim@z.example>, evil@x.y (x) <lee@z.example>")
                                 << QStringList{QStringLiteral("kim@z.example"), QStringLiteral("lee@z.example")};
    QTest::newRow("twice") << QStringLiteral("<kim@z.example><kim@z.example>") << QStringList{QStringLiteral("kim@z.example")};
    QTest::newRow("no brackets") << QStringLiteral("kim@z.example") << QStringList{};
    QTest::newRow("no @ inside") << QStringLiteral("<kim>") << QStringList{};
}

void ChatSessionTest::pickedIds()
{
    QFETCH(QString, text);
    QTEST(ChatSession::idsFromPickedText(text), "ids");
}

QTEST_GUILESS_MAIN(ChatSessionTest)
#include "chatsessiontest.moc"
