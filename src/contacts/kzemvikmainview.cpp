// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "kzemvikmainview.h"

#include "account.h"
#include "buddy.h"
#include "buddylist.h"
#include "buddylistmenus.h"
#include "buddyrowdelegate.h"
#include "commandline.h"
#include "contacts_debug.h"
#include "group.h"
#include "grouplist.h"
#include "messageboxes.h"
#include "pics.h"
#include "settings.h"
#include "shapebutton.h"
#include "status.h"
#include "weblinks.h"

#include <KSelectAction>
#include <QAction>
#include <QActionGroup>
#include <QCursor>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QTreeView>
#include <QUrlQuery>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
const QColor s_labelColour(0x42, 0x42, 0x42);

ShapeButton *pictureButton(QWidget *parent, const QString &objectName, const QString &base, const QString &tip)
{
    auto *button = new ShapeButton(parent, base + QStringLiteral(".bmp"));
    button->setObjectName(objectName);
    button->setPressedPicture(base + QStringLiteral("_down.bmp"));
    button->setHoverPicture(base + QStringLiteral("_ov.bmp"));
    button->setCursor(Qt::PointingHandCursor);
    if (!tip.isEmpty()) {
        button->setToolTip(tip);
    }
    return button;
}

void setButtonPictures(ShapeButton *button, const QString &base)
{
    button->setNormalPicture(base + QStringLiteral(".bmp"));
    button->setPressedPicture(base + QStringLiteral("_down.bmp"));
    button->setHoverPicture(base + QStringLiteral("_ov.bmp"));
}

QLabel *headerLabel(QWidget *parent, const QString &objectName, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, s_labelColour);
    label->setPalette(palette);
    return label;
}
}

KZemvikMainview::KZemvikMainview(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Zemvik"));
    setWindowIcon(QIcon(Pics::path(QStringLiteral("hi16-app-kzemvik.png"))));

    m_pModel = new BuddyTreeModel(this);
    m_pModel->setNamingMode(qBound(0, Settings::buddyListType(), 3));
    m_pModel->setEmoticons(Settings::useEmoticonBuddyList());
    m_arrangement = Settings::buddySortType();
    CurrentAccount *account = CurrentAccount::instance();
    m_pModel->setLists(account->buddyList, account->groupList);

    m_pMenus = new BuddyListMenus(this);
    buildHeader();
    buildList();
    connectMenus();
}

KZemvikMainview::~KZemvikMainview() = default;

void KZemvikMainview::buildHeader()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // User line: status picture, nickname, status label; memo count and the two site buttons.
    auto *top = new QWidget(this);
    top->setObjectName(QStringLiteral("headerBox"));
    top->setAutoFillBackground(true);
    QPalette topPalette = top->palette();
    topPalette.setColor(QPalette::Window, Qt::white);
    top->setPalette(topPalette);
    auto *topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(8, 8, 8, 6);
    topLayout->setSpacing(4);

    auto *userLine = new QHBoxLayout;
    userLine->setSpacing(4);
    m_pStatusButton = new ShapeButton(top, QStringLiteral("bi.bmp"));
    m_pStatusButton->setObjectName(QStringLiteral("statusButton"));
    m_pStatusButton->setCursor(Qt::PointingHandCursor);
    m_pNickName = headerLabel(top, QStringLiteral("TL_NickName"), QStringLiteral("hello nick name"));
    m_pNickName->setTextFormat(Qt::RichText);
    m_pNickName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_pStatus = headerLabel(top, QStringLiteral("TL_Status"), QStringLiteral("(online)"));
    m_pStatus->setTextFormat(Qt::PlainText);
    userLine->addWidget(m_pStatusButton);
    userLine->addWidget(m_pNickName, 1);
    userLine->addWidget(m_pStatus);
    topLayout->addLayout(userLine);

    auto *linkLine = new QHBoxLayout;
    linkLine->setSpacing(2);
    m_pMemoButton = pictureButton(top, QStringLiteral("memoButton"), QStringLiteral("main_memo_count_btn"), QStringLiteral("쪽지 읽기"));
    m_pMemoCount = new QLabel(QStringLiteral("(0)"), top);
    m_pMemoCount->setObjectName(QStringLiteral("memoCountLabel"));
    m_pMemoCount->setTextFormat(Qt::PlainText);
    m_pMavreloButton = pictureButton(top, QStringLiteral("mavreloButton"), QStringLiteral("main_mymavrelo_btn"), QStringLiteral("Mavrelo 메인으로 이동"));
    m_pKivraButton = pictureButton(top, QStringLiteral("kivraButton"), QStringLiteral("main_kivra_btn"), QStringLiteral("내 미니Kivra로 이동"));
    linkLine->addWidget(m_pMemoButton);
    linkLine->addWidget(m_pMemoCount);
    linkLine->addStretch(1);
    linkLine->addWidget(m_pMavreloButton);
    linkLine->addWidget(m_pKivraButton);
    topLayout->addLayout(linkLine);
    layout->addWidget(top);

    // Search line: the search box, then list options, add buddy, add group and text message.
    auto *searchLine = new QHBoxLayout;
    searchLine->setContentsMargins(6, 4, 6, 4);
    searchLine->setSpacing(2);
    m_pSearch = new QLineEdit(this);
    m_pSearch->setObjectName(QStringLiteral("lineEdit1"));
    m_pSearch->setPlaceholderText(QStringLiteral("친구 검색하기"));
    const QPixmap searchLeft = Pics::pixmap(QStringLiteral("bd_search_left_bg.bmp"));
    if (!searchLeft.isNull()) {
        m_pSearch->addAction(QIcon(searchLeft), QLineEdit::LeadingPosition);
    }
    const QPixmap reset = Pics::pixmap(QStringLiteral("search_reset_btn.bmp"));
    QAction *resetAction = reset.isNull() ? nullptr : m_pSearch->addAction(QIcon(reset), QLineEdit::TrailingPosition);
    if (resetAction) {
        resetAction->setObjectName(QStringLiteral("searchReset"));
        connect(resetAction, &QAction::triggered, m_pSearch, &QLineEdit::clear);
    } else {
        m_pSearch->setClearButtonEnabled(true);
    }
    m_pSearch->installEventFilter(this);
    connect(m_pSearch, &QLineEdit::textChanged, this, &KZemvikMainview::slotSearchTextChanged);
    searchLine->addWidget(m_pSearch, 1);

    m_pListOptionsButton = pictureButton(this, QStringLiteral("listOptionsButton"), QStringLiteral("bd_menu_btn"), QStringLiteral("친구/그룹 보기 방식"));
    m_pAddBuddyButton = pictureButton(this, QStringLiteral("addBuddyButton"), QStringLiteral("bd_buddy_add_btn"), QStringLiteral("친구 추가하기"));
    m_pAddGroupButton = pictureButton(this, QStringLiteral("addGroupButton"), QStringLiteral("bd_group_add_btn"), QStringLiteral("그룹 추가하기"));
    m_pSmsButton = new ShapeButton(this, QStringLiteral("hotkey_sms_nor.bmp"));
    m_pSmsButton->setObjectName(QStringLiteral("smsButton"));
    m_pSmsButton->setPressedPicture(QStringLiteral("hotkey_sms_down.bmp"));
    m_pSmsButton->setHoverPicture(QStringLiteral("hotkey_sms_ov.bmp"));
    searchLine->addWidget(m_pListOptionsButton);
    searchLine->addWidget(m_pAddBuddyButton);
    searchLine->addWidget(m_pAddGroupButton);
    searchLine->addWidget(m_pSmsButton);
    layout->addLayout(searchLine);

    connect(m_pStatusButton, qOverload<>(&ShapeButton::clicked), this, [this] {
        m_pMenus->statusMenu->popup(QCursor::pos());
    });
    connect(m_pListOptionsButton, qOverload<>(&ShapeButton::clicked), this, [this] {
        m_pMenus->listOptionsMenu->popup(QCursor::pos());
    });
    connect(m_pMemoButton, qOverload<>(&ShapeButton::clicked), this, &KZemvikMainview::viewMemoBox);
}

void KZemvikMainview::buildList()
{
    m_pList = new QTreeView(this);
    m_pList->setObjectName(QStringLiteral("listView3"));
    m_pList->setModel(m_pModel);
    m_pDelegate = new BuddyRowDelegate(m_pList);
    m_pDelegate->setHeaderBackground(Pics::pixmap(QStringLiteral("list_title_bluebg.bmp")));
    m_pList->setItemDelegate(m_pDelegate);
    m_pList->setHeaderHidden(true);
    m_pList->header()->setStretchLastSection(true);
    m_pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setUniformRowHeights(true);
    m_pList->setRootIsDecorated(false);
    m_pList->setIndentation(14);
    m_pList->setExpandsOnDoubleClick(false);
    m_pList->setItemsExpandable(true);
    m_pList->setDragEnabled(true);
    m_pList->setDragDropMode(QAbstractItemView::DragOnly);
    m_pList->setContextMenuPolicy(Qt::CustomContextMenu);
    m_pList->setFrameShape(QFrame::NoFrame);
    m_pList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont font = m_pList->font();
    font.setWeight(75);
    m_pList->setFont(font);
    QPalette palette = m_pList->palette();
    palette.setColor(QPalette::Text, QColor(0x22, 0x66, 0x99));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0xc8, 0xda, 0xea)); // also behind the indentation
    palette.setColor(QPalette::HighlightedText, Qt::black);
    const QPixmap background = Pics::pixmap(QStringLiteral("buddylist_bg.bmp"));
    if (!background.isNull()) {
        palette.setBrush(QPalette::Base, QBrush(background));
    }
    m_pList->setPalette(palette);
    layout()->addWidget(m_pList);

    connect(m_pModel, &QAbstractItemModel::modelReset, this, &KZemvikMainview::applyOpenState);
    connect(m_pList, &QTreeView::expanded, m_pModel, [this](const QModelIndex &index) {
        m_pModel->setOpen(index, true);
    });
    connect(m_pList, &QTreeView::collapsed, m_pModel, [this](const QModelIndex &index) {
        m_pModel->setOpen(index, false);
    });
    connect(m_pList, &QTreeView::doubleClicked, this, &KZemvikMainview::slotViewChat);
    connect(m_pList, &QWidget::customContextMenuRequested, this, &KZemvikMainview::slotRightClickMenu);
    connect(m_pList->selectionModel(), &QItemSelectionModel::selectionChanged, this, &KZemvikMainview::slotSelectChanged);
}

void KZemvikMainview::connectMenus()
{
    BuddyListMenus *m = m_pMenus;
    connect(m->statusAction(Status::Online), &QAction::triggered, this, &KZemvikMainview::slotChangeStatusOnline);
    connect(m->statusAction(Status::Away), &QAction::triggered, this, &KZemvikMainview::slotChangeStatusAway);
    connect(m->statusAction(Status::Busy), &QAction::triggered, this, &KZemvikMainview::slotChangeStatusBusy);
    connect(m->statusAction(Status::OnThePhone), &QAction::triggered, this, &KZemvikMainview::slotChangeStatusPhone);
    connect(m->statusAction(Status::Meeting), &QAction::triggered, this, &KZemvikMainview::slotChangeStatusMeeting);
    connect(m->statusAction(Status::Offline), &QAction::triggered, this, &KZemvikMainview::slotChangeStatusOffline);

    connect(m->namingActions[0], &QAction::triggered, this, &KZemvikMainview::slotListOnlyName);
    connect(m->namingActions[1], &QAction::triggered, this, &KZemvikMainview::slotListOnlyNick);
    connect(m->namingActions[2], &QAction::triggered, this, &KZemvikMainview::slotListNameID);
    connect(m->namingActions[3], &QAction::triggered, this, &KZemvikMainview::slotListNameNick);
    connect(m->sortActions[0], &QAction::triggered, this, &KZemvikMainview::slotSortNormal);
    connect(m->sortActions[1], &QAction::triggered, this, &KZemvikMainview::slotSortOnlyOnline);
    connect(m->sortActions[2], &QAction::triggered, this, &KZemvikMainview::slotSortOnOffline);
    connect(m->openAllGroups, &QAction::triggered, this, &KZemvikMainview::slotOpenAllGroup);
    connect(m->closeAllGroups, &QAction::triggered, this, &KZemvikMainview::slotCloseAllGroup);
    connect(m->emoticons, &QAction::toggled, this, &KZemvikMainview::slotEmoticonList);
    m->namingActions[m_pModel->namingMode()]->setChecked(true);
    if (m_arrangement >= 0 && m_arrangement < m->sortActions.size()) {
        m->sortActions[m_arrangement]->setChecked(true);
    }
    {
        const QSignalBlocker blocker(m->emoticons);
        m->emoticons->setChecked(m_pModel->emoticons());
    }

    connect(m->viewProfile, &QAction::triggered, this, &KZemvikMainview::slotViewProfile);
    connect(m->goChat, &QAction::triggered, this, &KZemvikMainview::slotGoChat);
    connect(m->sendMemo, &QAction::triggered, this, &KZemvikMainview::slotViewMemo);
    connect(m->viewMiniKivra, &QAction::triggered, this, &KZemvikMainview::slotViewMiniKivra);

    connect(m->groupChat, &QAction::triggered, this, &KZemvikMainview::slotGroupChat);
    connect(m->groupMemo, &QAction::triggered, this, &KZemvikMainview::slotViewGroupMemo);
    connect(m->addGroup, &QAction::triggered, this, &KZemvikMainview::slotAddGroup);
    connect(m->renameGroup, &QAction::triggered, this, &KZemvikMainview::slotRenameGroup);
    connect(m->blockGroup, &QAction::triggered, this, &KZemvikMainview::slotBlockGroup);
    connect(m->unblockGroup, &QAction::triggered, this, &KZemvikMainview::slotUnblockGroup);
    connect(m->deleteGroup, &QAction::triggered, this, &KZemvikMainview::slotDeleteGroup);
    connect(m->expandGroups, &QAction::triggered, this, &KZemvikMainview::slotOpenAllGroup);
    connect(m->collapseGroups, &QAction::triggered, this, &KZemvikMainview::slotCloseAllGroup);
}

void KZemvikMainview::setLists(BuddyList *buddies, GroupList *groups)
{
    m_pModel->setLists(buddies, groups);
}

void KZemvikMainview::setEmoticonFilter(const BuddyTreeModel::EmoticonFilter &filter)
{
    m_emoticonFilter = filter;
    m_pModel->setEmoticonFilter(filter);
    m_pModel->refreshHtml();
}

BuddyTreeModel *KZemvikMainview::model() const
{
    return m_pModel;
}

QTreeView *KZemvikMainview::listView() const
{
    return m_pList;
}

QLineEdit *KZemvikMainview::searchBox() const
{
    return m_pSearch;
}

BuddyListMenus *KZemvikMainview::menus() const
{
    return m_pMenus;
}

QAction *KZemvikMainview::action(const QString &name) const
{
    return m_pMenus->action(name);
}

ShapeButton *KZemvikMainview::statusButton() const
{
    return m_pStatusButton;
}

ShapeButton *KZemvikMainview::memoButton() const
{
    return m_pMemoButton;
}

ShapeButton *KZemvikMainview::mavreloButton() const
{
    return m_pMavreloButton;
}

ShapeButton *KZemvikMainview::kivraButton() const
{
    return m_pKivraButton;
}

ShapeButton *KZemvikMainview::listOptionsButton() const
{
    return m_pListOptionsButton;
}

ShapeButton *KZemvikMainview::addBuddyButton() const
{
    return m_pAddBuddyButton;
}

ShapeButton *KZemvikMainview::addGroupButton() const
{
    return m_pAddGroupButton;
}

ShapeButton *KZemvikMainview::smsButton() const
{
    return m_pSmsButton;
}

int KZemvikMainview::namingMode() const
{
    return m_pModel->namingMode();
}

int KZemvikMainview::arrangement() const
{
    return m_arrangement;
}

bool KZemvikMainview::emoticonsShown() const
{
    return m_pModel->emoticons();
}

// ---- Building ----

void KZemvikMainview::refreshList()
{
    if (!m_pSearch->text().isEmpty()) {
        // An edit made while searching keeps the search.
        buildSearchTree(m_pSearch->text());
        return;
    }
    switch (m_arrangement) {
    case AllByGroup:
        buildGroupTree(false);
        break;
    case OnlineByGroup:
        buildGroupTree(true);
        break;
    case OnlineOffline:
        buildOnOffTree();
        break;
    default:
        qCDebug(KZEMVIK_CONTACTS) << "Not valid value!!!";
        break;
    }
}

void KZemvikMainview::buildGroupTree(bool onlineOnly)
{
    m_pModel->buildGroupTree(onlineOnly);
}

void KZemvikMainview::buildOnOffTree()
{
    m_pModel->buildOnOffTree();
}

void KZemvikMainview::buildSearchTree(const QString &text)
{
    m_pModel->buildSearchTree(text);
}

void KZemvikMainview::clearList()
{
    m_pModel->clear();
}

void KZemvikMainview::applyOpenState()
{
    const int headers = m_pModel->rowCount();
    for (int i = 0; i < headers; ++i) {
        const QModelIndex header = m_pModel->index(i, 0);
        m_pList->setExpanded(header, header.data(BuddyTreeModel::OpenRole).toBool());
    }
}

void KZemvikMainview::slotSearchTextChanged(const QString &text)
{
    if (text.isEmpty()) {
        refreshList();
    } else {
        buildSearchTree(text);
    }
}

bool KZemvikMainview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pSearch) {
        if (event->type() == QEvent::FocusOut && m_pSearch->text().isEmpty()) {
            Q_EMIT searchEnd();
        } else if (event->type() == QEvent::FocusIn && !m_pSearch->text().isEmpty()) {
            QTimer::singleShot(0, m_pSearch, &QLineEdit::selectAll);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Model changes from the controller ----

void KZemvikMainview::slotGotINFY(const QStringList &fields)
{
    BuddyList *buddies = m_pModel->buddyList();
    if (fields.size() < 4 || !buddies) {
        return;
    }
    Buddy *buddy = buddies->findByLoginId(fields.at(2));
    if (!buddy) {
        return;
    }
    const QString oldLetter = buddy->status;
    buddy->status = fields.at(3);
    m_pModel->updatePresence(buddy, oldLetter);
}

void KZemvikMainview::refreshBuddyRows(Buddy *buddy)
{
    m_pModel->refreshBuddyRows(buddy);
}

void KZemvikMainview::slotAddBuddy(const QString &groupId, Buddy *buddy)
{
    m_pModel->addBuddyRow(groupId, buddy);
}

void KZemvikMainview::slotAddFriend(const QStringList &fields)
{
    BuddyList *buddies = m_pModel->buddyList();
    GroupList *groups = m_pModel->groupList();
    if (fields.size() < 5 || !buddies || !groups) {
        return;
    }
    Buddy *buddy = buddies->findByHandle(QStringLiteral("TID:") + fields.at(1));
    if (!buddy) {
        return;
    }
    Group *defaultGroup = groups->findGroupById(QStringLiteral("0"));
    if (!defaultGroup) {
        qCDebug(KZEMVIK_CONTACTS) << "[KZemvikMainview::slotAddFriend] Group 0 is nothing!";
        return;
    }
    // The buddy gets its real handle whatever the arrangement: the default group's header is not
    // on screen in the online/offline sections, but the confirmation must not be lost.
    const QString provisional = buddy->handle;
    buddy->handle = fields.at(3);
    buddy->name = CommandLine::unescapeField(fields.at(4));
    buddy->nick = buddy->name;
    buddy->status = QStringLiteral("F");
    buddies->reindex();
    defaultGroup->removeBuddy(provisional);
    defaultGroup->addBuddy(buddy->handle);
    refreshList();
}

void KZemvikMainview::slotGroupAdded(Group *)
{
    refreshList();
}

void KZemvikMainview::slotChangeNickName(const QString &nick)
{
    QString html = nick.toHtmlEscaped();
    if (m_emoticonFilter) {
        html = m_emoticonFilter(html);
    }
    m_pNickName->setText(html);
}

void KZemvikMainview::setMemoCount(int count)
{
    if (count < 1) {
        m_pMemoCount->setText(QStringLiteral("(0)"));
        setButtonPictures(m_pMemoButton, QStringLiteral("main_memo_count_btn"));
    } else {
        m_pMemoCount->setText(QLatin1Char('(') + QString::number(count) + QLatin1Char(')'));
        setButtonPictures(m_pMemoButton, QStringLiteral("main_memo_count_new_btn"));
    }
}

void KZemvikMainview::showStatus(int number)
{
    const Status::Entry *entry = Status::byNumber(number);
    if (!entry) {
        return;
    }
    m_pStatusButton->setNormalPicture(entry->headerIcon);
    m_pStatus->setText(entry->headerLabel);
}

void KZemvikMainview::slotKivraNew()
{
    setButtonPictures(m_pKivraButton, CurrentAccount::instance()->kivraNew ? QStringLiteral("main_kivra_new_btn") : QStringLiteral("main_kivra_btn"));
    refreshList();
}

void KZemvikMainview::slotSetGroupList(const QStringList &names)
{
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    m_pMenus->copyBuddy->setItems(sorted);
    m_pMenus->moveBuddy->setItems(sorted);
}

// ---- View settings ----

void KZemvikMainview::setNamingMode(int mode)
{
    m_pModel->setNamingMode(mode);
    Settings::setBuddyListType(mode);
    m_pMenus->namingActions[mode]->setChecked(true);
    refreshList();
}

void KZemvikMainview::setArrangement(int arrangement)
{
    m_arrangement = arrangement;
    Settings::setBuddySortType(arrangement);
    m_pMenus->sortActions[arrangement]->setChecked(true);
    refreshList();
}

void KZemvikMainview::slotListOnlyName()
{
    setNamingMode(BuddyTreeModel::NameOnly);
}

void KZemvikMainview::slotListOnlyNick()
{
    setNamingMode(BuddyTreeModel::NickOnly);
}

void KZemvikMainview::slotListNameID()
{
    setNamingMode(BuddyTreeModel::NameAndId);
}

void KZemvikMainview::slotListNameNick()
{
    setNamingMode(BuddyTreeModel::NameAndNick);
}

void KZemvikMainview::slotSortNormal()
{
    setArrangement(AllByGroup);
}

void KZemvikMainview::slotSortOnlyOnline()
{
    setArrangement(OnlineByGroup);
}

void KZemvikMainview::slotSortOnOffline()
{
    setArrangement(OnlineOffline);
}

void KZemvikMainview::setAllOpen(bool open)
{
    QStringList keys;
    const int headers = m_pModel->rowCount();
    for (int i = 0; i < headers; ++i) {
        const QModelIndex header = m_pModel->index(i, 0);
        keys.append(m_pModel->openStateKey(header));
        m_pModel->setOpen(header, open, false);
        const QSignalBlocker blocker(m_pList); // stored below, once for all headers
        m_pList->setExpanded(header, open);
    }
    if (m_pModel->tree() != BuddyTreeModel::SearchTree && !keys.isEmpty()) {
        Settings::setGroupsOpen(keys, open);
    }
}

void KZemvikMainview::slotOpenAllGroup()
{
    setAllOpen(true);
}

void KZemvikMainview::slotCloseAllGroup()
{
    setAllOpen(false);
}

void KZemvikMainview::slotEmoticonList(bool on)
{
    m_pModel->setEmoticons(on);
    if (m_pMenus->emoticons->isChecked() != on) {
        const QSignalBlocker blocker(m_pMenus->emoticons);
        m_pMenus->emoticons->setChecked(on);
    }
    refreshList();
}

// ---- Status menu ----

void KZemvikMainview::slotChangeStatusOnline()
{
    Q_EMIT changeStatusNumber(Status::Online);
}

void KZemvikMainview::slotChangeStatusAway()
{
    Q_EMIT changeStatusNumber(Status::Away);
}

void KZemvikMainview::slotChangeStatusBusy()
{
    Q_EMIT changeStatusNumber(Status::Busy);
}

void KZemvikMainview::slotChangeStatusPhone()
{
    Q_EMIT changeStatusNumber(Status::OnThePhone);
}

void KZemvikMainview::slotChangeStatusMeeting()
{
    Q_EMIT changeStatusNumber(Status::Meeting);
}

void KZemvikMainview::slotChangeStatusOffline()
{
    Q_EMIT changeStatusNumber(Status::Offline);
}

// ---- Mouse and selection ----

void KZemvikMainview::slotViewChat(const QModelIndex &index)
{
    if (BuddyTreeModel::isHeader(index)) {
        m_pList->setExpanded(index, !m_pList->isExpanded(index));
        return;
    }
    Buddy *buddy = m_pModel->buddyAt(index);
    if (!buddy) {
        return;
    }
    if (!Status::isOnline(buddy->status)) {
        Q_EMIT startMemoView(memoRecipient(*buddy));
        return;
    }
    Q_EMIT startChat(buddy);
}

void KZemvikMainview::slotSelectChanged(const QItemSelection &, const QItemSelection &)
{
    if (m_fixingSelection) {
        return;
    }
    const QModelIndexList rows = m_pList->selectionModel()->selectedRows();
    int buddies = 0;
    int headers = 0;
    for (const QModelIndex &row : rows) {
        (BuddyTreeModel::isHeader(row) ? headers : buddies)++;
    }
    if ((buddies > 0 && headers > 0) || headers > 1) {
        const QModelIndex clicked = m_pList->currentIndex();
        m_fixingSelection = true;
        m_pList->selectionModel()->select(clicked, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_fixingSelection = false;
        headers = BuddyTreeModel::isHeader(clicked) ? 1 : 0;
    }
    m_groupSelected = headers == 1;
}

void KZemvikMainview::slotRightClickMenu(const QPoint &pos)
{
    const QModelIndex index = m_pList->indexAt(pos);
    if (!index.isValid()) {
        return;
    }
    const QPoint global = m_pList->viewport()->mapToGlobal(pos);
    if (BuddyTreeModel::isHeader(index)) {
        // The sections of the online/offline arrangement are not groups: no group menu there.
        if (!BuddyTreeModel::isGroupHeader(index)) {
            return;
        }
        m_pMenus->groupTitle->setText(index.data().toString());
        m_pMenus->groupMenu->popup(global);
        return;
    }
    BuddyListMenus *m = m_pMenus;
    if (selectedBuddyCount() > 1) {
        m->buddyTitle->setText(QStringLiteral("[버디 메뉴]"));
        m->viewProfile->setEnabled(false);
        m->viewChatLog->setEnabled(false);
        m->viewMiniKivra->setEnabled(false);
        m->buddyMenu->popup(global);
        return;
    }
    Buddy *buddy = m_pModel->buddyAt(index);
    if (!buddy) {
        return;
    }
    m->buddyTitle->setText(buddy->loginId);
    m->viewProfile->setEnabled(true);
    m->viewChatLog->setEnabled(true);
    m->viewMiniKivra->setEnabled(!buddy->kivraId.startsWith(QLatin1Char('%')));
    m->blockBuddy->setText(buddy->blocked ? QStringLiteral("친구 차단 해제") : QStringLiteral("친구 차단"));
    const bool online = Status::isOnline(buddy->status);
    m->goChat->setEnabled(online);
    m->sendFile->setEnabled(online);
    m->buddyMenu->popup(global);
}

// ---- Queries ----

QModelIndex KZemvikMainview::currentHeader() const
{
    const QModelIndex current = m_pList->currentIndex();
    return BuddyTreeModel::isGroupHeader(current) ? current : QModelIndex();
}

QString KZemvikMainview::currentGroupId() const
{
    return currentHeader().data(BuddyTreeModel::GroupIdRole).toString();
}

QString KZemvikMainview::currentRowGroupId() const
{
    const QModelIndex current = m_pList->currentIndex();
    if (!current.isValid() || (BuddyTreeModel::isHeader(current) && !BuddyTreeModel::isGroupHeader(current))) {
        return QString();
    }
    return current.data(BuddyTreeModel::GroupIdRole).toString();
}

Buddy *KZemvikMainview::currentBuddy() const
{
    return m_pModel->buddyAt(m_pList->currentIndex());
}

QList<QPair<QString, QString>> KZemvikMainview::selectedBuddyRows() const
{
    QModelIndexList rows = m_pList->selectionModel()->selectedRows();
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [](const QModelIndex &row) {
                                  return !BuddyTreeModel::isBuddyRow(row);
                              }),
               rows.end());
    // View order: by header, then by row under it.
    std::sort(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) {
        return a.parent().row() != b.parent().row() ? a.parent().row() < b.parent().row() : a.row() < b.row();
    });
    QList<QPair<QString, QString>> list;
    for (const QModelIndex &row : rows) {
        list.append({row.data(BuddyTreeModel::HandleRole).toString(), row.data(BuddyTreeModel::GroupIdRole).toString()});
    }
    return list;
}

int KZemvikMainview::selectedBuddyCount() const
{
    return selectedBuddyRows().size();
}

bool KZemvikMainview::groupSelected() const
{
    return m_groupSelected;
}

bool KZemvikMainview::hasGroupRow(const QString &groupId) const
{
    return m_pModel->groupIndex(groupId).isValid();
}

bool KZemvikMainview::removeGroupRow(const QString &groupId)
{
    return m_pModel->removeGroupHeader(groupId);
}

QList<Buddy *> KZemvikMainview::selectedBuddies() const
{
    QList<Buddy *> list;
    BuddyList *buddies = m_pModel->buddyList();
    if (!buddies) {
        return list;
    }
    for (const auto &row : selectedBuddyRows()) {
        Buddy *buddy = buddies->findByHandle(row.first);
        if (buddy && !list.contains(buddy)) {
            list.append(buddy);
        }
    }
    return list;
}

QString KZemvikMainview::memoRecipient(const Buddy &buddy)
{
    return QLatin1Char('"') + buddy.name + QStringLiteral("\" <") + buddy.loginId + QLatin1Char('>');
}

// ---- Buddy and group menu actions ----

void KZemvikMainview::slotGoChat()
{
    QList<Buddy *> chat;
    for (Buddy *buddy : selectedBuddies()) {
        if (!Status::isOnline(buddy->status)) {
            continue;
        }
        buddy->inChat = true;
        qCDebug(KZEMVIK_CONTACTS) << "[Chatting List] >>> [" << buddy->loginId << "]";
        chat.append(buddy);
    }
    if (!chat.isEmpty()) {
        Q_EMIT startChat(chat);
    }
}

void KZemvikMainview::slotViewMemo()
{
    QStringList recipients;
    for (const Buddy *buddy : selectedBuddies()) {
        recipients.append(memoRecipient(*buddy));
    }
    Q_EMIT startMemoView(recipients.join(QLatin1Char(';')));
}

void KZemvikMainview::slotViewGroupMemo()
{
    const QString groupId = currentGroupId();
    GroupList *groups = m_pModel->groupList();
    BuddyList *buddies = m_pModel->buddyList();
    const Group *group = groups && !groupId.isEmpty() ? groups->findGroupById(groupId) : nullptr;
    if (!group || !buddies) {
        return;
    }
    QStringList recipients;
    for (const QString &handle : group->members()) {
        if (const Buddy *buddy = buddies->findByHandle(handle)) {
            recipients.append(memoRecipient(*buddy));
        }
    }
    if (recipients.isEmpty()) {
        MessageBoxes::instance()->information(this, QStringLiteral("빈 그룹 입니다."), QStringLiteral("그룹 쪽지"));
        return;
    }
    Q_EMIT startMemoView(recipients.join(QLatin1Char(';')));
}

void KZemvikMainview::slotGroupChat()
{
    const QString groupId = currentGroupId();
    if (!groupId.isEmpty()) {
        Q_EMIT startGroupChat(groupId);
    }
}

void KZemvikMainview::slotBlockGroup()
{
    const QString groupId = currentGroupId();
    if (!groupId.isEmpty()) {
        Q_EMIT blockGroup(groupId);
    }
}

void KZemvikMainview::slotUnblockGroup()
{
    const QString groupId = currentGroupId();
    if (!groupId.isEmpty()) {
        Q_EMIT unblockGroup(groupId);
    }
}

void KZemvikMainview::slotAddGroup()
{
    Q_EMIT addGroup();
}

void KZemvikMainview::slotRenameGroup()
{
    if (!currentGroupId().isEmpty()) {
        Q_EMIT renameGroup();
    }
}

void KZemvikMainview::slotDeleteGroup()
{
    if (!currentGroupId().isEmpty()) {
        Q_EMIT deleteGroup();
    }
}

QUrl KZemvikMainview::profileUrl(const Buddy &buddy, const QString &ticket)
{
    QUrl url = WebLinks::portalCode(QStringLiteral("F009"));
    QUrlQuery query(url);
    query.addQueryItem(QStringLiteral("t"), ticket);
    query.addQueryItem(QStringLiteral("param"), buddy.handle);
    url.setQuery(query);
    return url;
}

QUrl KZemvikMainview::miniKivraUrl(const Buddy &buddy, const QString &ticket)
{
    const bool mainPage = buddy.mainPageState && !buddy.mainPageParam.isEmpty();
    QUrl url = WebLinks::portalCode(mainPage ? QStringLiteral("D012") : QStringLiteral("D024"));
    QUrlQuery query(url);
    query.addQueryItem(QStringLiteral("t"), ticket);
    query.addQueryItem(QStringLiteral("param"), mainPage ? buddy.mainPageParam : buddy.kivraId);
    url.setQuery(query);
    return url;
}

void KZemvikMainview::slotViewProfile()
{
    if (const Buddy *buddy = currentBuddy()) {
        WebLinks::open(profileUrl(*buddy, CurrentAccount::instance()->ticket));
    }
}

void KZemvikMainview::slotViewMiniKivra()
{
    if (const Buddy *buddy = currentBuddy()) {
        WebLinks::open(miniKivraUrl(*buddy, CurrentAccount::instance()->ticket));
    }
}
