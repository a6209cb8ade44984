// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "kzemvikinterface.h"

#include "settings.h"
#include "weblinks.h"

#include <KAboutData>
#include <KActionCollection>
#include <KConfigGroup>
#include <KHelpMenu>
#include <KLocalizedString>
#include <KSelectAction>
#include <KStandardAction>
#include <KToggleAction>

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

KZemvikInterface::KZemvikInterface(QWidget *parent)
    : KMainWindow(parent, Qt::Window)
    , m_pActions(new KActionCollection(this))
{
    setMinimumSize(350, 600);
}

KZemvikInterface::~KZemvikInterface() = default;

KActionCollection *KZemvikInterface::actions() const
{
    return m_pActions;
}

QAction *KZemvikInterface::action(const QString &name) const
{
    return m_pActions->action(name);
}

KSelectAction *KZemvikInterface::selectAction(const QString &name) const
{
    return qobject_cast<KSelectAction *>(m_pActions->action(name));
}

KToggleAction *KZemvikInterface::toggleAction(const QString &name) const
{
    return qobject_cast<KToggleAction *>(m_pActions->action(name));
}

QLabel *KZemvikInterface::statusLabel() const
{
    return m_pStatusLabel;
}

QAction *KZemvikInterface::addAction(const QString &name, const QString &text, const QKeySequence &shortcut)
{
    auto *a = new QAction(text, this);
    m_pActions->addAction(name, a);
    if (!shortcut.isEmpty()) {
        m_pActions->setDefaultShortcut(a, shortcut);
    }
    return a;
}

KSelectAction *KZemvikInterface::addSelectAction(const QString &name, const QString &text, const QStringList &items)
{
    auto *a = new KSelectAction(text, this);
    a->setItems(items);
    m_pActions->addAction(name, a);
    return a;
}

bool KZemvikInterface::initInterface()
{
    if (m_bBuilt) {
        return true;
    }
    m_pStatusLabel = new QLabel(this);
    m_pStatusLabel->setObjectName(QStringLiteral("statuslabel"));
    statusBar()->addWidget(m_pStatusLabel, 2);

    QMenu *file = menuBar()->addMenu(i18n("파일(&F)"));
    file->setObjectName(QStringLiteral("filemenu"));
    file->addAction(addAction(QStringLiteral("logout_menu"), i18n("로그아웃(&N)")));
    file->addSeparator();
    file->addAction(addAction(QStringLiteral("OpenChatBox"), i18n("대화함 열기(&H)")));
    QAction *fileBox = addAction(QStringLiteral("OpenFileBox"), i18n("받은 파일 폴더 열기(&R)"));
    connect(fileBox, &QAction::triggered, this, &KZemvikInterface::slotOpenFileBox);
    file->addAction(fileBox);
    file->addSeparator();
    QAction *hide = addAction(QStringLiteral("Hide"), i18n("숨기기(&C)"), QKeySequence(Qt::Key_Escape));
    connect(hide, &QAction::triggered, this, &KZemvikInterface::slotMenuHide);
    file->addAction(hide);
    file->addAction(addAction(QStringLiteral("Quit"), i18n("종료(&X)")));

    QMenu *actionMenu = menuBar()->addMenu(i18n("동작(&M)"));
    actionMenu->setObjectName(QStringLiteral("actionmenu"));
    actionMenu->addAction(addAction(QStringLiteral("GoChat"), i18n("대화하기(&G)"), QKeySequence(Qt::CTRL | Qt::Key_G)));
    actionMenu->addSeparator();
    actionMenu->addAction(addAction(QStringLiteral("SendMemo"), i18n("쪽지 보내기(&N)"), QKeySequence(Qt::CTRL | Qt::Key_B)));
    actionMenu->addAction(addAction(QStringLiteral("SendFile"), i18n("파일 보내기(&F)"), QKeySequence(Qt::CTRL | Qt::Key_T)));

    QMenu *friends = menuBar()->addMenu(i18n("친구(&R)"));
    friends->setObjectName(QStringLiteral("friendmenu"));
    friends->addAction(addAction(QStringLiteral("Menu_Buddy_Add"), i18n("친구 추가(&A))")));
    friends->addAction(addSelectAction(QStringLiteral("Menu_Buddy_Copy"), i18n("친구 복사(&C)"), {}));
    friends->addAction(addSelectAction(QStringLiteral("Menu_Buddy_Move"), i18n("친구 이동(&O)"), {}));
    friends->addAction(addAction(QStringLiteral("Menu_Buddy_Delete"), i18n("친구 삭제(&D)"), QKeySequence(Qt::Key_Delete)));
    friends->addSeparator();
    KSelectAction *naming = addSelectAction(QStringLiteral("Menu_Naming"),
                                            i18n("친구 보기 방식(&U)"),
                                            {i18n("친구 이름으로 보기(&R)"),
                                             i18n("친구 대화명으로 보가(&N)"),
                                             i18n("친구 이름+아이디로 보기(&M)"),
                                             i18n("친구 이름+대화명으로 보기(&E)")});
    naming->setCurrentItem(3);
    friends->addAction(naming);
    KSelectAction *sorting = addSelectAction(QStringLiteral("Menu_Sorting"),
                                             i18n("친구 정렬 방식(&Y)"),
                                             {i18n("친구 전체 보기(&A)"), i18n("접속한 친구만 보기(&O)"), i18n("친구 온라인/오프라인으로 보기(&D)")});
    sorting->setCurrentItem(0);
    friends->addAction(sorting);
    friends->addSeparator();
    friends->addAction(addAction(QStringLiteral("add_group_menu"), i18n("그룹 추가(&N)")));
    friends->addAction(addAction(QStringLiteral("rename_group_menu"), i18n("그룹 이름 변경(&N)")));
    friends->addAction(addAction(QStringLiteral("delete_group_menu"), i18n("그룹 삭제(&D)")));

    QMenu *setup = menuBar()->addMenu(i18n("설정(&S)"));
    setup->setObjectName(QStringLiteral("setupmenu"));
    KSelectAction *status = addSelectAction(QStringLiteral("status"),
                                            i18n("내 상태 설정(&U)"),
                                            {i18n("온라인"), i18n("자리비움"), i18n("다른 용무중"), i18n("통화 중"), i18n("회의 중"), i18n("오프라인 표시")});
    connect(status, &KSelectAction::indexTriggered, this, &KZemvikInterface::slotChangeStatusNumber);
    setup->addAction(status);
    setup->addAction(addAction(QStringLiteral("changeNick"), i18n("내 대화명 설정(&P)")));
    setup->addSeparator();
    auto *top = new KToggleAction(i18n("항상 위(&N)"), this);
    m_pActions->addAction(QStringLiteral("alwaysTop"), top);
    setup->addAction(top);
    setup->addAction(addAction(QStringLiteral("setup_menu"), i18n("환경 설정(&S)")));

    QMenu *help = menuBar()->addMenu(i18n("도움말(&H)"));
    help->setObjectName(QStringLiteral("helpmenu"));
    const struct {
        const char *name;
        QString text;
        void (KZemvikInterface::*slot)();
        QKeySequence key;
    } helpItems[] = {
        {"GoTirnHome", i18n("Zemvik 홈(&O)"), &KZemvikInterface::slotGoTirnHome, {}},
        {"MavreloHome", i18n("Mavrelo 홈(&C)"), &KZemvikInterface::slotGoMvHome, {}},
        {"TirnDotCom", i18n("Tirn닷컴 홈(&N)"), &KZemvikInterface::slotGoTirnDotCom, {}},
        {nullptr, {}, nullptr, {}},
        {"ZemvikUsage", i18n("Zemvik 이용 가이드(&G)"), &KZemvikInterface::slotZemvikUsage, QKeySequence(Qt::Key_F1)},
        {"ZemvikMiniKivra", i18n("Zemvik 미니 Kivra(&M)"), &KZemvikInterface::slotGoZemvikMiniKivra, {}},
        {"HotTip", i18n("Zemvik HotTip(&I)"), &KZemvikInterface::slotGoHotTip, {}},
        {"FAQ", i18n("Zemvik FAQ(&F)"), &KZemvikInterface::slotFAQ, {}},
        {nullptr, {}, nullptr, {}},
    };
    for (const auto &item : helpItems) {
        if (!item.name) {
            help->addSeparator();
            continue;
        }
        QAction *a = addAction(QString::fromLatin1(item.name), item.text, item.key);
        connect(a, &QAction::triggered, this, item.slot);
        help->addAction(a);
    }
    auto *helpMenu = new KHelpMenu(this, KAboutData::applicationData(), false);
    help->addAction(helpMenu->action(KHelpMenu::menuAboutApp));

    setSignedInMenus(false);
    readWindowProperties();

    // An explicit connection type: the header's default is out of the enum's range (UBSan).
    KStandardAction::create(KStandardAction::Close, this, &KZemvikInterface::slotAppClose, m_pActions, Qt::AutoConnection);
    KStandardAction::create(KStandardAction::Quit, this, &KZemvikInterface::slotAppClose, m_pActions, Qt::AutoConnection);
    m_pActions->associateWidget(this);
    m_bBuilt = true;
    return true;
}

QStringList KZemvikInterface::sessionActionNames()
{
    return {QStringLiteral("logout_menu"),
            QStringLiteral("OpenChatBox"),
            QStringLiteral("GoChat"),
            QStringLiteral("SendMemo"),
            QStringLiteral("SendFile"),
            QStringLiteral("Menu_Buddy_Add"),
            QStringLiteral("Menu_Buddy_Copy"),
            QStringLiteral("Menu_Buddy_Move"),
            QStringLiteral("Menu_Buddy_Delete"),
            QStringLiteral("Menu_Naming"),
            QStringLiteral("Menu_Sorting"),
            QStringLiteral("add_group_menu"),
            QStringLiteral("rename_group_menu"),
            QStringLiteral("delete_group_menu"),
            QStringLiteral("status"),
            QStringLiteral("changeNick")};
}

void KZemvikInterface::setSignedInMenus(bool signedIn)
{
    const QStringList names = sessionActionNames();
    for (const QString &name : names) {
        if (QAction *a = action(name)) {
            a->setEnabled(signedIn);
        }
    }
    if (QAction *a = action(QStringLiteral("setup_menu"))) {
        a->setEnabled(true);
    }
}

void KZemvikInterface::slotSetGroupList(const QStringList &names)
{
    for (const char *name : {"Menu_Buddy_Copy", "Menu_Buddy_Move"}) {
        if (KSelectAction *a = selectAction(QString::fromLatin1(name))) {
            a->setItems(names);
        }
    }
}

void KZemvikInterface::slotUpdateStatusText(const QString &text)
{
    // Sign-in reports progress once per list line; only a new text is worth a repaint,
    // and it waits for the next paint instead of forcing one per line.
    if (m_pStatusLabel && m_pStatusLabel->text() != text) {
        m_pStatusLabel->setText(text);
    }
}

void KZemvikInterface::slotChangeStatusNumber(int status)
{
    Q_UNUSED(status)
}

void KZemvikInterface::slotMenuHide()
{
    hide();
}

void KZemvikInterface::slotAppClose()
{
    hide();
}

void KZemvikInterface::slotOpenFileBox()
{
    QString dir = Settings::downPath();
    if (dir.isEmpty()) {
        dir = QDir::homePath();
    }
    WebLinks::open(QUrl::fromLocalFile(dir));
}

void KZemvikInterface::slotGoTirnHome()
{
    WebLinks::open(WebLinks::webPage(QString()));
}

void KZemvikInterface::slotGoMvHome()
{
    WebLinks::open(WebLinks::mavreloPage(QString()));
}

void KZemvikInterface::slotGoTirnDotCom()
{
    WebLinks::open(WebLinks::portalHome());
}

void KZemvikInterface::slotZemvikUsage()
{
    WebLinks::openPortalCode(QStringLiteral("E069"));
}

void KZemvikInterface::slotGoZemvikMiniKivra()
{
    WebLinks::open(WebLinks::mavreloPage(QStringLiteral("/zemvikmvevent")));
}

void KZemvikInterface::slotGoHotTip()
{
    WebLinks::open(WebLinks::webPage(QStringLiteral("/help/guide_hottip_v3_main.html")));
}

void KZemvikInterface::slotFAQ()
{
    WebLinks::open(WebLinks::webPage(QStringLiteral("/help/guide_faqsearch_list.html")));
}

void KZemvikInterface::readWindowProperties()
{
    const QSize size = Settings::mainWindowSize();
    if (size.width() > 0 && size.height() > 0) {
        resize(size);
    }
    if (Settings::hasMainWindowPosition()) {
        const QPoint pos = Settings::mainWindowPosition();
        if (!pos.isNull()) {
            move(pos);
        }
    }
}

void KZemvikInterface::saveWindowProperties()
{
    Settings::setMainWindowGeometry(size(), pos());
}
