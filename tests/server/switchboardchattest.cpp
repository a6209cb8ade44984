// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "account.h"
#include "buddy.h"
#include "buddylist.h"
#include "bot.h"
#include "chatsession.h"
#include "localservice.h"
#include "switchboardserver.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

//! Chat sessions of three members talking through the local switchboard.
class SwitchboardChatTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void threeMembers();
    void botAnswers();

private:
    void point(ChatSession &session, const QString &ownId, const SwitchboardTicket &ticket);
    BuddyList m_buddies; // nobody is anybody's buddy here
};

void SwitchboardChatTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    CurrentAccount *account = CurrentAccount::instance();
    account->name = QStringLiteral("Tester");
    account->nick = QStringLiteral("nick");
    account->cmn = QStringLiteral("77");
    account->buddyList = &m_buddies;
}

void SwitchboardChatTest::point(ChatSession &session, const QString &ownId, const SwitchboardTicket &ticket)
{
    session.setSwitchboard(ticket.host, ticket.port, ticket.key);
    session.setOwnId(ownId);
}

void SwitchboardChatTest::threeMembers()
{
    SwitchboardServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    const SwitchboardTicket ticket = server.issue(QStringLiteral("a@z"));

    // A opens the chat with B, who has not joined yet: A's first message waits.
    ChatSession a;
    a.addParticipant(QStringLiteral("b@z"), true);
    point(a, QStringLiteral("a@z"), ticket);
    QSignalSpy aInvites(&a, &ChatSession::putINVT);
    QVERIFY(a.connectToSwitchboard());
    QVERIFY(aInvites.wait());
    a.sendMessage(QStringLiteral("hello b"));
    QCOMPARE(a.pendingMessages().size(), 1);

    // B accepts the invitation: A is already there, and A's message arrives once B is in.
    ChatSession b;
    b.addParticipant(QStringLiteral("a@z"), true);
    point(b, QStringLiteral("b@z"), ticket);
    QSignalSpy bMessages(&b, &ChatSession::chatMessage);
    QVERIFY(b.connectToSwitchboard());
    QVERIFY(bMessages.wait());
    QVERIFY(b.allPresent());
    QCOMPARE(bMessages.first().first().toStringList().at(2), QStringLiteral("a@z"));
    QVERIFY(b.plainText().contains(QStringLiteral("hello%20b"))); // the saved form keeps the wire blanks
    QVERIFY(a.pendingMessages().isEmpty());

    // C comes in; what B says now reaches A and C.
    const SwitchboardTicket forC = ticket;
    ChatSession c;
    point(c, QStringLiteral("c@z"), forC);
    QSignalSpy cInvites(&c, &ChatSession::putINVT);
    QVERIFY(c.connectToSwitchboard());
    QVERIFY(cInvites.wait());
    QCOMPARE(c.participants().size(), 2);
    QTRY_COMPARE(a.participants().size(), 2);
    QTRY_COMPARE(b.participants().size(), 2);

    QSignalSpy aMessages(&a, &ChatSession::chatMessage);
    QSignalSpy cMessages(&c, &ChatSession::chatMessage);
    b.sendMessage(QStringLiteral("hi both"));
    QVERIFY(aMessages.wait());
    QTRY_COMPARE(cMessages.count(), 1);
    QVERIFY(c.plainText().contains(QStringLiteral("hi%20both")));

    // C says something and leaves: the others see C go.
    c.sendMessage(QStringLiteral("bye"));
    QTRY_COMPARE(aMessages.count(), 2);
    QSignalSpy aHtml(&a, &ChatSession::htmlAppended);
    c.closeConversation();
    QVERIFY(aHtml.wait());
    QVERIFY(aHtml.last().first().toString().contains(QStringLiteral("님이 대화방을 나갔습니다.")));
    QCOMPARE(a.participants().size(), 1);
    QTRY_COMPARE(b.participants().size(), 1);
    QTRY_COMPARE(server.participants(ticket.key), (QStringList{QStringLiteral("a@z"), QStringLiteral("b@z")}));
}

void SwitchboardChatTest::botAnswers()
{
    QTemporaryDir dir;
    LocalService service;
    LocalService::Options options;
    options.dataDirectory = dir.path();
    options.dispatchPort = 0;
    QVERIFY2(service.start(options), qPrintable(service.errorString()));
    QVERIFY(!service.bots().isEmpty());
    Bot *bot = service.bots().first();
    bot->setChatDelays(0, 20);

    const SwitchboardTicket ticket = service.switchboardServer()->issue(QStringLiteral("tester@z"));
    ChatSession me;
    me.addParticipant(bot->loginId(), true);
    point(me, QStringLiteral("tester@z"), ticket);
    QSignalSpy entered(&me, &ChatSession::putINVT);
    QVERIFY(me.connectToSwitchboard());
    QVERIFY(entered.wait());

    // The invitation as the session server hands it on.
    const QByteArray invitation = QStringLiteral("INVT tester@z %1 %2 %3").arg(ticket.host).arg(ticket.port).arg(ticket.key).toUtf8();
    QSignalSpy changed(&me, &ChatSession::participantsChanged);
    bot->deliver("CTOC 0 tester@z " + QByteArray::number(invitation.size()) + "\r\n" + invitation);
    QTRY_VERIFY(me.allPresent());
    QCOMPARE(bot->chatCount(), 1);

    QSignalSpy incoming(&me, &ChatSession::IncomingMessage);
    QSignalSpy answers(&me, &ChatSession::chatMessage);
    me.sendMessage(QStringLiteral("안녕하세요"));
    QVERIFY(answers.wait());
    QStringList kinds;
    for (const QList<QVariant> &args : qAsConst(incoming)) {
        kinds.append(args.first().toString().section(QLatin1Char(' '), 6, 6));
    }
    QCOMPARE(kinds, (QStringList{QStringLiteral("TYPING"), QStringLiteral("MSG")})); // a typing notice first, then the reply

    // We leave: the bot ends its side of the conversation.
    me.closeConversation();
    QTRY_COMPARE(bot->chatCount(), 0);
    QTRY_COMPARE(service.switchboardServer()->sessionCount(), 0);
}

QTEST_GUILESS_MAIN(SwitchboardChatTest)
#include "switchboardchattest.moc"
