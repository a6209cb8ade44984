// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "../app/recordingboxes.h"
#include "account.h"
#include "buddy.h"
#include "buddylist.h"
#include "chatsession.h"
#include "chatview.h"
#include "emoticonselector.h"
#include "myedit.h"
#include "settings.h"

#include <QAction>
#include <QInputMethodEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QScreen>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

class ChatViewTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void returnKeys_data();
    void returnKeys();
    void lengthIsCapped_data();
    void lengthIsCapped();
    void composingSyllableIsSent_data();
    void composingSyllableIsSent();
    void saveReportsWhatTheStoreSaid_data();
    void saveReportsWhatTheStoreSaid();
    void threeParticipants();
    void blockedParticipantStopsChatting();
    void ownOfflineStatus();
    void closingWithoutContent();
    void unsentTextComesBack();
    void captionBlinksUntilActive();
    void pickedTextInvitesBracketedIdsOnly();
    void emoticonPicker();
    void emoticonPickerFacesTheCentre();

private:
    Buddy *buddy(const QString &id, const QString &name, const QString &nick);
    BuddyList m_buddies;
    QList<Buddy *> m_owned;
    std::unique_ptr<RecordingBoxes> m_boxes;
    QTemporaryDir m_home;
};

Buddy *ChatViewTest::buddy(const QString &id, const QString &name, const QString &nick)
{
    auto *b = new Buddy(this);
    b->loginId = id;
    b->name = name;
    b->nick = nick;
    b->handle = QString::number(1000 + m_buddies.count());
    b->status = QStringLiteral("O");
    b->onForwardList = true;
    m_buddies.append(b);
    return b;
}

void ChatViewTest::initTestCase()
{
    // A home of our own: other test runs on this machine clear the shared test directories.
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    Settings::reset();
    QStandardPaths::setTestModeEnabled(true);
    CurrentAccount *account = CurrentAccount::instance();
    account->name = QStringLiteral("김데모");
    account->nick = QStringLiteral("데모");
    account->buddyList = &m_buddies;
    buddy(QStringLiteral("haeun@zemvik.example"), QStringLiteral("박하은"), QStringLiteral("엄마"));
    buddy(QStringLiteral("jiho@zemvik.example"), QStringLiteral("김지호"), QStringLiteral("막내"));
    buddy(QStringLiteral("seoyeon@zemvik.example"), QStringLiteral("이서연"), QStringLiteral("서연 :)"));
}

void ChatViewTest::init()
{
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kzemvikrc"));
    Settings::reset();
    m_boxes = std::make_unique<RecordingBoxes>();
    for (Buddy *b : m_buddies) {
        b->status = QStringLiteral("O");
        b->blocked = false;
        b->inChat = false;
    }
}

void ChatViewTest::cleanup()
{
    m_boxes.reset();
}

void ChatViewTest::returnKeys_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QStringList>("sent");

    QTest::newRow("return sends") << QStringLiteral("안녕") << int(Qt::NoModifier) << QString() << QStringList{QStringLiteral("안녕")};
    QTest::newRow("enter sends") << QStringLiteral("hi") << int(Qt::KeypadModifier) << QString() << QStringList{QStringLiteral("hi")};
    QTest::newRow("return on empty field") << QString() << int(Qt::NoModifier) << QString() << QStringList{};
    QTest::newRow("shift breaks the line") << QStringLiteral("a") << int(Qt::ShiftModifier) << QStringLiteral("a\n") << QStringList{};
    QTest::newRow("control breaks the line") << QStringLiteral("a") << int(Qt::ControlModifier) << QStringLiteral("a\n") << QStringList{};
    QTest::newRow("alt breaks the line") << QStringLiteral("a") << int(Qt::AltModifier) << QStringLiteral("a\n") << QStringList{};
}

void ChatViewTest::returnKeys()
{
    QFETCH(QString, typed);
    QFETCH(int, modifiers);
    QFETCH(QString, left);
    QFETCH(QStringList, sent);

    ChatView view(1);
    view.addParticipant(QStringLiteral("haeun@zemvik.example"), true); // not in the session: what is sent waits
    MyEdit *edit = view.inputField();
    edit->insertPlainText(typed);
    const Qt::Key key = modifiers == int(Qt::KeypadModifier) ? Qt::Key_Enter : Qt::Key_Return;
    QTest::keyClick(edit, key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(edit->toPlainText(), left);
    QCOMPARE(view.session()->pendingMessages(), sent);
}

void ChatViewTest::lengthIsCapped_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("4096 latin") << QString(4096, QLatin1Char('x'));
    QTest::newRow("5000 hangul") << QString(5000, QChar(0xD558));
    QTest::newRow("lines") << QStringLiteral("가나다\n").repeated(1100);
}

void ChatViewTest::lengthIsCapped()
{
    QFETCH(QString, text);
    MyEdit edit;
    edit.setPlainText(text);
    QCOMPARE(edit.toPlainText(), text.left(MyEdit::MaxLength));
    QCOMPARE(edit.textCursor().position(), MyEdit::MaxLength);
    QTest::keyClick(&edit, Qt::Key_Z);
    QCOMPARE(edit.toPlainText().size(), MyEdit::MaxLength);

    edit.setPlainText(QString(MyEdit::MaxLength, QLatin1Char('y')));
    QCOMPARE(edit.toPlainText().size(), MyEdit::MaxLength); // 4095 itself is allowed
}

void ChatViewTest::composingSyllableIsSent_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QStringList>("sent");

    QTest::newRow("only the syllable") << QString() << int(Qt::NoModifier) << QString() << QStringList{QStringLiteral("하")};
    QTest::newRow("after committed text") << QStringLiteral("안녕") << int(Qt::NoModifier) << QString() << QStringList{QStringLiteral("안녕하")};
    QTest::newRow("shift return keeps it") << QStringLiteral("안녕") << int(Qt::ShiftModifier) << QStringLiteral("안녕하\n") << QStringList{};
}

void ChatViewTest::composingSyllableIsSent()
{
    QFETCH(QString, before);
    QFETCH(int, modifiers);
    QFETCH(QString, left);
    QFETCH(QStringList, sent);

    ChatView view(1);
    view.addParticipant(QStringLiteral("haeun@zemvik.example"), true);
    MyEdit *edit = view.inputField();
    if (!before.isEmpty()) {
        QInputMethodEvent commit;
        commit.setCommitString(before);
        QCoreApplication::sendEvent(edit, &commit);
    }
    QInputMethodEvent compose(QStringLiteral("하"), {});
    QCoreApplication::sendEvent(edit, &compose);
    QCOMPARE(edit->preeditText(), QStringLiteral("하"));
    QCOMPARE(edit->toPlainText(), before); // still being composed: not text yet

    QTest::keyClick(edit, Qt::Key_Return, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(view.session()->pendingMessages(), sent);
    QCOMPARE(edit->toPlainText(), left);
    QVERIFY(edit->preeditText().isEmpty());
}

void ChatViewTest::saveReportsWhatTheStoreSaid_data()
{
    QTest::addColumn<int>("stored"); // -1: nobody answers
    QTest::addColumn<QString>("text");
    QTest::newRow("stored") << 1 << QStringLiteral("대화 내용을 저장하였습니다.");
    QTest::newRow("store failed") << 0 << QStringLiteral("대화 내용을 저장하지 못했습니다.");
    QTest::newRow("no store") << -1 << QStringLiteral("대화 내용을 저장하지 못했습니다.");
}

void ChatViewTest::saveReportsWhatTheStoreSaid()
{
    QFETCH(int, stored);
    QFETCH(QString, text);
    ChatView view(1);
    QSignalSpy saves(&view, &ChatView::saveChatLog);
    if (stored >= 0) {
        connect(&view, &ChatView::saveChatLog, this, [stored](ChatView *v, bool save) {
            QVERIFY(save);
            v->reportChatLogSaved(stored == 1);
        });
    }
    view.findChild<QAction *>(QStringLiteral("actionSave"))->trigger();
    QCOMPARE(saves.count(), 1);
    QCOMPARE(m_boxes->texts, QStringList{text});
    QCOMPARE(m_boxes->titles, QStringList{QStringLiteral("대화 내용 저장")});
}

void ChatViewTest::threeParticipants()
{
    ChatView view(1);
    view.resize(1000, 400);
    view.addParticipant(QStringLiteral("haeun@zemvik.example"), true);
    QVERIFY(!view.askBeforeClosing());
    view.addParticipant(QStringLiteral("jiho@zemvik.example"), true);
    view.addParticipant(QStringLiteral("seoyeon@zemvik.example"), true);
    const auto *label = view.findChild<QLabel *>(QStringLiteral("nicknameLabel"));
    QCOMPARE(label->text(), QStringLiteral("박하은 (엄마) 외2명"));
    QCOMPARE(label->toolTip(), QStringLiteral("박하은 (엄마)\n김지호 (막내)\n이서연 (서연 :))"));
    QCOMPARE(view.windowTitle(), QStringLiteral("박하은 (엄마),김지호 (막내),이서연 (서연 :))"));
    QVERIFY(view.askBeforeClosing());

    view.resize(120, 400); // too narrow: shortened
    view.refreshParticipants();
    QVERIFY(label->text().endsWith(QStringLiteral("...")));

    // Closing asks first; No keeps the window.
    view.show();
    m_boxes->answer = false;
    QSignalSpy hides(&view, &ChatView::hideChat);
    QVERIFY(!view.close());
    QCOMPARE(m_boxes->texts, QStringList{QStringLiteral("대화창이 닫힙니다.\n대화창을 닫으시겠습니까?")});
    QCOMPARE(hides.count(), 0);
    QVERIFY(view.isVisible());
}

void ChatViewTest::blockedParticipantStopsChatting()
{
    ChatView view(1);
    view.resize(1000, 400); // room for the whole nick on the status line
    Buddy *mom = m_buddies.findByLoginId(QStringLiteral("haeun@zemvik.example"));
    mom->blocked = true;
    view.addParticipant(mom->loginId, false);
    auto *send = view.findChild<QToolButton *>(QStringLiteral("sendButton"));
    auto *invite = view.findChild<QToolButton *>(QStringLiteral("inviteButton"));
    QVERIFY(!view.isChattingEnabled());
    QVERIFY(!view.inputField()->isEnabled());
    QVERIFY(!invite->isEnabled());
    QVERIFY(!view.findChild<QAction *>(QStringLiteral("actionSendMemo"))->isEnabled());
    QCOMPARE(view.statusText(), QStringLiteral("박하은 (엄마) 님은 차단되었으므로 대화에 응답하지 않습니다."));
    QCOMPARE(view.findChild<QAction *>(QStringLiteral("actionLock"))->text(), QStringLiteral("친구 차단 해제"));

    mom->blocked = false;
    mom->status = QStringLiteral("A");
    view.refreshStatusNotice();
    QVERIFY(view.isChattingEnabled());
    QVERIFY(invite->isEnabled());
    QVERIFY(!send->isEnabled()); // nothing typed yet
    QTest::keyClicks(view.inputField(), QStringLiteral("x"));
    QVERIFY(send->isEnabled());
    QCOMPARE(view.statusText(), QStringLiteral("박하은 (엄마)님이 [자리비움]이므로 응답하지 않을 수도 있습니다."));
}

void ChatViewTest::ownOfflineStatus()
{
    ChatView view(1);
    view.resize(1000, 400);
    m_buddies.findByLoginId(QStringLiteral("jiho@zemvik.example"))->status = QStringLiteral("B");
    view.addParticipant(QStringLiteral("jiho@zemvik.example"), false);
    view.slotChangeStatus(5);
    QVERIFY(!view.isChattingEnabled());
    QCOMPARE(view.statusText(),
             QStringLiteral("김지호 (막내)님이 [다른 용무 중]이므로 응답하지 않을 수도 있습니다.\n회원님은 현재 [오프라인]으로 설정되어 있습니다."));
    QVERIFY(view.findChild<QAction *>(QStringLiteral("actionStatus5"))->isChecked());

    m_buddies.findByLoginId(QStringLiteral("jiho@zemvik.example"))->status = QStringLiteral("O");
    view.refreshStatusNotice();
    view.slotChangeStatus(0);
    QVERIFY(view.isChattingEnabled());
    QVERIFY(view.statusText().isEmpty());
    QVERIFY(view.findChild<QLabel *>(QStringLiteral("statusLabel"))->isHidden());
}

void ChatViewTest::closingWithoutContent()
{
    Settings::setSaveChatLog(0); // would ask, if anything had been said
    ChatView view(1);
    view.addParticipant(QStringLiteral("haeun@zemvik.example"), true);
    view.show();
    QSignalSpy hides(&view, &ChatView::hideChat);
    QSignalSpy lines(&view, &ChatView::OutgoingMessage);
    QVERIFY(view.close());
    QCOMPARE(hides.count(), 1);
    QCOMPARE(hides.first().at(1).toBool(), false);
    QCOMPARE(lines.count(), 0);
    QVERIFY(m_boxes->texts.isEmpty());
}

void ChatViewTest::unsentTextComesBack()
{
    ChatView view(1);
    view.session()->setTimeouts(20, 5000);
    view.addParticipant(QStringLiteral("haeun@zemvik.example"), true);
    view.inputField()->insertPlainText(QStringLiteral("아무도 못 받은 말"));
    QTest::keyClick(view.inputField(), Qt::Key_Return);
    QVERIFY(view.inputField()->toPlainText().isEmpty());
    // No session came up: the text is back in the field, and the view says so.
    QTRY_COMPARE(view.inputField()->toPlainText(), QStringLiteral("아무도 못 받은 말"));
    QVERIFY(view.session()->pendingMessages().isEmpty());
    QVERIFY(view.findChild<QTextBrowser *>(QStringLiteral("ChatViewQTE"))->toPlainText().contains(QStringLiteral("보내지 못했습니다")));
}

void ChatViewTest::captionBlinksUntilActive()
{
    ChatView other(2);
    ChatView view(1);
    view.addParticipant(QStringLiteral("stranger@mail.example"), true); // not a buddy: the caption is the ID
    QCOMPARE(view.windowTitle(), QStringLiteral("stranger@mail.example"));
    view.show();
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    view.startBlinking();
    QCOMPARE(view.windowTitle(), QStringLiteral("STRANGER@MAIL.EXAMPLE"));
    QTRY_COMPARE(view.windowTitle(), QStringLiteral("메세지 왔습니다."));
    view.activateWindow();
    QTRY_VERIFY(!view.isBlinking());
    QCOMPARE(view.windowTitle(), QStringLiteral("stranger@mail.example"));
}

void ChatViewTest::pickedTextInvitesBracketedIdsOnly()
{
    ChatView view(1);
    QSignalSpy invites(&view, &ChatView::putINVT_Invite);
    view.slotAddBuddies(QStringLiteral("\"mail@name.example\" <jiho@zemvik.example>;\"서연\" <seoyeon@zemvik.example>;loose@id.example"));
    QCOMPARE(invites.count(), 1);
    QCOMPARE(invites.first().at(1).toStringList(), (QStringList{QStringLiteral("jiho@zemvik.example"), QStringLiteral("seoyeon@zemvik.example")}));
    view.slotAddBuddies(QStringLiteral("\"someone@else.example\""));
    QCOMPARE(invites.count(), 1); // nobody named inside "<…>": nobody invited
}

void ChatViewTest::emoticonPicker()
{
    ChatView view(1);
    view.slotEmoticonDialog();
    EmoticonSelector *picker = view.emoticonSelector();
    QVERIFY(picker);
    QCOMPARE(picker->objectName(), QStringLiteral("EmoticonSelector"));
    QVERIFY(picker->isVisible());
    QTabWidget *tabs = picker->tabWidget();
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i) {
        titles << tabs->tabText(i);
    }
    QCOMPARE(titles, (QStringList{QStringLiteral("감정"), QStringLiteral("음식"), QStringLiteral("사물"), QStringLiteral("기타"), QStringLiteral("시즌")}));
    int buttons = 0;
    for (const QToolButton *button : tabs->findChildren<QToolButton *>()) {
        buttons += button->objectName().startsWith(QLatin1Char('/')) ? 1 : 0;
    }
    QCOMPARE(buttons, 144);

    MyEdit *edit = view.inputField();
    edit->insertPlainText(QStringLiteral("안녕"));
    QToolButton *wink = picker->button(QStringLiteral("/윙크/"));
    QVERIFY(wink);
    QCOMPARE(wink->toolTip(), QStringLiteral("/윙크/"));
    QTest::mouseClick(wink, Qt::LeftButton);
    QTest::mouseClick(wink, Qt::LeftButton);
    QCOMPARE(edit->toPlainText(), QStringLiteral("안녕/윙크//윙크/"));
    tabs->setCurrentIndex(4);
    QCOMPARE(edit->toPlainText(), QStringLiteral("안녕/윙크//윙크/"));

    view.slotEmoticonDialog();
    QVERIFY(picker->isHidden());
}

void ChatViewTest::emoticonPickerFacesTheCentre()
{
    ChatView view(1);
    view.move(10, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.slotEmoticonDialog();
    EmoticonSelector *picker = view.emoticonSelector();
    QCOMPARE(picker->pos().x(), view.frameGeometry().right() + 1);
    QCOMPARE(picker->pos().y() + picker->frameGeometry().height(), view.frameGeometry().bottom() + 1);

    // Moved to the right half: the picker follows to the left side.
    const QRect screen = view.screen()->geometry();
    view.move(screen.right() - view.width() - 10, 100);
    QTRY_COMPARE(picker->pos().x(), view.frameGeometry().left() - picker->frameGeometry().width());
}

QTEST_MAIN(ChatViewTest)
#include "chatviewtest.moc"
