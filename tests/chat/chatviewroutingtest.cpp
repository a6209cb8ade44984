// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "../app/recordingboxes.h"
#include "account.h"
#include "buddy.h"
#include "buddylist.h"
#include "chatlist.h"
#include "chatsession.h"
#include "chatview.h"
#include "clicklabel.h"
#include "emoticontable.h"
#include "group.h"
#include "grouplist.h"
#include "kzemvik.h"
#include "localserviceprocess.h"
#include "loginview.h"
#include "myedit.h"
#include "mypasswordedit.h"
#include "settings.h"
#include "testutil.h"
#include "zemvikdpconnection.h"

#include <KAboutData>
#include <KConfigGroup>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>


#include <memory>

namespace
{
QStringList storedChats(const QString &file)
{
    return TestUtil::queryRows(file, "SELECT CHATUSERS, BODYDATA FROM tb_local_chat");
}

QStringList senders(const QSignalSpy &spy)
{
    QStringList out;
    for (const QList<QVariant> &args : spy) {
        out << args.first().toStringList().value(2);
    }
    out.sort();
    out.removeDuplicates();
    return out;
}

QStringList sentLines(const QSignalSpy &spy, const QString &word)
{
    QStringList out;
    for (const QList<QVariant> &args : spy) {
        const QString line = args.first().toString();
        if (line.startsWith(word + QLatin1Char(' '))) {
            out << line;
        }
    }
    return out;
}
}

//! Conversations routed by the controller, against the local service and its scripted buddies.
class ChatViewRoutingTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void loginPopupText_data();
    void loginPopupText();
    void chatPopupText_data();
    void chatPopupText();
    void popupTextIsEscaped();
    void threeTalkBothWays();
    void droppedSwitchboardLosesNothing();
    void invitationFromStranger_data();
    void invitationFromStranger();
    void invitationRepointsOpenWindow();
    void emptyGroup();
    void loginPopupOnlyForNewArrivals();
    void chatPopupOpensItsWindow();
    void closingStoresWhenAsked_data();
    void closingStoresWhenAsked();

private:
    Buddy *buddy(const QString &id) const;
    ChatView *openChat(const QList<Buddy *> &with);
    void say(ChatView *view, const QString &text);

    std::unique_ptr<LocalServiceProcess> m_service;
    std::unique_ptr<RecordingBoxes> m_boxes;
    QTemporaryDir m_home;
    std::unique_ptr<KZemvik> m_window;
};

Buddy *ChatViewRoutingTest::buddy(const QString &id) const
{
    return CurrentAccount::instance()->buddyList->findByLoginId(id);
}

void ChatViewRoutingTest::initTestCase()
{
    // A home of our own: other test runs on this machine clear the shared test directories.
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    Settings::reset();
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("kzemvik"));
    KAboutData::setApplicationData(KAboutData(QStringLiteral("kzemvik"), QStringLiteral("Zemvik 메신저"), QStringLiteral("0.9")));
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kzemvikrc"));
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    Settings::reset();

    m_service = std::make_unique<LocalServiceProcess>();
    m_service->setBots(true);
    QVERIFY2(m_service->start(), qPrintable(m_service->errorOutput()));
    KConfigGroup g = Settings::config()->group("Config_Service");
    g.writeEntry("Dispatch_Host", m_service->host(QStringLiteral("dispatch")).toString());
    g.writeEntry("Dispatch_Port", int(m_service->port(QStringLiteral("dispatch"))));
    g.sync();

    m_boxes = std::make_unique<RecordingBoxes>();
    m_window = std::make_unique<KZemvik>();
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    QVERIFY(m_window->initialize());
    m_window->loginView()->idEdit()->setText(QStringLiteral("demo"));
    m_window->loginView()->domainCombo()->setCurrentIndex(0);
    m_window->loginView()->passwordEdit()->setText(QStringLiteral("demo1234"));
    QTest::keyClick(m_window->loginView()->passwordEdit(), Qt::Key_Return);
    QTRY_VERIFY2_WITH_TIMEOUT(m_window->isConnected(), qPrintable(m_boxes->texts.join(QLatin1Char('\n')) + m_service->errorOutput()), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(buddy(QStringLiteral("haeun@zemvik.example"))->isOnline(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(buddy(QStringLiteral("jiho@zemvik.example"))->isOnline(), 10000);
}

void ChatViewRoutingTest::cleanupTestCase()
{
    m_window.reset();
    m_boxes.reset();
    m_service.reset();
}

void ChatViewRoutingTest::cleanup()
{
    // Every test starts without windows; a window closed without content asks nothing.
    ChatList *list = m_window->chatList();
    for (ChatView *view : list->views()) {
        m_window->slotChatRemove(view, false);
    }
    QTRY_COMPARE(list->count(), 0);
    m_boxes->texts.clear();
    m_boxes->titles.clear();
    m_boxes->answer = true;
}

void ChatViewRoutingTest::loginPopupText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("nick");
    QTest::addColumn<QString>("text");
    QTest::newRow("name and nick") << QStringLiteral("박하은") << QStringLiteral("엄마") << QStringLiteral("박하은(엄마) 님이 로그인 하셨습니다.");
    QTest::newRow("no nick") << QStringLiteral("최민준") << QStringLiteral("%00") << QStringLiteral("최민준(최민준) 님이 로그인 하셨습니다.");
    QTest::newRow("long nick") << QStringLiteral("이서연") << QString(40, QLatin1Char('n'))
                               << QStringLiteral("이서연(") + QString(30, QLatin1Char('n')) + QStringLiteral("...) 님이 로그인 하셨습니다.");
    QTest::newRow("name longer than the room") << QString(40, QLatin1Char('a')) << QStringLiteral("b")
                                               << QString(40, QLatin1Char('a')) + QStringLiteral("(...) 님이 로그인 하셨습니다.");
}

void ChatViewRoutingTest::loginPopupText()
{
    QFETCH(QString, name);
    QFETCH(QString, nick);
    QFETCH(QString, text);
    QCOMPARE(KZemvik::loginPopupText(name, nick), text);
}

void ChatViewRoutingTest::chatPopupText_data()
{
    QTest::addColumn<bool>("isBuddy");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");
    const QString says = QStringLiteral("님의 대화 :\n");
    const QString sixty = QString(60, QChar(0xAC00));
    const QString id = QStringLiteral("x@y.example");
    const QString longId = QString(40, QLatin1Char('x')) + QStringLiteral("@y.example");
    QTest::newRow("short, buddy") << true << QStringLiteral("박하은") << id << QStringLiteral("안녕") << QStringLiteral("박하은...") + says + QStringLiteral("안녕");
    QTest::newRow("short, stranger") << false << QString() << id << QStringLiteral("hi") << id + says + QStringLiteral("hi");
    QTest::newRow("60 characters, four-character name") << true << QStringLiteral("남궁민수") << id << sixty << QStringLiteral("남궁민수...") + says + sixty.left(21);
    QTest::newRow("first line only") << true << QStringLiteral("a") << id << QStringLiteral("one%0Atwo") << QStringLiteral("a...") + says + QStringLiteral("one");
    QTest::newRow("flash emoticon") << true << QStringLiteral("a") << id << QStringLiteral("<FLCON x FLCON>")
                                    << QStringLiteral("a...") + says + QStringLiteral("플래시콘을 보내셨습니다.%0D");
    QTest::newRow("head longer than the room") << false << QString() << longId << QStringLiteral("text") << longId + QStringLiteral("...") + says;
}

void ChatViewRoutingTest::chatPopupText()
{
    QFETCH(bool, isBuddy);
    QFETCH(QString, name);
    QFETCH(QString, sender);
    QFETCH(QString, message);
    QFETCH(QString, text);
    const QString popup = KZemvik::chatPopupText(isBuddy, name, sender, QStringLiteral("굴림%090%09%09") + message);
    QCOMPARE(popup, text);
    if (name == QStringLiteral("남궁민수")) {
        QCOMPARE(popup.size(), 36); // the whole popup text fits 36 characters
    }
}

void ChatViewRoutingTest::popupTextIsEscaped()
{
    const EmoticonTable none(QString{});
    const QString text = KZemvik::loginPopupText(QStringLiteral("<b>굵게</b>"), QStringLiteral("a&b"));
    QCOMPARE(KZemvik::popupRichText(text, none), QStringLiteral("&lt;b&gt;굵게&lt;/b&gt;(a&amp;b) 님이 로그인 하셨습니다."));
    QCOMPARE(KZemvik::popupRichText(QStringLiteral("x님의 대화 :\n<i>%20y"), none), QStringLiteral("x님의 대화 :<br>&lt;i&gt; y"));
}

ChatView *ChatViewRoutingTest::openChat(const QList<Buddy *> &with)
{
    m_window->startChat(with);
    ChatView *view = m_window->chatList()->views().value(0);
    if (!view) {
        return nullptr;
    }
    // The scripted buddies take the invitations and come in.
    if (!QTest::qWaitFor([view] { return view->session()->isEntered() && view->session()->allPresent(); }, 10000)) {
        return nullptr;
    }
    return view;
}

void ChatViewRoutingTest::say(ChatView *view, const QString &text)
{
    view->inputField()->insertPlainText(text);
    QTest::keyClick(view->inputField(), Qt::Key_Return);
}

void ChatViewRoutingTest::threeTalkBothWays()
{
    Buddy *mom = buddy(QStringLiteral("haeun@zemvik.example"));
    Buddy *jiho = buddy(QStringLiteral("jiho@zemvik.example"));
    QSignalSpy sent(m_window->sessionConnection(), &ZemvikConnection::messageSent);
    ChatView *view = openChat({mom, jiho});
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QCOMPARE(view->participants().size(), 2);
    QCOMPARE(sentLines(sent, QStringLiteral("RESS")).size(), 1);
    const QStringList invitations = sentLines(sent, QStringLiteral("CTOC"));
    QCOMPARE(invitations.size(), 2);
    QVERIFY(invitations.first().contains(QStringLiteral(" haeun@zemvik.example N ")));
    QVERIFY(invitations.first().contains(QStringLiteral("INVT demo")));

    QSignalSpy received(view->session(), &ChatSession::chatMessage);
    say(view, QStringLiteral("안녕하세요 /윙크/"));
    QVERIFY(view->plainText().contains(QStringLiteral("안녕하세요 /윙크/")));
    QTRY_COMPARE_WITH_TIMEOUT(senders(received), (QStringList{QStringLiteral("haeun@zemvik.example"), QStringLiteral("jiho@zemvik.example")}), 10000);

    // A buddy who already has a window gets that window, and no new request goes out.
    m_window->startChat(mom);
    QCOMPARE(m_window->chatList()->count(), 1);
    QCOMPARE(sentLines(sent, QStringLiteral("RESS")).size(), 1);
    // Two buddies always get a window of their own.
    m_window->startChat(QList<Buddy *>{mom, jiho});
    QCOMPARE(m_window->chatList()->count(), 2);
}

void ChatViewRoutingTest::droppedSwitchboardLosesNothing()
{
    Buddy *mom = buddy(QStringLiteral("haeun@zemvik.example"));
    Buddy *jiho = buddy(QStringLiteral("jiho@zemvik.example"));
    ChatView *view = openChat({mom, jiho});
    QVERIFY(view);
    const int firstChat = view->chatID();

    // The switchboard connection drops under the conversation.
    QTcpSocket *socket = view->session()->findChild<QTcpSocket *>();
    QVERIFY(socket);
    socket->abort();
    QTRY_VERIFY(!view->session()->allPresent());

    QSignalSpy received(view->session(), &ChatSession::chatMessage);
    say(view, QStringLiteral("아직 거기 있어요?"));
    say(view, QStringLiteral("두 번째"));
    // A new switchboard is asked for, everyone is invited again, and the queue goes out in order.
    QTRY_VERIFY_WITH_TIMEOUT(view->session()->isEntered() && view->session()->allPresent(), 10000);
    QVERIFY(view->chatID() != firstChat);
    QTRY_VERIFY_WITH_TIMEOUT(view->session()->pendingMessages().isEmpty(), 10000);
    const QString plain = view->plainText();
    QVERIFY(plain.contains(QStringLiteral("아직 거기 있어요?")));
    QVERIFY(plain.indexOf(QStringLiteral("아직 거기 있어요?")) < plain.indexOf(QStringLiteral("두 번째")));
    QTRY_COMPARE_WITH_TIMEOUT(senders(received), (QStringList{QStringLiteral("haeun@zemvik.example"), QStringLiteral("jiho@zemvik.example")}), 10000);
}

void ChatViewRoutingTest::invitationFromStranger_data()
{
    QTest::addColumn<bool>("onlyBuddies");
    QTest::newRow("refused") << true;
    QTest::newRow("taken") << false;
}

void ChatViewRoutingTest::invitationFromStranger()
{
    QFETCH(bool, onlyBuddies);
    Settings::setPrivacy(onlyBuddies, false, false);
    CurrentAccount *account = CurrentAccount::instance();
    const char type = account->accountType;
    QSignalSpy sent(m_window->sessionConnection(), &ZemvikConnection::messageSent);
    const int before = m_window->sessionConnection()->nextTrid();

    m_window->gotINVT({QStringLiteral("INVT"), QStringLiteral("stranger@zemvik.example"), QStringLiteral("127.0.0.1"), QStringLiteral("9"), QStringLiteral("KEY1")});

    QCOMPARE(account->accountType, type);
    // Lines are reported once written; the request after the invitation marks the end of what it sent.
    const int marker = m_window->sessionConnection()->requestSwitchboard();
    QTRY_VERIFY(!sentLines(sent, QStringLiteral("RESS")).isEmpty());
    const QStringList refusals = sentLines(sent, QStringLiteral("CTOC"));
    if (onlyBuddies) {
        Settings::setPrivacy(false, false, false);
        QCOMPARE(m_window->chatList()->count(), 0);
        QCOMPARE(refusals.size(), 1);
        QVERIFY(refusals.first().contains(QStringLiteral(" stranger@zemvik.example N ")));
        QVERIFY(refusals.first().endsWith(QStringLiteral("INCK ") + account->loginID() + QStringLiteral(" KEY1")));
        return;
    }
    QVERIFY(refusals.isEmpty());
    QCOMPARE(m_window->chatList()->count(), 1);
    ChatView *view = m_window->chatList()->views().first();
    QCOMPARE(view->participants().size(), 1);
    QCOMPARE(view->participants().first()->loginId, QStringLiteral("stranger@zemvik.example"));
    // The window's number was taken from the session's numbering: no request can ever answer it.
    QVERIFY(view->chatID() > before);
    QVERIFY(marker > view->chatID());
}

void ChatViewRoutingTest::invitationRepointsOpenWindow()
{
    Buddy *mom = buddy(QStringLiteral("haeun@zemvik.example"));
    m_window->startChat(mom);
    QCOMPARE(m_window->chatList()->count(), 1);
    ChatView *view = m_window->chatList()->views().first();
    QTRY_VERIFY_WITH_TIMEOUT(view->session()->isEntered(), 10000);
    const QString address = m_service->address(QStringLiteral("switchboard"));
    const QString host = address.section(QLatin1Char(':'), 0, 0);
    const QString port = address.section(QLatin1Char(':'), 1);
    m_window->gotINVT({QStringLiteral("INVT"), mom->loginId, host, port, QStringLiteral("OTHERKEY")});
    QCOMPARE(m_window->chatList()->count(), 1);
    QCOMPARE(view->session()->key(), QStringLiteral("OTHERKEY"));

    // Short or broken invitations are dropped.
    m_window->gotINVT({QStringLiteral("INVT"), QStringLiteral("x@zemvik.example"), host});
    m_window->gotINVT({QStringLiteral("INVT"), QStringLiteral("x@zemvik.example"), host, QStringLiteral("99999"), QStringLiteral("K")});
    QCOMPARE(m_window->chatList()->count(), 1);
}

void ChatViewRoutingTest::emptyGroup()
{
    // Both members of this group are offline, and a member the buddy list does not know is skipped.
    GroupList *groups = CurrentAccount::instance()->groupList;
    Group *school = groups->findGroupByName(QStringLiteral("동창"));
    QVERIFY(school);
    school->addBuddy(QStringLiteral("no-such-handle"));
    m_window->slotStartChat(school->itemId());
    QCOMPARE(m_boxes->texts, QStringList{QStringLiteral("빈 그룹 입니다.")});
    QCOMPARE(m_boxes->titles, QStringList{QStringLiteral("그룹 대화")});
    QCOMPARE(m_window->chatList()->count(), 0);
    school->removeBuddy(QStringLiteral("no-such-handle"));
}

void ChatViewRoutingTest::loginPopupOnlyForNewArrivals()
{
    Settings::setAlarmBuddyConnect(true);
    Buddy *minjun = buddy(QStringLiteral("minjun@zemvik.example"));
    QVERIFY(minjun);
    QCOMPARE(minjun->status, QStringLiteral("F"));
    const int before = m_window->popupCount();
    const QStringList line{QStringLiteral("INFY"), QStringLiteral("0"), minjun->loginId, QStringLiteral("O"), QStringLiteral("0")};
    m_window->slotGotINFY(line);
    QCOMPARE(m_window->popupCount(), before);
    minjun->status = QStringLiteral("F");

    QStringList arrival = line;
    arrival[0] = QStringLiteral("NTFY");
    m_window->slotGotINFY(arrival);
    QCOMPARE(m_window->popupCount(), before + 1);
    QVERIFY(m_window->popup());
    QCOMPARE(m_window->popup()->property("popupText").toString(), QStringLiteral("최민준(최민준) 님이 로그인 하셨습니다."));
    minjun->status = QStringLiteral("F");
    Settings::setAlarmBuddyConnect(false);
}

void ChatViewRoutingTest::chatPopupOpensItsWindow()
{
    Settings::setAlarmChatStart(true);
    // An invitation opens a hidden window; a message in it is announced with a popup.
    m_window->gotINVT({QStringLiteral("INVT"), QStringLiteral("eunji@zemvik.example"), QStringLiteral("127.0.0.1"), QStringLiteral("9"), QStringLiteral("K")});
    QCOMPARE(m_window->chatList()->count(), 1);
    ChatView *view = m_window->chatList()->views().first();
    QVERIFY(!view->isVisible());
    const int before = m_window->popupCount();
    m_window->slotChatMessage({QStringLiteral("MESG"), QStringLiteral("3"), QStringLiteral("eunji@zemvik.example"), QStringLiteral("MSG"),
                               QStringLiteral("굴림%090%09%09<b>안녕</b>%20/방긋/")});
    QCOMPARE(m_window->popupCount(), before + 1);
    ClickLabel *popup = m_window->popup();
    QVERIFY(popup);
    QCOMPARE(popup->property("popupText").toString(), QStringLiteral("송은지...님의 대화 :\n<b>안녕</b>%20/방긋/"));
    QVERIFY(popup->text().contains(QStringLiteral("&lt;b&gt;안녕&lt;/b&gt;")));
    QTest::mouseClick(popup, Qt::LeftButton);
    QVERIFY(view->isVisible());
    QCOMPARE(m_window->popupCount(), before);
    Settings::setAlarmChatStart(false);
}

void ChatViewRoutingTest::closingStoresWhenAsked_data()
{
    QTest::addColumn<int>("policy");
    QTest::addColumn<bool>("stored");
    QTest::newRow("always") << 1 << true;
    QTest::newRow("never") << 2 << false;
}

void ChatViewRoutingTest::closingStoresWhenAsked()
{
    QFETCH(int, policy);
    QFETCH(bool, stored);
    Settings::setSaveChatLog(policy);
    const QString file = m_window->chatPath() + QStringLiteral("local_chat.db");
    const int rows = storedChats(file).size();
    ChatView *view = openChat({buddy(QStringLiteral("jiho@zemvik.example"))});
    QVERIFY(view);
    say(view, QStringLiteral("저장 시험"));
    QSignalSpy hides(view, &ChatView::hideChat);
    QVERIFY(view->close());
    QCOMPARE(hides.first().at(1).toBool(), stored);
    QTRY_COMPARE(m_window->chatList()->count(), 0);
    const QStringList after = storedChats(file);
    QCOMPARE(after.size(), rows + (stored ? 1 : 0));
    if (stored) {
        QVERIFY(after.last().startsWith(QStringLiteral("jiho@zemvik.example|")));
        QVERIFY(after.last().contains(QStringLiteral("저장 시험")));
    }
    QVERIFY(m_boxes->texts.isEmpty());
}

QTEST_MAIN(ChatViewRoutingTest)
#include "chatviewroutingtest.moc"
