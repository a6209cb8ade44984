// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "chatview.h"

#include "account.h"
#include "addbuddyselector.h"
#include "buddy.h"
#include "chat_debug.h"
#include "chatsession.h"
#include "chattext.h"
#include "common.h"
#include "emoticonselector.h"
#include "messageboxes.h"
#include "myedit.h"
#include "pics.h"
#include "sendfileinfo.h"
#include "settings.h"
#include "ui_chatqw.h"
#include "weblinks.h"

#include <KGuiItem>
#include <KHelpMenu>
#include <KMessageBox>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QUrlQuery>

namespace
{
const QSize s_defaultSize(380, 400);
const QColor s_enabledBackground(249, 253, 255);
const QColor s_disabledBackground(164, 167, 174);

struct StatusEntry {
    const char *label; //!< the status notice's label
    const char *icon;
};

//! Presence letter → notice label and icon; "O" has no notice.
bool statusEntry(const QString &letter, StatusEntry *entry)
{
    static const QHash<QString, StatusEntry> table{
        {QStringLiteral("A"), {"[자리비움]", "main_list_state_vacant.png"}},
        {QStringLiteral("B"), {"[다른 용무 중]", "main_list_state_otherbusiness.png"}},
        {QStringLiteral("P"), {"[통화 중]", "main_list_state_onphone.png"}},
        {QStringLiteral("M"), {"[회의 중]", "main_list_state_meeting.png"}},
        {QStringLiteral("F"), {"[오프 라인]", "main_list_state_offline.png"}},
    };
    const auto it = table.constFind(letter);
    if (it == table.constEnd()) {
        return false;
    }
    *entry = *it;
    return true;
}

QIcon pictureIcon(const QString &base)
{
    QIcon icon;
    icon.addPixmap(Pics::pixmap(base + QStringLiteral(".bmp")), QIcon::Normal);
    const QPixmap over = Pics::pixmap(base + QStringLiteral("_ov.bmp"));
    if (!over.isNull()) {
        icon.addPixmap(over, QIcon::Active);
    }
    return icon;
}

//! Peer text inside a question box, which may read its text as rich text.
QString boxText(const QString &plain)
{
    return QStringLiteral("<qt>") + ChatText::escapeHtml(plain).replace(QLatin1Char('\n'), QStringLiteral("<br>")) + QStringLiteral("</qt>");
}
}

ChatView::ChatView(int chatID, QWidget *parent)
    : QWidget(parent)
    , m_pForm(std::make_unique<Ui::ChatQW>())
    , m_pSession(new ChatSession(this))
    , m_chatID(chatID)
    , m_pBlinkTimer(new QTimer(this))
{
    m_pForm->setupUi(this);
    setAcceptDrops(false);
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildMenus();
    setUpButtons();

    m_pForm->textLabel1->clear();
    m_pForm->statusLabel->hide();
    m_pForm->headerPanel->setAutoFillBackground(true);
    QPalette header = m_pForm->headerPanel->palette();
    header.setColor(QPalette::Window, QColor(0xe8, 0xf1, 0xfb));
    m_pForm->headerPanel->setPalette(header);
    QFont bold = m_pForm->nicknameLabel->font();
    bold.setBold(true);
    m_pForm->nicknameLabel->setFont(bold);
    m_pForm->statusLabel->setAutoFillBackground(true);
    QPalette notice = m_pForm->statusLabel->palette();
    notice.setColor(QPalette::Window, QColor(0xff, 0xf6, 0xd5));
    m_pForm->statusLabel->setPalette(notice);
    QFont small = m_pForm->textLabel1->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_pForm->textLabel1->setFont(small);
    m_pForm->statusLabel->setFont(small);
    QPalette info = m_pForm->textLabel1->palette();
    info.setColor(QPalette::WindowText, QColor(0x6b, 0x72, 0x80));
    m_pForm->textLabel1->setPalette(info);

    m_pBlinkTimer->setInterval(1000);
    connect(m_pBlinkTimer, &QTimer::timeout, this, &ChatView::blinkCaption);

    MyEdit *edit = m_pForm->ChatEditQTE;
    connect(m_pForm->sendButton, &QToolButton::clicked, this, &ChatView::sendMSG);
    connect(m_pForm->sendFileButton, &QToolButton::clicked, this, &ChatView::slotSendFile);
    connect(edit, &QTextEdit::textChanged, this, &ChatView::slotSendTyping);
    connect(edit, &MyEdit::onlyReturn, this, &ChatView::sendMSG);
    connect(m_pForm->inviteButton, &QToolButton::clicked, this, &ChatView::slotInviteDialog);
    connect(m_pForm->fontButton, &QToolButton::clicked, this, &ChatView::slotFontDialog);
    connect(m_pForm->fontColorButton, &QToolButton::clicked, this, &ChatView::slotFontColorDialog);
    connect(m_pForm->emoticonButton, &QToolButton::clicked, this, &ChatView::slotEmoticonDialog);
    connect(m_pStatusGroup, &QActionGroup::triggered, this, &ChatView::slotStatus);

    wireSession();

    enableChatting();
    m_pForm->sendButton->setEnabled(false);
    m_pForm->ChatViewQTE->clear();
    m_pForm->ChatViewQTE->setReadOnly(true);

    edit->setFont(Settings::chatFont());
    QPalette text = edit->palette();
    text.setColor(QPalette::Text, Settings::chatFontColor());
    edit->setPalette(text);
    edit->setFocus();

    const QSize size = Settings::chatWindowSize();
    resize(size.isValid() && !size.isEmpty() ? size : s_defaultSize);
    setWindowIcon(QIcon(Pics::pixmap(QStringLiteral("main_list_state_online.png"))));
}

ChatView::~ChatView()
{
    // Our side of the switchboard goes quietly: the controller is already done with us.
    m_pSession->disconnect(this);
}

void ChatView::wireSession()
{
    ChatSession *s = m_pSession;
    connect(s, &ChatSession::OutgoingMessage, this, &ChatView::OutgoingMessage);
    connect(s, &ChatSession::IncomingMessage, this, &ChatView::IncomingMessage);
    connect(s, &ChatSession::BuddyAdded, this, &ChatView::BuddyAdded);
    connect(s, &ChatSession::disconnectedSS, this, &ChatView::disconnectedSS);
    connect(s, &ChatSession::putINVT, this, [this] { Q_EMIT putINVT(this); });
    connect(s, &ChatSession::newConnectSS, this, [this] { Q_EMIT newConnectSS(this); });
    connect(s, &ChatSession::sendFile, this, &ChatView::sendFile);
    connect(s, &ChatSession::sendRECQNEW, this, [this](ChatSession *, SendFileInfo *info) { Q_EMIT sendRECQNEW(this, info); });
    connect(s, &ChatSession::cancelReceive, this, &ChatView::cancelReceive);
    connect(s, &ChatSession::cancelReceiveAll, this, &ChatView::cancelReceiveAll);
    connect(s, &ChatSession::cancelFileTransfer, this, &ChatView::cancelFileTransfer);
    connect(s, &ChatSession::htmlAppended, this, &ChatView::appendHtml);
    connect(s, &ChatSession::infoTextChanged, m_pForm->textLabel1, &QLabel::setText);
    connect(s, &ChatSession::participantsChanged, this, [this] {
        refreshParticipants();
        refreshStatusNotice();
        updateLockEntry();
    });
    connect(s, &ChatSession::nonBuddyParticipant, this, &ChatView::slotNonBuddyParticipant);
    connect(s, &ChatSession::showRequested, this, [this] {
        if (isHidden()) {
            show();
        }
    });
    connect(s, &ChatSession::chatMessage, this, &ChatView::slotChatMessage);
    connect(s, &ChatSession::participantsUnavailable, this, &ChatView::slotParticipantsUnavailable);
    connect(s, &ChatSession::messagesFailed, this, &ChatView::slotMessagesFailed);
    connect(s, &ChatSession::filesFailed, this, &ChatView::slotFilesFailed);
    s->setEmoticonsProvider([] { return Settings::useChatEmoticon(); });
    s->setNickFitter([this](const QString &nick) { return fitted(nick, QStringLiteral(" () 님이 메세지를 입력하고 있습니다.")); });
    s->setFileOfferHandler([this](const QString &sender, const QString &fileName, qint64 size) { return askFileOffer(sender, fileName, size); });
}

void ChatView::buildMenus()
{
    m_pMenuBar = new QMenuBar(this);
    m_pMenuBar->setObjectName(QStringLiteral("chatMenuBar"));
    layout()->setMenuBar(m_pMenuBar);
    auto add = [this](QMenu *menu, const QString &text, const char *name, void (ChatView::*slot)()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };

    QMenu *file = m_pMenuBar->addMenu(QStringLiteral("파일(&F)"));
    add(file, QStringLiteral("대화 내용 저장 하기(&S)"), "actionSave", &ChatView::slotSave)->setShortcut(QKeySequence::Save);
    add(file, QStringLiteral("받은 파일 폴더 열기(&R)"), "actionFileFolder", &ChatView::slotFileFolder);
    add(file, QStringLiteral("지난 대화 보기(&L)"), "actionShowChatLog", &ChatView::slotShowChatLog);
    file->addSeparator();
    add(file, QStringLiteral("창 닫기(&X)"), "actionClose", &ChatView::slotClose)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));

    QMenu *act = m_pMenuBar->addMenu(QStringLiteral("동작(&A)"));
    m_pInviteAction = add(act, QStringLiteral("초대하기(&I)"), "actionInvite", &ChatView::slotInvite);
    m_pMemoAction = add(act, QStringLiteral("쪽지 보내기(&N)"), "actionSendMemo", &ChatView::slotSendMemo);
    m_pFileAction = add(act, QStringLiteral("파일 보내기(&F)"), "actionSendFile", &ChatView::slotSendFile);

    QMenu *buddy = m_pMenuBar->addMenu(QStringLiteral("친구(&B)"));
    add(buddy, QStringLiteral("프로필 보기"), "actionShowProfile", &ChatView::slotShowProfile);
    m_pAddBuddyAction = add(buddy, QStringLiteral("친구 추가(&A)"), "actionAddBuddy", &ChatView::slotAddBuddy);
    m_pLockAction = add(buddy, QStringLiteral("친구 차단(&X)"), "actionLock", &ChatView::slotLock);

    QMenu *setup = m_pMenuBar->addMenu(QStringLiteral("설정(&T)"));
    QMenu *status = setup->addMenu(QStringLiteral("내 상태 설정(&C)"));
    m_pStatusGroup = new QActionGroup(this);
    m_pStatusGroup->setExclusive(true);
    const struct {
        const char *text;
        const char *icon;
    } statuses[] = {
        {"온라인", "main_list_state_online.png"},
        {"자리 비움", "main_list_state_vacant.png"},
        {"다른 용무 중", "main_list_state_otherbusiness.png"},
        {"통화 중", "main_list_state_onphone.png"},
        {"회의 중", "main_list_state_meeting.png"},
        {"오프라인 표시", "main_list_state_offline.png"},
    };
    for (int i = 0; i < 6; ++i) {
        QAction *action = status->addAction(QIcon(Pics::pixmap(QLatin1String(statuses[i].icon))), QString::fromUtf8(statuses[i].text));
        action->setCheckable(true);
        action->setData(i);
        action->setObjectName(QStringLiteral("actionStatus%1").arg(i));
        m_pStatusGroup->addAction(action);
        m_statusActions.append(action);
    }
    add(setup, QStringLiteral("내 대화명 설정(&N)"), "actionChangeNick", &ChatView::slotChangeNick);
    add(setup, QStringLiteral("내 프로필 설정(&P)"), "actionEditMyProfile", &ChatView::slotEditMyProfile);
    m_pAlwaysTopAction = add(setup, QStringLiteral("항상 위(&T)"), "actionAlwaysTop", &ChatView::slotAlwaysTop);
    m_pAlwaysTopAction->setCheckable(true);
    add(setup, QStringLiteral("환경 설정(&S)"), "actionSetup", &ChatView::slotSetup);

    QMenu *help = m_pMenuBar->addMenu(QStringLiteral("도움말(&H)"));
    add(help, QStringLiteral("Zemvik 홈(&O)"), "actionZemvikHome", &ChatView::slotGoZemvikHome);
    add(help, QStringLiteral("Mavrelo 홈(&C)"), "actionMavreloHome", &ChatView::slotGoMavreloHome);
    add(help, QStringLiteral("Tirn닷컴 홈(&N)"), "actionTirnHome", &ChatView::slotGoTirnDotComHome);
    help->addSeparator();
    add(help, QStringLiteral("Zemvik 이용 가이드(&H)"), "actionHelp", &ChatView::slotGoHelp);
    add(help, QStringLiteral("Zemvik 미니Kivra(&M)"), "actionMiniKivra", &ChatView::slotGoZemvikMiniKivra);
    add(help, QStringLiteral("Zemvik HotTip(&I)"), "actionHotTip", &ChatView::slotGoHotTip);
    add(help, QStringLiteral("Zemvik FAQ(&F)"), "actionFaq", &ChatView::slotGoFaq);
    help->addSeparator();
    add(help, QStringLiteral("Zemvik 정보(&V)"), "actionInfo", &ChatView::slotInfo);
}

void ChatView::setUpButtons()
{
    const struct {
        QToolButton *button;
        const char *picture;
    } buttons[] = {
        {m_pForm->inviteButton, "chw_ico_invite"},
        {m_pForm->sendFileButton, "chw_ico_sendfile"},
        {m_pForm->emoticonButton, "chw_emoticon"},
        {m_pForm->fontButton, "chw_font"},
        {m_pForm->fontColorButton, "chw_fontcolor"},
        {m_pForm->sendButton, "chw_bt_send_nor"},
    };
    for (const auto &b : buttons) {
        QString base = QLatin1String(b.picture);
        QIcon icon;
        if (base.endsWith(QLatin1String("_nor"))) {
            base.chop(4);
            icon.addPixmap(Pics::pixmap(base + QStringLiteral("_nor.bmp")), QIcon::Normal);
            icon.addPixmap(Pics::pixmap(base + QStringLiteral("_ov.bmp")), QIcon::Active);
        } else {
            icon = pictureIcon(base);
        }
        b.button->setIcon(icon);
        const QSize size = icon.availableSizes().value(0, QSize(24, 24));
        b.button->setIconSize(size);
        b.button->setAutoRaise(true);
        b.button->setCursor(Qt::PointingHandCursor);
    }
    if (m_pForm->sendButton->icon().isNull()) {
        m_pForm->sendButton->setText(QStringLiteral("보내기"));
    }
}

// ---- state the controller reads

int ChatView::chatID() const
{
    return m_chatID;
}

void ChatView::setChatID(int chatID)
{
    m_chatID = chatID;
}

ChatSession *ChatView::session() const
{
    return m_pSession;
}

MyEdit *ChatView::inputField() const
{
    return m_pForm->ChatEditQTE;
}

bool ChatView::connectToSwitchboard(const QString &host, quint16 port, const QString &key, const QString &ownId)
{
    m_pSession->setSwitchboard(host, port, key);
    m_pSession->setOwnId(ownId);
    return m_pSession->connectToSwitchboard();
}

Buddy *ChatView::addParticipant(const QString &loginId, bool absent)
{
    return m_pSession->addParticipant(loginId, absent);
}

QList<Buddy *> ChatView::participants() const
{
    return m_pSession->participants();
}

QString ChatView::plainText() const
{
    return m_pSession->plainText();
}

QString ChatView::rememberedCaption() const
{
    return m_caption;
}

bool ChatView::isBlinking() const
{
    return m_pBlinkTimer->isActive();
}

bool ChatView::askBeforeClosing() const
{
    return m_askBeforeClosing;
}

bool ChatView::isChattingEnabled() const
{
    return m_chatting;
}

QString ChatView::statusText() const
{
    return m_pForm->statusLabel->isHidden() ? QString() : m_pForm->statusLabel->text();
}

Buddy *ChatView::firstParticipant() const
{
    const QList<Buddy *> list = participants();
    return list.isEmpty() ? nullptr : list.first();
}

QString ChatView::fitted(const QString &text, const QString &rest) const
{
    const QFontMetrics metrics(font());
    return Common::elideToWidth(text, metrics, width() - metrics.horizontalAdvance(rest));
}

// ---- conversation view

void ChatView::appendHtml(const QString &html)
{
    QTextBrowser *view = m_pForm->ChatViewQTE;
    view->append(html);
    view->moveCursor(QTextCursor::End);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
}

void ChatView::appendNotice(const QString &text)
{
    appendHtml(QStringLiteral("<p style=\"margin-left:15px\"><font color=\"#c0392b\">") + ChatText::escapeHtml(text).replace(QLatin1Char('\n'), QStringLiteral("<br>"))
               + QStringLiteral("</font></p>"));
}

void ChatView::slotChatMessage(const QStringList &fields, bool away)
{
    if (!away && !isActiveWindow()) {
        startBlinking();
    }
    if (!isVisible()) {
        m_pForm->ChatEditQTE->setFocus();
        showMinimized();
        Q_EMIT gotChatMessage(fields);
    }
}

void ChatView::slotParticipantsUnavailable(const QStringList &names)
{
    const QString rest = QStringLiteral("는 현재 메세지를 받을 수 없습니다.");
    showStatusNotice(fitted(names.join(QStringLiteral(", ")), rest) + rest);
}

void ChatView::slotMessagesFailed(const QStringList &texts)
{
    appendNotice(QStringLiteral("다음 메시지를 보내지 못했습니다:\n") + texts.join(QLatin1Char('\n')));
    // Nothing typed is lost: the unsent text comes back into an empty input field.
    MyEdit *edit = m_pForm->ChatEditQTE;
    if (edit->toPlainText().isEmpty()) {
        edit->setPlainText(texts.join(QLatin1Char('\n')));
        edit->moveCursor(QTextCursor::End);
    }
}

void ChatView::slotFilesFailed(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths) {
        names.append(QFileInfo(path).fileName());
    }
    appendNotice(QStringLiteral("다음 파일을 보내지 못했습니다:\n") + names.join(QLatin1Char('\n')));
}

void ChatView::notifyTransferCancelled()
{
    appendHtml(m_pSession->renderer().transferCancelledNotice());
}

void ChatView::notifyTransferFinished(const SendFileInfo *info)
{
    if (info) {
        appendHtml(m_pSession->renderer().transferFinishedNotice(info->filePath, info->fileSize));
    }
}

bool ChatView::askFileOffer(const QString &sender, const QString &fileName, qint64 size)
{
    if (isHidden()) {
        show();
    }
    const QString text = QStringLiteral("상대방의 수락을 기다리는 중입니다.\n전송자: ") + sender + QStringLiteral("\n파일명: ") + fileName + QStringLiteral(" (")
        + QString::number(size) + QLatin1Char(')');
    return MessageBoxes::instance()->questionYesNo(this, boxText(text), QStringLiteral("파일전송"));
}

// ---- sending

void ChatView::sendMSG()
{
    MyEdit *edit = m_pForm->ChatEditQTE;
    const QString text = edit->toPlainText();
    if (text.isEmpty() || !m_chatting) {
        return;
    }
    edit->clear();
    m_pSession->sendMessage(text);
    edit->setFocus();
}

void ChatView::slotSendTyping()
{
    updateSendButton();
    if (!m_pForm->ChatEditQTE->toPlainText().isEmpty()) {
        m_pSession->sendTyping();
    }
}

void ChatView::updateSendButton()
{
    m_pForm->sendButton->setEnabled(m_chatting && !m_pForm->ChatEditQTE->toPlainText().isEmpty());
}

// ---- participants and notices

void ChatView::refreshParticipants()
{
    if (m_pSession->isNonBuddyConversation()) {
        return;
    }
    const QList<Buddy *> list = participants();
    QStringList entries;
    for (const Buddy *buddy : list) {
        entries.append(buddy->name + QStringLiteral(" (") + buddy->nick + QLatin1Char(')'));
    }
    m_caption = entries.join(QLatin1Char(','));
    m_pForm->nicknameLabel->setToolTip(entries.join(QLatin1Char('\n')));
    QString label = entries.value(0);
    if (entries.size() >= 2) {
        label += QStringLiteral(" 외") + QString::number(entries.size() - 1) + QStringLiteral("명");
    }
    const QFontMetrics metrics(m_pForm->nicknameLabel->font());
    m_pForm->nicknameLabel->setText(label.isEmpty() ? label : Common::elideToWidth(label, metrics, width() - 50));
    if (!isBlinking()) {
        setWindowTitle(m_caption);
    }
    m_askBeforeClosing = entries.size() >= 2;
}

void ChatView::slotNonBuddyParticipant(const QString &loginId)
{
    m_caption = loginId;
    setWindowTitle(loginId);
    m_pForm->nicknameLabel->setText(loginId);
    m_pForm->nicknameLabel->setToolTip(loginId);
    m_pForm->statusIconLabel->hide();
}

void ChatView::refreshStatusNotice()
{
    QStringList lines;
    QString icon;
    m_participantBlocked = false;
    const QList<Buddy *> list = participants();
    for (const Buddy *buddy : list) {
        const QString nick = fitted(buddy->nick, QStringLiteral(" ()님이 [다른 용무 중]이므로 응답하지 않을 수도 있습니다."));
        const QString who = buddy->name + QStringLiteral(" (") + nick + QLatin1Char(')');
        if (buddy->blocked) {
            lines.append(who + QStringLiteral(" 님은 차단되었으므로 대화에 응답하지 않습니다."));
            icon = buddy->status == QLatin1String("F") ? QStringLiteral("main_list_state_cut_offline.png") : QStringLiteral("main_list_state_cut_online.png");
            m_participantBlocked = true;
            continue;
        }
        StatusEntry entry{};
        if (statusEntry(buddy->status, &entry)) {
            lines.append(who + QStringLiteral("님이 ") + QString::fromUtf8(entry.label) + QStringLiteral("이므로 응답하지 않을 수도 있습니다."));
            icon = QLatin1String(entry.icon);
        } else if (buddy->status == QLatin1String("O")) {
            icon = QStringLiteral("main_list_state_online.bmp");
        }
    }
    if (!icon.isEmpty()) {
        m_pForm->statusIconLabel->setPixmap(Pics::pixmap(icon));
        if (!m_pSession->isNonBuddyConversation()) {
            m_pForm->statusIconLabel->show();
        }
    }
    m_participantsNotice = lines.join(QLatin1Char('\n'));
    updateStatusLine();
}

void ChatView::slotParticipantStatus(const QString &loginId, const QString &status)
{
    Buddy *buddy = m_pSession->findParticipant(loginId);
    if (!buddy) {
        return;
    }
    if (buddy->status != QLatin1String("X")) {
        buddy->status = status;
    }
    refreshStatusNotice();
}

void ChatView::slotBuddyChangeNick()
{
    refreshParticipants();
}

void ChatView::slotChangeStatus(int statusNumber)
{
    static const char *const labels[] = {"", "[자리비움]", "[다른 용무 중]", "[통화 중]", "[회의 중]", "[오프라인]"};
    m_ownStatusOffline = statusNumber == 5;
    if (statusNumber >= 1 && statusNumber <= 5) {
        m_ownStatusNote = QStringLiteral("회원님은 현재 ") + QString::fromUtf8(labels[statusNumber]) + QStringLiteral("으로 설정되어 있습니다.");
    } else {
        m_ownStatusNote.clear();
    }
    if (statusNumber >= 0 && statusNumber <= 5) {
        m_statusActions.at(statusNumber)->setChecked(true);
    } else if (QAction *checked = m_pStatusGroup->checkedAction()) {
        checked->setChecked(false);
    }
    updateStatusLine();
}

void ChatView::updateStatusLine()
{
    QString text = m_participantsNotice;
    if (!text.isEmpty() && !m_ownStatusNote.isEmpty()) {
        text += QLatin1Char('\n') + m_ownStatusNote;
    } else if (text.isEmpty()) {
        text = m_ownStatusNote;
    }
    if (!m_pStatusHideTimer || !m_pStatusHideTimer->isActive()) {
        m_pForm->statusLabel->setText(text);
        m_pForm->statusLabel->setVisible(!text.isEmpty());
    }
    setChatting(!m_participantBlocked && !m_ownStatusOffline);
}

void ChatView::showStatusNotice(const QString &text)
{
    if (!m_pStatusHideTimer) {
        m_pStatusHideTimer = new QTimer(this);
        m_pStatusHideTimer->setSingleShot(true);
        m_pStatusHideTimer->setInterval(5000);
        connect(m_pStatusHideTimer, &QTimer::timeout, this, &ChatView::slotHideStatusLabel);
    }
    m_pForm->statusLabel->setText(text);
    m_pForm->statusLabel->show();
    m_pStatusHideTimer->start();
}

void ChatView::slotHideStatusLabel()
{
    m_pStatusHideTimer->stop();
    // The standing notices come back once the passing one is gone.
    updateStatusLine();
}

void ChatView::enableChatting()
{
    setChatting(true);
}

void ChatView::disableChatting()
{
    setChatting(false);
}

void ChatView::setChatting(bool on)
{
    m_chatting = on;
    const QColor background = on ? s_enabledBackground : s_disabledBackground;
    MyEdit *edit = m_pForm->ChatEditQTE;
    edit->setEnabled(on);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, background);
    edit->setPalette(palette);
    m_pForm->inputPanel->setAutoFillBackground(true);
    QPalette panel = m_pForm->inputPanel->palette();
    panel.setColor(QPalette::Window, background);
    m_pForm->inputPanel->setPalette(panel);
    m_pForm->ChatViewQTE->setEnabled(true); // the conversation stays readable
    updateSendButton();
    for (QToolButton *button : {m_pForm->emoticonButton, m_pForm->sendFileButton, m_pForm->fontButton, m_pForm->fontColorButton, m_pForm->inviteButton}) {
        button->setEnabled(on);
    }
    for (QAction *action : {m_pInviteAction, m_pMemoAction, m_pFileAction, m_pAddBuddyAction}) {
        action->setEnabled(on);
    }
}

void ChatView::updateLockEntry()
{
    const Buddy *first = firstParticipant();
    m_pLockAction->setText(first && first->blocked ? QStringLiteral("친구 차단 해제") : QStringLiteral("친구 차단"));
}

// ---- caption blinking

void ChatView::startBlinking()
{
    setWindowTitle(m_caption.toUpper());
    setFocus();
    m_blinkPhase = false;
    m_pBlinkTimer->start();
}

void ChatView::blinkCaption()
{
    if (isActiveWindow()) {
        stopBlinking();
        return;
    }
    setWindowTitle(m_blinkPhase ? m_caption.toUpper() : QStringLiteral("메세지 왔습니다."));
    m_blinkPhase = !m_blinkPhase;
}

void ChatView::stopBlinking()
{
    m_pBlinkTimer->stop();
    setWindowTitle(m_caption);
}

void ChatView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isBlinking()) {
        stopBlinking();
    }
}

// ---- invitations

void ChatView::slotInvite()
{
    Q_EMIT updateInviteData(this);
}

void ChatView::slotInviteDialog()
{
    Q_EMIT updateInviteData(this);
}

void ChatView::slotAddBuddies(const QString &text)
{
    const QStringList ids = ChatSession::idsFromPickedText(text);
    if (!ids.isEmpty()) {
        Q_EMIT putINVT_Invite(this, ids);
    }
}

void ChatView::setBuddySelector(AddBuddySelector *selector)
{
    if (m_pBuddySelector && m_pBuddySelector != selector) {
        m_pBuddySelector->deleteLater();
    }
    m_pBuddySelector = selector;
    if (selector) {
        connect(selector, &AddBuddySelector::selectedBuddies, this, &ChatView::slotAddBuddies);
    }
}

AddBuddySelector *ChatView::buddySelector() const
{
    return m_pBuddySelector;
}

// ---- emoticons, font and colour

EmoticonSelector *ChatView::emoticonSelector() const
{
    return m_pEmoticonSelector;
}

void ChatView::slotEmoticonDialog()
{
    if (!m_pEmoticonSelector) {
        m_pEmoticonSelector = new EmoticonSelector(this);
        m_pEmoticonSelector->setObjectName(QStringLiteral("EmoticonSelector"));
        connect(m_pEmoticonSelector, &EmoticonSelector::emoticonClicked, this, &ChatView::slotPutEmoticon);
    }
    if (m_pEmoticonSelector->isVisible()) {
        m_pEmoticonSelector->hide();
        return;
    }
    placeEmoticonSelector();
    m_pEmoticonSelector->show();
    placeEmoticonSelector(); // again with the frame the window system gave it
}

void ChatView::placeEmoticonSelector()
{
    EmoticonSelector *selector = m_pEmoticonSelector;
    const QRect frame = frameGeometry();
    const QScreen *screen = this->screen();
    const QRect area = screen ? screen->geometry() : QRect();
    const QSize size = selector->frameGeometry().size().isValid() ? selector->frameGeometry().size() : selector->sizeHint();
    // Towards the middle of the screen, bottoms aligned.
    const bool rightHalf = area.x() + area.width() / 2 < frame.x() + frame.width() / 2;
    const int x = rightHalf ? frame.x() - size.width() : frame.x() + frame.width();
    const int y = frame.y() + frame.height() - size.height();
    selector->move(x, y);
}

void ChatView::slotPutEmoticon(const QString &code)
{
    MyEdit *edit = m_pForm->ChatEditQTE;
    edit->textCursor().insertText(code);
    edit->window()->activateWindow();
    edit->setFocus();
}

void ChatView::slotFontDialog()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, Settings::chatFont(), this);
    if (!ok) {
        return;
    }
    Settings::setChatFont(font);
    QFont viewFont = m_pForm->ChatViewQTE->font();
    viewFont.setPointSize(font.pointSize());
    m_pForm->ChatViewQTE->setFont(viewFont);
    m_pForm->ChatEditQTE->setFont(font);
}

void ChatView::slotFontColorDialog()
{
    const QColor color = QColorDialog::getColor(Settings::chatFontColor(), this, QStringLiteral("Font Color"));
    if (!color.isValid()) {
        return;
    }
    qCDebug(KZEMVIK_CHAT) << "XXX Font Color XXX";
    Settings::setChatFontColor(color);
    QPalette palette = m_pForm->ChatEditQTE->palette();
    palette.setColor(QPalette::Text, color);
    m_pForm->ChatEditQTE->setPalette(palette);
}

// ---- menu actions

void ChatView::reportChatLogSaved(bool ok)
{
    m_saveResult = ok ? 1 : 0;
}

void ChatView::slotSave()
{
    m_saveResult = -1;
    Q_EMIT saveChatLog(this, true);
    if (m_saveResult == 1) {
        MessageBoxes::instance()->information(this, QStringLiteral("대화 내용을 저장하였습니다."), QStringLiteral("대화 내용 저장"));
    } else {
        MessageBoxes::instance()->error(this, QStringLiteral("대화 내용을 저장하지 못했습니다."), QStringLiteral("대화 내용 저장"));
    }
}

void ChatView::slotFileFolder()
{
    Q_EMIT showDownDir();
}

void ChatView::slotShowChatLog()
{
    Q_EMIT showChatLog(this);
}

void ChatView::slotClose()
{
    close();
}

void ChatView::slotSendMemo()
{
    if (const Buddy *first = firstParticipant()) {
        Q_EMIT sendMemo(first->loginId);
    }
}

void ChatView::slotSendFile()
{
    const QStringList files = QFileDialog::getOpenFileNames(this, QStringLiteral("파일 보내기"), QDir::homePath(), QStringLiteral("모든파일 (*)"));
    if (!files.isEmpty()) {
        m_pSession->offerFiles(files);
    }
}

void ChatView::slotShowProfile()
{
    const Buddy *first = firstParticipant();
    if (!first) {
        return;
    }
    QUrl url = WebLinks::portalCode(QStringLiteral("F009"));
    QUrlQuery query(url);
    query.addQueryItem(QStringLiteral("t"), CurrentAccount::instance()->ticket);
    query.addQueryItem(QStringLiteral("param"), first->handle);
    url.setQuery(query);
    qCDebug(KZEMVIK_CHAT) << "Profile of" << first->handle; // the URL carries the ticket
    WebLinks::open(url);
}

void ChatView::slotAddBuddy()
{
    Q_EMIT addBuddy();
}

void ChatView::slotLock()
{
    const Buddy *first = firstParticipant();
    if (!first) {
        return;
    }
    Q_EMIT lockToggle(first->loginId);
    updateLockEntry();
}

void ChatView::slotChangeNick()
{
    Q_EMIT changeNick();
}

void ChatView::slotEditMyProfile()
{
    const CurrentAccount *account = CurrentAccount::instance();
    QUrl url = WebLinks::portalCode(QStringLiteral("F010"));
    QUrlQuery query(url);
    query.addQueryItem(QStringLiteral("t"), account->ticket);
    query.addQueryItem(QStringLiteral("param"), account->cmn);
    url.setQuery(query);
    WebLinks::open(url);
}

void ChatView::slotAlwaysTop()
{
    const bool on = !(windowFlags() & Qt::WindowStaysOnTopHint);
    const QPoint at = pos();
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    move(at);
    if (shown) {
        show();
    }
    m_pAlwaysTopAction->setChecked(on);
}

void ChatView::slotSetup()
{
    Q_EMIT showSetup();
}

void ChatView::slotGoZemvikHome()
{
    WebLinks::open(WebLinks::webPage(QStringLiteral("/")));
}

void ChatView::slotGoMavreloHome()
{
    WebLinks::open(WebLinks::mavreloPage(QStringLiteral("/")));
}

void ChatView::slotGoTirnDotComHome()
{
    WebLinks::open(WebLinks::portalHome());
}

void ChatView::slotGoHelp()
{
    WebLinks::openPortalCode(QStringLiteral("E069"));
}

void ChatView::slotGoZemvikMiniKivra()
{
    WebLinks::open(WebLinks::mavreloPage(QStringLiteral("/zemvikmvevent")));
}

void ChatView::slotGoHotTip()
{
    WebLinks::open(WebLinks::webPage(QStringLiteral("/help/guide_hottip_v3_main.html")));
}

void ChatView::slotGoFaq()
{
    WebLinks::open(WebLinks::webPage(QStringLiteral("/help/guide_faqsearch_list.html")));
}

void ChatView::slotInfo()
{
    if (!m_pHelpMenu) {
        m_pHelpMenu = new KHelpMenu(this, QString(), false);
    }
    m_pHelpMenu->aboutApplication();
}

void ChatView::slotStatus(QAction *action)
{
    static const char *const names[] = {"is online", "is Away", "is Busy", "is Phone", "is Meeting", "is Offline"};
    const int number = action->data().toInt();
    if (number < 0 || number > 5) {
        return;
    }
    qCDebug(KZEMVIK_CHAT) << names[number];
    Q_EMIT changeStatus(number);
}

// ---- window events

ChatView::SaveAnswer ChatView::askSaveOnClose()
{
    const int answer = KMessageBox::questionTwoActionsCancel(this, QStringLiteral("대화 내용을 저장하시겠습니까?\n(환경 설정에서 저장 방법을 변경할 수 있습니다.)"),
                                                             QStringLiteral("대화 내용을 저장하시겠습니까?"), KGuiItem(QStringLiteral("예")),
                                                             KGuiItem(QStringLiteral("아니오")), KGuiItem(QStringLiteral("취소")));
    if (answer == KMessageBox::PrimaryAction) {
        return SaveAnswer::Save;
    }
    return answer == KMessageBox::SecondaryAction ? SaveAnswer::DontSave : SaveAnswer::Cancel;
}

void ChatView::closeEvent(QCloseEvent *event)
{
    if (m_askBeforeClosing
        && !MessageBoxes::instance()->questionYesNo(this, QStringLiteral("대화창이 닫힙니다.\n대화창을 닫으시겠습니까?"), QStringLiteral("대화 하기"))) {
        event->ignore();
        return;
    }
    bool save = false;
    if (m_pSession->hasContent()) {
        const int policy = Settings::saveChatLog();
        if (policy == 0) {
            const SaveAnswer answer = askSaveOnClose();
            if (answer == SaveAnswer::Cancel) {
                event->ignore();
                return;
            }
            save = answer == SaveAnswer::Save;
        } else {
            save = policy == 1;
        }
        m_pSession->closeConversation();
    }
    m_pBlinkTimer->stop();
    Q_EMIT hideChat(this, save);
    Settings::setChatFont(m_pForm->ChatEditQTE->font());
    if (m_pEmoticonSelector && m_pEmoticonSelector->isVisible()) {
        m_pEmoticonSelector->hide();
    }
    Settings::setChatWindowSize(size());
    event->accept();
}

void ChatView::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (m_pEmoticonSelector && m_pEmoticonSelector->isVisible()) {
        placeEmoticonSelector();
    }
}

void ChatView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_pSession->isNonBuddyConversation() && !participants().isEmpty()) {
        refreshParticipants();
    }
    m_pForm->ChatViewQTE->moveCursor(QTextCursor::End);
}

void ChatView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_pForm->ChatEditQTE->setFocus();
}
