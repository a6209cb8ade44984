// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "kzemvik.h"

#include "account.h"
#include "app_debug.h"
#include "buddy.h"
#include "buddylist.h"
#include "chatlist.h"
#include "chatsession.h"
#include "chattext.h"
#include "chatview.h"
#include "clicklabel.h"
#include "emoticontable.h"
#include "group.h"
#include "grouplist.h"
#include "kzemvikdcop.h"
#include "kzemvikmainview.h"
#include "linklabel.h"
#include "loginview.h"
#include "addbuddyselector.h"
#include "myedit.h"
#include "pics.h"
#include "logoutview.h"
#include "messageboxes.h"
#include "mimemessage.h"
#include "networkwindow.h"
#include "settings.h"
#include "shapebutton.h"
#include "sqlitedb.h"
#include "status.h"
#include "ssconnection.h"
#include "systemtraywidget.h"
#include "mimemessage.h"
#include "zemvikdpconnection.h"
#include "zemvikdplconnection.h"

#include <KActionCollection>
#include <KLocalizedString>
#include <KSelectAction>
#include <KToggleAction>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QLabel>
#include <QMenu>
#include <QSaveFile>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTimer>

KZemvik::KZemvik(QWidget *parent)
    : KZemvikInterface(parent)
{
    m_pDCOP = new KZemvikDCOP(this);
    connect(m_pDCOP, &KZemvikDCOP::commandReceived, this, &KZemvik::dcopCommand);
    m_pDCOP->registerOnBus();

    m_pAccount = CurrentAccount::instance();
    m_pLocalDB = new SQLiteDB(this);
    m_pConfig = Settings::config();
    m_pStack = new QStackedWidget(this);
    m_pStack->setObjectName(QStringLiteral("views"));
    setCentralWidget(m_pStack);
    resize(500, 700);
    qCDebug(KZEMVIK_APP) << "HTML DIR : [" << QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("kzemvik/kzemvik"), QStandardPaths::LocateDirectory) << "]";
}

KZemvik::~KZemvik()
{
    if (m_pLoginView) {
        saveWindowProperties();
    }
    closeAllChats();
    // The view shows the session's lists and the connections use the account: they go first.
    delete m_pMainView;
    m_pMainView = nullptr;
    delete m_pDPConnection;
    m_pDPConnection = nullptr;
    delete m_pDPLConnection;
    m_pDPLConnection = nullptr;
    delete m_pNetworkWindow;
    CurrentAccount::destroyInstance();
}

LoginView *KZemvik::loginView() const
{
    return m_pLoginView;
}

LogoutView *KZemvik::logoutView() const
{
    return m_pLogoutView;
}

KZemvikMainview *KZemvik::mainView() const
{
    return m_pMainView;
}

NetworkWindow *KZemvik::networkWindow() const
{
    return m_pNetworkWindow;
}

SystemTrayWidget *KZemvik::tray() const
{
    return m_pTray;
}

ZemvikDPLConnection *KZemvik::dispatchConnection() const
{
    return m_pDPLConnection;
}

ZemvikDPConnection *KZemvik::sessionConnection() const
{
    return m_pDPConnection;
}

KZemvikDCOP *KZemvik::dbus() const
{
    return m_pDCOP;
}

QWidget *KZemvik::currentView() const
{
    return m_pStack->currentWidget();
}

bool KZemvik::isConnected() const
{
    return m_bConnected;
}

bool KZemvik::isAutoRetrying() const
{
    return m_bAutoRetry;
}

QTimer *KZemvik::retryTimer() const
{
    return m_pRetryTimer;
}

QString KZemvik::userPath() const
{
    return m_strUserPath;
}

QString KZemvik::memoPath() const
{
    return m_strMemoPath;
}

QString KZemvik::chatPath() const
{
    return m_strChatPath;
}

const QList<CommandQueue> &KZemvik::addQueue() const
{
    return m_pAddQueue;
}

void KZemvik::setViewerCommand(const QString &command)
{
    m_strViewerCommand = command;
}

QString KZemvik::viewerCommand() const
{
    return m_strViewerCommand;
}

void KZemvik::setConnectionTimings(int connectMs, int retryMs, int pingMs, int pingRetryMs)
{
    if (m_pDPLConnection) {
        m_pDPLConnection->setTimings(connectMs, retryMs, pingMs, pingRetryMs);
    }
    if (m_pDPConnection) {
        m_pDPConnection->setTimings(connectMs, retryMs, pingMs, pingRetryMs);
    }
}

void KZemvik::setRetryInterval(int ms)
{
    m_nRetryInterval = ms;
}

// ---- start-up ---------------------------------------------------------------------------------

bool KZemvik::initialize()
{
    const auto fail = [this](const char *text) {
        MessageBoxes::instance()->information(this, QString::fromUtf8(text), QStringLiteral("caption"));
        return false;
    };
    if (!initInterface()) {
        return fail("oops, KZemvikinterface initialize fail!");
    }
    if (!m_pNetworkWindow) {
        // A top-level window of its own: a diagnostic view must not follow the main window around.
        m_pNetworkWindow = new NetworkWindow(nullptr);
        m_pNetworkWindow->setObjectName(QStringLiteral("network window"));
        m_pNetworkWindow->resize(500, 600);
        m_pNetworkWindow->move(0, 0);
    }
    if (!initDPLConnection()) {
        return fail("oops, zemvikdplconnection  initialize fail!");
    }
    if (!initDPConnection()) {
        return fail("oops, zemvikdpconnection  initialize fail!");
    }
    // The logout window is built at the first sign-in; nothing can fail here.
    if (!initMainView()) {
        return fail("oops, mainview  initialize fail!");
    }
    if (!initLoginView()) {
        return fail("oops, loginview  initialize fail!");
    }
    if (!initSystemTray()) {
        return fail("oops, systemtray  initialize fail!");
    }
    if (!initIdleTimer()) {
        return fail("oops, IdleTimer  initialize fail!");
    }
    connect(action(QStringLiteral("setup_menu")), &QAction::triggered, this, &KZemvik::slotSetup);
    // Usable before the first sign-in too, as the menu offers it.
    connect(toggleAction(QStringLiteral("alwaysTop")), &KToggleAction::toggled, this, &KZemvik::slotMenuAlwaysTop);
    if (!action(QStringLiteral("network_log"))) {
        // For diagnosis only: the log window is otherwise never shown.
        auto *log = new QAction(i18n("서버 메시지 기록(&L)"), this);
        actions()->addAction(QStringLiteral("network_log"), log);
        connect(log, &QAction::triggered, this, &KZemvik::showNetworkWindow);
        if (auto *help = findChild<QMenu *>(QStringLiteral("helpmenu"))) {
            help->addSeparator();
            help->addAction(log);
        }
    }
    slotUpdateStatusText(QStringLiteral("대기중"));
    wireConversations();

    // With automatic login the window goes straight to signing in.
    if (m_bAutoLogin) {
        m_pLoginView->connectToDPLserver();
    }
    return true;
}

void KZemvik::showNetworkWindow()
{
    if (m_pNetworkWindow) {
        m_pNetworkWindow->show();
        m_pNetworkWindow->raise();
    }
}

bool KZemvik::initDPLConnection()
{
    if (m_pDPLConnection) {
        return true;
    }
    m_pDPLConnection = new ZemvikDPLConnection(this);
    if (!m_pDPLConnection->initialize()) {
        return false;
    }
    connect(m_pDPLConnection, &ZemvikConnection::disconnected, this, &KZemvik::DPLdisconnected);
    connect(m_pDPLConnection, &ZemvikConnection::messageSent, m_pNetworkWindow, &NetworkWindow::addOutgoingServerMessage);
    connect(m_pDPLConnection, &ZemvikConnection::messageReceived, m_pNetworkWindow, &NetworkWindow::addIncomingServerMessage);
    connect(m_pDPLConnection, &ZemvikDPLConnection::connectDPWithAccount, this, &KZemvik::connectDPWithAccount);
    connect(m_pDPLConnection, &ZemvikDPLConnection::handshakeFailed, this, [this] {
        m_bDPLPending = false;
        m_pDPLConnection->closeConnection(true);
        connectionFailed();
    });
    connect(m_pDPLConnection, &ZemvikConnection::proxyError, this, [this](const QString &message) {
        // One box for the failed attempt: the close that follows is not reported again.
        m_bDPLPending = false;
        information(message, QStringLiteral("ZEMVIK"));
        m_pLoginView->setActive(true);
    });
    return true;
}

bool KZemvik::initDPConnection()
{
    if (m_pDPConnection) {
        return true;
    }
    m_pDPConnection = new ZemvikDPConnection(this);
    if (!m_pDPConnection->initialize()) {
        return false;
    }
    ZemvikDPConnection *dp = m_pDPConnection;
    connect(dp, &ZemvikDPConnection::connected, this, &KZemvik::connected);
    connect(dp, &ZemvikConnection::disconnected, this, &KZemvik::disconnected);
    connect(dp, &ZemvikConnection::messageSent, m_pNetworkWindow, &NetworkWindow::addOutgoingServerMessage);
    connect(dp, &ZemvikConnection::messageReceived, m_pNetworkWindow, &NetworkWindow::addIncomingServerMessage);
    connect(dp, &ZemvikDPConnection::ReceiveRESS, this, &KZemvik::slotViewChat);
    connect(dp, &ZemvikDPConnection::receivedINVT, this, &KZemvik::gotINVT);
    connect(dp, &ZemvikDPConnection::addCommandQueue, this, &KZemvik::slotAddCommandQueue);
    connect(dp, &ZemvikDPConnection::err300, this, &KZemvik::slotErr300);
    connect(dp, &ZemvikDPConnection::err301, this, &KZemvik::slotErr301);
    connect(dp, &ZemvikDPConnection::err302, this, &KZemvik::slotErr302);
    connect(dp, &ZemvikDPConnection::err306, this, &KZemvik::slotErr306);
    connect(dp, &ZemvikDPConnection::err309, this, &KZemvik::slotErr309);
    connect(dp, &ZemvikDPConnection::err421, this, &KZemvik::slotErr421);
    connect(dp, &ZemvikDPConnection::err500, this, &KZemvik::slotErr500);
    connect(dp, &ZemvikDPConnection::err201, this, &KZemvik::slotErr201);
    connect(dp, &ZemvikDPConnection::receivedLSIN, this, &KZemvik::slotLSIN);
    connect(dp, &ZemvikDPConnection::showAddConfirm, this, &KZemvik::slotAddConfirm);
    connect(dp, &ZemvikDPConnection::receivedNNIK, this, &KZemvik::slotNNIK);
    connect(dp, &ZemvikDPConnection::receivedNPRF, this, &KZemvik::slotNPRF);
    connect(dp, &ZemvikDPConnection::receivedALRM, this, &KZemvik::slotALRM);
    connect(dp, &ZemvikDPConnection::receivedCALM, this, &KZemvik::slotCALM);
    connect(dp, &ZemvikDPConnection::updateStatusText, this, &KZemvikInterface::slotUpdateStatusText);
    connect(dp, &ZemvikConnection::pingError, this, &KZemvik::slotPingError);
    connect(dp, &ZemvikDPConnection::refreshBuddyList, this, &KZemvik::slotRefreshBuddyList);
    connect(dp, &ZemvikDPConnection::kill, this, &KZemvik::slotKill);
    connect(dp, &ZemvikConnection::proxyError, this, [this](const QString &message) {
        information(message, QStringLiteral("ZEMVIK"));
    });
    return true;
}

bool KZemvik::initMainView()
{
    if (m_pMainView) {
        return true;
    }
    m_pMainView = new KZemvikMainview(m_pStack);
    m_pMainView->setObjectName(QStringLiteral("m_pMainView"));
    m_pMainView->setLists(m_pAccount->buddyList, m_pAccount->groupList);
    m_pStack->addWidget(m_pMainView);
    connect(m_pMainView, &KZemvikMainview::startMemoView, this, &KZemvik::slotViewMemo);
    return true;
}

bool KZemvik::initLoginView()
{
    if (!m_pLoginView) {
        m_pLoginView = new LoginView(m_pStack);
        m_pLoginView->setObjectName(QStringLiteral("loginview"));
        m_pStack->addWidget(m_pLoginView);
        showLoginView();
        connect(m_pLoginView->hiddenLoginBox(), &QCheckBox::toggled, this, &KZemvik::slotHidenLogin);
        connect(m_pLoginView, &LoginView::connectWithAccount, this, &KZemvik::connectWithAccount);
    }
    m_pLoginView->restoreStoredLogin();
    m_bAutoLogin = Settings::autoLogin();
    return true;
}

bool KZemvik::initSystemTray()
{
    if (!m_pTray) {
        m_pLoginAction = new QAction(QIcon::fromTheme(QStringLiteral("online")), i18n("로그인"), this);
        actions()->addAction(QStringLiteral("login_menu"), m_pLoginAction);
        connect(m_pLoginAction, &QAction::triggered, this, &KZemvik::slotLogin);
        m_pTray = new SystemTrayWidget(this);
        m_pTray->buildMenu(m_pLoginAction);
        connect(m_pTray, &SystemTrayWidget::quitSelected, this, &KZemvik::slotCloseApp);
        connect(action(QStringLiteral("Quit")), &QAction::triggered, this, &KZemvik::slotCloseApp);
    }
    return true;
}

bool KZemvik::initIdleTimer()
{
    //! The idle detector is built with the auto-away work; slotUserIsIdle()/slotUserIsNotIdle() take its signals.
    return true;
}

// ---- sign-in --------------------------------------------------------------------------------

void KZemvik::slotLogin()
{
    m_pLoginView->connectToDPLserver();
}

void KZemvik::slotHidenLogin(bool on)
{
    Settings::setHiddenLogin(on);
}

void KZemvik::connectWithAccount(Account *account)
{
    m_bUserLogout = false;
    slotUpdateStatusText(QStringLiteral("접속 및 인중 확인 중"));
    if (!account) {
        return;
    }
    // A new attempt replaces whatever the last one left running.
    m_bDPLPending = false;
    m_pDPLConnection->closeConnection(true);
    m_pAccount->copyFrom(*account);
    delete account;
    m_bDPLPending = true;
    if (!m_pDPLConnection->connectToServer()) {
        m_bDPLPending = false;
        connectionFailed();
    }
}

void KZemvik::connectDPWithAccount(Account *account)
{
    m_bDPLPending = false;
    if (!account) {
        return;
    }
    // The dispatch server has done its part.
    m_pDPLConnection->closeConnection(true);
    if (m_pDPConnection->isConnected()) {
        m_pDPConnection->closeConnection(true);
    }
    m_pAccount->copyFrom(*account);
    const bool haveServer = !account->serverHost().isEmpty() && account->serverPort() > 0;
    delete account;
    if (!haveServer || !m_pDPConnection->connectToServer()) {
        connectionFailed();
    }
}

void KZemvik::DPLdisconnected()
{
    qCDebug(KZEMVIK_APP) << "DPL disconnected!";
    if (!m_bDPLPending) {
        return;
    }
    // The dispatch server could not be reached: report it now instead of retrying behind a dead window.
    m_bDPLPending = false;
    m_pDPLConnection->closeConnection(true);
    connectionFailed();
}

void KZemvik::connectionFailed()
{
    if (m_bAutoRetry && m_pRetryTimer) {
        // Reconnecting after a lost session: the next attempt follows on its own, without a box each time.
        qCDebug(KZEMVIK_APP) << "reconnection attempt failed; trying again";
        if (!m_pRetryTimer->isActive()) {
            m_pRetryTimer->start(m_nRetryInterval);
        }
        return;
    }
    MessageBoxes *boxes = MessageBoxes::instance();
    ++m_nOpenBoxes;
    boxes->error(this, i18n("The connection to the server failed.") + QStringLiteral("\r\n") + i18n("You may not be connected to the internet"), QString());
    --m_nOpenBoxes;
    const bool wasAutoLogin = m_bAutoLogin;
    m_bAutoLogin = false;
    m_pLoginView->setActive(true);
    if (wasAutoLogin) {
        m_pLoginView->turnOffAutoLogin();
    }
    slotUpdateStatusText(QStringLiteral("대기중"));
}

void KZemvik::information(const QString &text, const QString &title)
{
    if (m_nOpenBoxes > 0) {
        qCDebug(KZEMVIK_APP) << "box not shown, another is open:" << text;
        return;
    }
    ++m_nOpenBoxes;
    MessageBoxes::instance()->information(this, text, title);
    --m_nOpenBoxes;
}

void KZemvik::stopAutoRetry()
{
    m_bAutoRetry = false;
    if (m_pRetryTimer) {
        m_pRetryTimer->stop();
    }
}

// ---- error answers --------------------------------------------------------------------------

void KZemvik::slotErr201()
{
    if (m_bWired) {
        return;
    }
    m_pLoginView->setActive(true);
    if (m_bAutoLogin) {
        m_bAutoLogin = false;
        m_pLoginView->turnOffAutoLogin();
    }
}

void KZemvik::slotErr300()
{
    stopAutoRetry();
    information(m_pAccount->loginID() + QStringLiteral(" 는 존재하지 않는 아이디입니다. 확인 후 다시 시도해 주십시오."), QStringLiteral("ZEMVIK"));
    showLoginView();
}

void KZemvik::slotErr301(const QStringList &fields)
{
    if (fields.size() > 1) {
        bool ok = false;
        const int tid = fields.at(1).toInt(&ok);
        if (ok && tid == m_nSyncTid) {
            Q_EMIT mvSyncAuthError(true);
            return;
        }
    }
    stopAutoRetry();
    information(QStringLiteral("비밀번호가 틀렸습니다. 확인 후 다시 시도해 주십시오."), QStringLiteral("ZEMVIK"));
    showLoginView();
    m_pLoginView->clearPassword();
}

void KZemvik::slotErr302()
{
    stopAutoRetry();
    information(QStringLiteral("이미 로그인 되있습니다."), QStringLiteral("ZEMVIK"));
}

void KZemvik::slotErr306()
{
    m_bUserLogout = false;
    m_pLoginView->focusPassword();
    information(QStringLiteral("접속이 원활하지 못합니다. 접속을 다시 시도 바랍니다."), QStringLiteral("접속 에러"));
}

void KZemvik::slotErr309()
{
    if (m_pAccount->accountType != 'N') {
        Q_EMIT mvSyncAuthError(true);
    }
}

void KZemvik::slotErr421()
{
    stopAutoRetry();
    if (m_pDPConnection->isConnected()) {
        m_pDPConnection->closeConnection(false);
    }
    information(QStringLiteral("죄송합니다. 서버 작업으로 Zemvik 접속 할 수 없습니다.\n다음에 다시 접속을 시도해 주십시요."), QStringLiteral("Zemvik - 접속에러"));
}

void KZemvik::slotErr500(const QStringList &fields)
{
    if (fields.size() > 1) {
        bool ok = false;
        const int tid = fields.at(1).toInt(&ok);
        if (ok && tid == m_nSyncTid) {
            Q_EMIT mvSyncAuthError(true);
        }
    }
}

// ---- signed-in session ----------------------------------------------------------------------

void KZemvik::slotLSIN()
{
    // Requests queued by an earlier sign-in were answered or dropped with it.
    m_pAddQueue.clear();
    //! The invitation-text web call and the preference dialog for the account type hook in here.
}

void KZemvik::connected()
{
    slotUpdateStatusText(QStringLiteral("접속 됨"));
    //! The login sound plays here once event sounds exist.

    m_bConnected = true;
    m_bAutoRetry = true;
    if (m_pRetryTimer) {
        m_pRetryTimer->stop();
    }
    m_bAutoLogin = m_pLoginView->isAutoLogin();

    if (!m_pLogoutView) {
        m_pLogoutView = new LogoutView(m_pStack);
        m_pLogoutView->setObjectName(QStringLiteral("logoutview"));
        m_pStack->addWidget(m_pLogoutView);
        connect(m_pLogoutView->reloginButton(), qOverload<>(&ShapeButton::clicked), this, &KZemvik::slotRelogin);
        connect(m_pLogoutView->otherLoginLabel(), &LinkLabel::clicked, this, &KZemvik::slotOtherLogin);
        connect(m_pLoginView, &LoginView::changeLoginID, m_pLogoutView, &LogoutView::slotChangeLoginID);
    }
    m_pLogoutView->slotChangeLoginID(m_pAccount->ownId());

    showMainView();
    if (!m_bWired) {
        wireMainView();
    }

    QStringList names;
    if (m_pAccount->groupList) {
        for (const Group *group : *m_pAccount->groupList) {
            names << group->itemName();
        }
    }
    m_pMainView->slotSetGroupList(names);
    slotSetGroupList(names);
    m_pMainView->refreshList();

    Q_EMIT ChangeNickName(m_pAccount->nick);

    //! Buddy operations put each queued request (m_pAddQueue) to the user here.
    m_pAddQueue.clear();

    if (KSelectAction *naming = selectAction(QStringLiteral("Menu_Naming"))) {
        naming->setCurrentItem(Settings::buddyListType());
    }
    if (KSelectAction *sorting = selectAction(QStringLiteral("Menu_Sorting"))) {
        sorting->setCurrentItem(Settings::buddySortType());
    }
    //! The memo count, profile and buddy repair web calls start here.

    setUpUserData();

    setSignedInMenus(true);
    const bool top = Settings::alwaysTop();
    slotMenuAlwaysTop(top);
    if (KToggleAction *topAction = toggleAction(QStringLiteral("alwaysTop"))) {
        const QSignalBlocker blocker(topAction);
        topAction->setChecked(top);
    }

    rewriteUserTable();
    m_bWired = true;

    if (Settings::hiddenLogin()) {
        hide();
    }
    m_pMainView->slotEmoticonList(Settings::useEmoticonBuddyList());
    m_pLoginAction->setEnabled(false);
    slotUpdateAwayInfo();
    applyStatus(m_pLoginView->isHiddenLogin() ? 5 : 0);

    if (!m_pSyncTimer) {
        m_pSyncTimer = new QTimer(this);
        m_pSyncTimer->setSingleShot(true);
        connect(m_pSyncTimer, &QTimer::timeout, this, &KZemvik::slotC1C2);
        m_pMemoPopupTimer = new QTimer(this);
        m_pMemoPopupTimer->setSingleShot(true);
        connect(m_pMemoPopupTimer, &QTimer::timeout, this, &KZemvik::slotShowMemoPopup);
    }
    m_pSyncTimer->start(2000);
    m_pMemoPopupTimer->start(10000);

    // --- start-up benchmark hook (bench/desktopbench.sh) ---
    // With KZEMVIK_BENCH_READY_FILE set, that file gets "HEADERS ROWS" of the shown list on the event
    // loop's next turn after the list was filled (pending paints go first). Nothing happens without it.
    const QString readyFile = qEnvironmentVariable("KZEMVIK_BENCH_READY_FILE");
    if (!readyFile.isEmpty()) {
        QTimer::singleShot(0, this, [this, readyFile] {
            const BuddyTreeModel *model = m_pMainView->model();
            int rows = 0;
            for (int header = 0; header < model->rowCount(); ++header) {
                rows += model->rowCount(model->index(header, 0));
            }
            QSaveFile file(readyFile);
            if (file.open(QIODevice::WriteOnly)) {
                file.write(QByteArray::number(model->rowCount()) + ' ' + QByteArray::number(rows) + '\n');
                file.commit();
            }
        });
    }
    // --- end of the start-up benchmark hook ---
}

void KZemvik::wireMainView()
{
    KZemvikMainview *view = m_pMainView;
    connect(m_pDPConnection, &ZemvikDPConnection::receivedINFY, this, &KZemvik::slotGotINFY);
    connect(this, &KZemvik::ChangeGroupList, view, &KZemvikMainview::slotSetGroupList);
    connect(this, &KZemvik::ChangeGroupList, this, &KZemvikInterface::slotSetGroupList);
    connect(this, &KZemvik::ChangeNickName, view, &KZemvikMainview::slotChangeNickName);
    connect(this, &KZemvik::addNewGroup, view, &KZemvikMainview::slotGroupAdded);
    // The session hands memos over parsed now; memo routing takes them from here.
    connect(m_pDPConnection, &ZemvikDPConnection::receivedMemoCTOC, this, &KZemvik::slotViewMemoPopup);
    connect(m_pDPConnection, &ZemvikDPConnection::receivedREQST, view, &KZemvikMainview::slotAddFriend);
    connect(m_pDPConnection, &ZemvikDPConnection::allowAccept, view, [view](Buddy *buddy) {
        view->slotAddBuddy(QString(), buddy);
    });
    connect(action(QStringLiteral("logout_menu")), &QAction::triggered, this, &KZemvik::slotDisconnected);
    connect(view, &KZemvikMainview::changeStatusNumber, this, &KZemvik::slotChangeStatusNumber);
    connect(action(QStringLiteral("GoChat")), &QAction::triggered, view, &KZemvikMainview::slotGoChat);
    connect(action(QStringLiteral("SendMemo")), &QAction::triggered, view, &KZemvikMainview::slotViewMemo);
    connect(selectAction(QStringLiteral("Menu_Naming")), &KSelectAction::indexTriggered, this, &KZemvik::slotNamingSelect);
    connect(selectAction(QStringLiteral("Menu_Sorting")), &KSelectAction::indexTriggered, this, &KZemvik::slotBuddySort);
    const struct {
        const char *name;
        void (KZemvik::*slot)();
    } viewEntries[] = {
        {"view_name", &KZemvik::slotBuddyOnlyName},
        {"view_nick", &KZemvik::slotBuddyOnlyNick},
        {"view_name_id", &KZemvik::slotBuddyNameID},
        {"view_name_nick", &KZemvik::slotBuddyNameNick},
        {"view_all", &KZemvik::slotBuddyListAll},
        {"view_online", &KZemvik::slotBuddyListOnline},
        {"view_online_offline", &KZemvik::slotBuddyListOnOff},
    };
    for (const auto &entry : viewEntries) {
        if (QAction *a = view->action(QString::fromLatin1(entry.name))) {
            connect(a, &QAction::triggered, this, entry.slot);
        }
    }
    //! Conversations, group chats, blocking, group and buddy edits, file sending and profiles are routed here.
}

void KZemvik::showLoginView()
{
    m_pStack->setCurrentWidget(m_pLoginView);
    m_pLoginView->setActive(true);
}

void KZemvik::showLogoutView()
{
    if (m_pLogoutView) {
        m_pStack->setCurrentWidget(m_pLogoutView);
    } else {
        showLoginView();
    }
}

void KZemvik::showMainView()
{
    m_pStack->setCurrentWidget(m_pMainView);
}

bool KZemvik::isSafePathComponent(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") && name != QLatin1String("%00")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

void KZemvik::setUpUserData()
{
    const QString id = m_pAccount->ownId();
    m_strMemoPath.clear();
    m_strChatPath.clear();
    m_strUserPath.clear();
    if (!isSafePathComponent(id)) {
        // The server named us with something that is not a directory name: keep no local data.
        qCWarning(KZEMVIK_APP) << "own ID is not usable as a directory name; local data disabled:" << id;
        return;
    }
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') + id + QLatin1Char('/');
    const QString memo = base + QStringLiteral("memodata/");
    const QString chat = base + QStringLiteral("chatdata/");
    if (!QDir().mkpath(memo) || !QDir().mkpath(chat)) {
        qCWarning(KZEMVIK_APP) << "cannot create the data directories under" << base;
        return;
    }
    m_strMemoPath = memo;
    m_strChatPath = chat;
    m_strUserPath = base;
    Settings::setProfilePaths(id, memo, chat);
    m_pLocalDB->openMemoStore(memo);
    m_pLocalDB->openChatStore(chat);
    m_pLocalDB->openUserStore(base);
}

void KZemvik::rewriteUserTable()
{
    if (m_strUserPath.isEmpty() || !m_pAccount->buddyList) {
        return;
    }
    const SQLiteDB::User self{m_pAccount->ownId(), m_pAccount->name, m_pAccount->nick};
    if (!m_pLocalDB->rewriteUserTable(self, *m_pAccount->buddyList)) {
        qCWarning(KZEMVIK_APP) << "the user table of the message viewer could not be rewritten:" << m_pLocalDB->lastError();
    }
}

void KZemvik::disconnected()
{
    slotUpdateStatusText(QStringLiteral("접속 끊김"));
    const bool wasConnected = m_bConnected;
    m_bConnected = false;
    saveWindowProperties();
    m_pMainView->clearList();
    if (!wasConnected) {
        // Signing in failed half-way: no retry of the connection behind the user's back.
        m_pDPConnection->closeConnection(true);
    }
    if (m_bUserLogout) {
        stopAutoRetry();
        showLogoutView();
    } else if (!m_pLoginView->isHidden()) {
        m_pLoginView->focusPassword();
    }
    if (m_pAccount->groupList) {
        m_pAccount->groupList->deleteAll();
    }
    if (m_pAccount->buddyList) {
        m_pAccount->buddyList->deleteAll();
    }
    if (!m_pLoginView->isHidden()) {
        m_pLoginView->setActive(true);
    }
    setSignedInMenus(false);
    m_pLoginAction->setEnabled(true);
    applyStatus(5);
    closeAllChats();
    if (m_pMemoPopupTimer) {
        m_pMemoPopupTimer->stop();
        m_pSyncTimer->stop();
    }
}

int KZemvik::openChatCount() const
{
    return m_pChatList ? m_pChatList->count() : 0;
}

void KZemvik::slotDisconnected()
{
    if (openChatCount() > 0
        && !MessageBoxes::instance()->questionYesNo(this, QStringLiteral("Zemvik을 로그아웃합니다. 열려 있는 모든 창이 닫힙니다."), QStringLiteral("Zemvik"))) {
        return;
    }
    // Only a confirmed logout counts: a refused one must not turn a later lost session into a logout.
    m_bUserLogout = true;
    stopAutoRetry();
    //! The file transfer window is closed here.
    m_pDCOP->sendToViewer(QStringLiteral("dcopCommand"), QStringLiteral("QUIT"));
    m_pDPConnection->disconnectFromServer();
}

void KZemvik::slotCloseApp()
{
    if (openChatCount() > 0
        && !MessageBoxes::instance()->questionYesNo(this, QStringLiteral("Zemvik을 로그아웃합니다. 열려 있는 모든 창이 닫힙니다."), QStringLiteral("Zemvik"))) {
        return;
    }
    m_bQuit = true;
    close();
}

void KZemvik::closeEvent(QCloseEvent *event)
{
    hide();
    if (!m_bQuit) {
        // Closing the window only hides it; the program lives on behind the tray icon.
        event->ignore();
        return;
    }
    m_pDCOP->sendToViewer(QStringLiteral("dcopCommand"), QStringLiteral("QUIT"), true);
    event->accept();
}

void KZemvik::slotPingError()
{
    showLogoutView();
    if (m_bAutoRetry) {
        if (!m_pRetryTimer) {
            m_pRetryTimer = new QTimer(this);
            m_pRetryTimer->setSingleShot(true);
            connect(m_pRetryTimer, &QTimer::timeout, this, &KZemvik::slotRetryConnect);
        }
        m_pRetryTimer->start(m_nRetryInterval);
    }
}

void KZemvik::slotRetryConnect()
{
    if (m_bConnected) {
        m_pRetryTimer->stop();
        return;
    }
    if (!m_bAutoRetry) {
        return;
    }
    m_pRetryTimer->start(m_nRetryInterval);
    m_pLoginView->connectToDPLserver();
}

void KZemvik::slotRelogin()
{
    if (m_bAutoLogin) {
        m_pLoginView->connectToDPLserver();
        return;
    }
    stopAutoRetry();
    showLoginView();
    m_pLoginView->clearPassword();
}

void KZemvik::slotOtherLogin()
{
    stopAutoRetry();
    showLoginView();
    m_pLoginView->resetForOtherID();
}

void KZemvik::slotKill()
{
    // Signed in elsewhere: end this session like a logout, and do not fight for it.
    m_bUserLogout = true;
    stopAutoRetry();
    m_pDCOP->sendToViewer(QStringLiteral("dcopCommand"), QStringLiteral("QUIT"));
    if (m_pDPConnection->isConnected()) {
        m_pDPConnection->disconnectFromServer();
    }
    information(QStringLiteral("고객님께서는 다른 PC, 모바일기기로 접속하셨거나 Mavrelo 아이디를 Tirn닷컴 아이디로 변경 또는 회원탈퇴로 인하여 로그아웃 되었습니다. "
                               "자세한 사항은 Zemvik관리자(help@zemvik.example)에게 문의해 주십시오."),
                QStringLiteral("Zemvik - 로그아웃"));
    slotOtherLogin();
}

void KZemvik::slotSetup()
{
    //! The preference dialog opens here, in its signed-in or signed-out mode after m_bConnected.
}

void KZemvik::slotChangeStatusNumber(int status)
{
    applyStatus(status);
}

void KZemvik::applyStatus(int status)
{
    m_bIdleSuppressed = !(m_pAccount->autoAway && status == 0);
    Q_EMIT changeStatus(status);
    if (status < 0 || status > 5) {
        return;
    }
    if (KSelectAction *menu = selectAction(QStringLiteral("status"))) {
        if (menu->currentItem() != status) {
            menu->setCurrentItem(status);
        }
    }
    m_pMainView->showStatus(status);
    static const char letters[] = {'O', 'A', 'B', 'P', 'M', 'F'};
    if (m_pDPConnection->isConnected()) {
        switch (status) {
        case 0:
            m_pDPConnection->slotChangeStatusOnline();
            break;
        case 1:
            m_pDPConnection->slotChangeStatusAway();
            break;
        case 2:
            m_pDPConnection->slotChangeStatusBusy();
            break;
        case 3:
            m_pDPConnection->slotChangeStatusPhone();
            break;
        case 4:
            m_pDPConnection->slotChangeStatusMeeting();
            break;
        default:
            m_pDPConnection->slotChangeStatusOffline();
            break;
        }
    }
    m_pAccount->status = letters[status];
    Q_EMIT m_pAccount->changedStatus();
}

void KZemvik::slotUserIsIdle()
{
    if (m_bIdleSuppressed) {
        return;
    }
    m_bIdleSuppressed = true;
    Q_EMIT changeStatus(1);
    m_pMainView->showStatus(1);
    if (m_pDPConnection->isConnected()) {
        m_pDPConnection->slotChangeStatusAway();
    }
    m_pTray->setPicture(QStringLiteral("main_list_state_vacant"));
}

void KZemvik::slotUserIsNotIdle()
{
    m_bIdleSuppressed = false;
    applyStatus(0);
}

void KZemvik::slotUpdateAwayInfo()
{
    m_pAccount->autoAway = Settings::useAwayTime();
    m_pAccount->setAwayTime(Settings::awayTime());
}

void KZemvik::slotAddCommandQueue(const QStringList &fields)
{
    if (fields.size() > 6 && fields.at(0) == QLatin1String("LIST") && fields.at(4) == QLatin1String("0001")) {
        m_pAddQueue.append({QStringLiteral("ADSB"), fields.at(6) + QLatin1Char(' ') + fields.at(5)});
    }
}

// ---- menu bar and view --------------------------------------------------------------------

void KZemvik::slotNamingSelect(int mode)
{
    switch (mode) {
    case 0:
        m_pMainView->slotListOnlyName();
        break;
    case 1:
        m_pMainView->slotListOnlyNick();
        break;
    case 2:
        m_pMainView->slotListNameID();
        break;
    case 3:
        m_pMainView->slotListNameNick();
        break;
    default:
        break;
    }
}

void KZemvik::slotBuddySort(int mode)
{
    switch (mode) {
    case 0:
        m_pMainView->slotSortNormal();
        break;
    case 1:
        m_pMainView->slotSortOnlyOnline();
        break;
    case 2:
        m_pMainView->slotSortOnOffline();
        break;
    default:
        break;
    }
}

void KZemvik::slotBuddyOnlyName()
{
    selectAction(QStringLiteral("Menu_Naming"))->setCurrentItem(0);
}

void KZemvik::slotBuddyOnlyNick()
{
    selectAction(QStringLiteral("Menu_Naming"))->setCurrentItem(1);
}

void KZemvik::slotBuddyNameID()
{
    selectAction(QStringLiteral("Menu_Naming"))->setCurrentItem(2);
}

void KZemvik::slotBuddyNameNick()
{
    selectAction(QStringLiteral("Menu_Naming"))->setCurrentItem(3);
}

void KZemvik::slotBuddyListAll()
{
    selectAction(QStringLiteral("Menu_Sorting"))->setCurrentItem(0);
}

void KZemvik::slotBuddyListOnline()
{
    selectAction(QStringLiteral("Menu_Sorting"))->setCurrentItem(1);
}

void KZemvik::slotBuddyListOnOff()
{
    selectAction(QStringLiteral("Menu_Sorting"))->setCurrentItem(2);
}

void KZemvik::slotMenuAlwaysTop(bool on)
{
    Settings::setAlwaysTop(on);
    const bool onTop = windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    if (on == onTop) {
        return;
    }
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible) {
        show();
    }
}

void KZemvik::slotListEmoticon(bool on)
{
    Settings::setUseEmoticonBuddyList(on);
    m_pMainView->slotEmoticonList(on);
    m_pMainView->slotSortNormal();
}

// ---- message viewer -------------------------------------------------------------------------

void KZemvik::dcopCommand(const QString &s)
{
    const QStringList fields = s.split(QLatin1Char(':'));
    const QString &head = fields.at(0);
    if (head == QLatin1String("DB") && fields.size() > 1 && fields.at(1) == QLatin1String("PATH")) {
        QString path = m_strUserPath;
        if (path.endsWith(QLatin1Char('/'))) {
            path.chop(1);
        }
        m_pDCOP->sendToViewer(QStringLiteral("setDBPath"), path);
    } else if (head == QLatin1String("CMD") && fields.size() > 1 && fields.at(1) == QLatin1String("GET")) {
        if (m_strViewerCommand.size() > 1) {
            qCDebug(KZEMVIK_APP) << "XXX [" << m_strViewerCommand << "]";
            m_pDCOP->sendToViewer(QStringLiteral("dcopCommand"), m_strViewerCommand);
            m_strViewerCommand.clear();
        }
    } else if (head == QLatin1String("MEMO") && fields.size() > 1) {
        const QString &what = fields.at(1);
        if (what == QLatin1String("NEW")) {
            slotViewMemo(QString());
        } else if (what == QLatin1String("COUNT") && fields.size() > 2) {
            bool ok = false;
            const int count = fields.at(2).toInt(&ok);
            if (ok && count >= 0) {
                m_pMainView->setMemoCount(count);
            }
        } else if ((what == QLatin1String("INBOX") || what == QLatin1String("OUTBOX")) && fields.size() > 3) {
            runMemoCommand(fields, s);
        }
    } else if (head == QLatin1String("CHAT") && fields.size() > 1) {
        runChatCommand(fields.at(1), s);
    }
}

void KZemvik::runMemoCommand(const QStringList &fields, const QString &command)
{
    const bool inbox = fields.at(1) == QLatin1String("INBOX");
    const QString file = m_strMemoPath + (inbox ? QStringLiteral("local_inbox.db") : QStringLiteral("local_outbox.db"));
    // Before sign-in there is no store; never let a query create a database somewhere else.
    if (m_strMemoPath.isEmpty() || !QFileInfo::exists(file)) {
        qCDebug(KZEMVIK_APP) << "[NOTICE] memo store not open, refused : [" << command << "]";
        return;
    }
    const SQLiteDB::Rows rows = inbox ? m_pLocalDB->readInboxMemo(fields.at(3)) : m_pLocalDB->readOutboxMemo(fields.at(3));
    if (rows.isEmpty() || rows.first().size() < 3) {
        qCDebug(KZEMVIK_APP) << "[NOTICE] Not Found UUID : [" << command << "]";
        return;
    }
    //! Memo routing answers REPLY, REPLYALL, FORWARD and (received memos only) VIEW for this row.
}

void KZemvik::runChatCommand(const QString &uuid, const QString &command)
{
    const QString file = m_strChatPath + QStringLiteral("local_chat.db");
    if (m_strChatPath.isEmpty() || !QFileInfo::exists(file)) {
        qCDebug(KZEMVIK_APP) << "[NOTICE] chat store not open, refused : [" << command << "]";
        return;
    }
    const SQLiteDB::Rows rows = m_pLocalDB->readChatUsers(uuid);
    if (rows.isEmpty() || rows.first().isEmpty()) {
        qCDebug(KZEMVIK_APP) << "[NOTICE] Not Found UUID : [" << command << "]";
        return;
    }
    QList<Buddy *> buddies;
    const QStringList ids = rows.first().first().split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &id : ids) {
        Buddy *buddy = m_pAccount->buddyList ? m_pAccount->buddyList->findByLoginId(id) : nullptr;
        if (!buddy) {
            continue;
        }
        buddy->inChat = true;
        buddies.append(buddy);
        qCDebug(KZEMVIK_APP) << "[Chatting List] >>> [" << buddy->name << "]";
    }
    if (!buddies.isEmpty()) {
        startChat(buddies);
    }
}

// ---- seams for the conversation, memo and buddy work ----------------------------------------

void KZemvik::slotViewMemoPopup(const MimeMessage &message)
{
    //! Memo routing stores, counts and shows the received memo here.
    Q_UNUSED(message)
}

void KZemvik::slotViewMemo(const QString &recipients)
{
    //! Memo routing opens the memo window for the recipients here.
    Q_UNUSED(recipients)
}

void KZemvik::slotShowMemoPopup()
{
    //! Memo routing reminds of unread memos here.
}

void KZemvik::slotC1C2()
{
    //! The sister-service link lookup runs here.
}

void KZemvik::slotAddConfirm(const QStringList &fields)
{
    //! Buddy operations ask whether to add the member who added us.
    Q_UNUSED(fields)
}

void KZemvik::slotNNIK(const QStringList &fields)
{
    //! Buddy operations apply a buddy's new nickname here.
    Q_UNUSED(fields)
}

void KZemvik::slotNPRF(const QStringList &fields)
{
    //! Profile notices are handled here.
    Q_UNUSED(fields)
}

void KZemvik::slotALRM(const QStringList &fields)
{
    //! Service notices are shown here.
    Q_UNUSED(fields)
}

void KZemvik::slotCALM(const QStringList &fields)
{
    //! Service notices are shown here.
    Q_UNUSED(fields)
}

void KZemvik::slotRefreshBuddyList()
{
    m_pMainView->refreshList();
}

// ---- conversation routing ---------------------------------------------------------------------

ChatList *KZemvik::chatList() const
{
    return m_pChatList;
}

int KZemvik::popupCount() const
{
    return m_nPopupCount;
}

ClickLabel *KZemvik::popup() const
{
    return m_pPopup;
}

void KZemvik::wireConversations()
{
    if (m_pChatList) {
        return;
    }
    m_pChatList = new ChatList(this);
    KZemvikMainview *view = m_pMainView;
    connect(view, qOverload<Buddy *>(&KZemvikMainview::startChat), this, qOverload<Buddy *>(&KZemvik::startChat));
    connect(view, qOverload<const QList<Buddy *> &>(&KZemvikMainview::startChat), this, qOverload<const QList<Buddy *> &>(&KZemvik::startChat));
    connect(view, &KZemvikMainview::startGroupChat, this, &KZemvik::slotStartChat);
    if (QAction *box = action(QStringLiteral("OpenChatBox"))) {
        connect(box, &QAction::triggered, this, &KZemvik::slotViewChatBox);
    }
}

void KZemvik::closeAllChats()
{
    if (!m_pChatList) {
        return;
    }
    const QList<ChatView *> views = m_pChatList->views();
    for (ChatView *view : views) {
        m_pChatList->remove(view);
        view->session()->disconnectFromSwitchboard(true);
        delete view;
    }
}

ChatView *KZemvik::createChatView(int chatID)
{
    if (!m_pChatList) {
        return nullptr;
    }
    if (ChatView *known = m_pChatList->findChatByKey(chatID)) {
        return known;
    }
    ChatView *view = m_pChatList->chatFor(chatID);
    if (!view) {
        MessageBoxes::instance()->information(this, QStringLiteral("창을 생성하지 못했습니다. 개발자에게 말씀 부탁드립니다."), QStringLiteral("오류"));
        return nullptr;
    }
    view->session()->setBuddyList(m_pAccount->buddyList);
    connect(view, &ChatView::putINVT, this, &KZemvik::slotSendINVT);
    connect(view, &ChatView::newConnectSS, this, &KZemvik::slotNewConnectSS);
    if (m_pNetworkWindow) {
        connect(view, &ChatView::OutgoingMessage, m_pNetworkWindow, &NetworkWindow::addOutgoingServerMessage);
        connect(view, &ChatView::IncomingMessage, m_pNetworkWindow, &NetworkWindow::addIncomingServerMessage);
    }
    connect(view, &ChatView::hideChat, this, &KZemvik::slotChatRemove);
    connect(view, &ChatView::saveChatLog, this, &KZemvik::slotSaveChatLog);
    connect(view, &ChatView::showDownDir, this, &KZemvikInterface::slotOpenFileBox);
    connect(view, &ChatView::showChatLog, this, &KZemvik::slotViewChatLog);
    connect(view, &ChatView::sendMemo, this, &KZemvik::slotViewMemo);
    connect(view, &ChatView::showSetup, this, &KZemvik::slotSetup);
    connect(view, &ChatView::changeStatus, this, &KZemvik::slotChangeStatusNumber);
    connect(this, &KZemvik::changeStatus, view, &ChatView::slotChangeStatus);
    connect(view, &ChatView::updateInviteData, this, &KZemvik::slotChatInviteData);
    connect(view, &ChatView::putINVT_Invite, this, &KZemvik::slotInviteINVT);
    connect(view, &ChatView::gotChatMessage, this, &KZemvik::slotChatMessage);
    connect(this, &KZemvik::buddyChangeNick, view, &ChatView::slotBuddyChangeNick);
    view->slotChangeStatus(Status::numberOf(QString(QLatin1Char(m_pAccount->status))));
    return view;
}

void KZemvik::bringForward(ChatView *view)
{
    if (!view->isVisible()) {
        view->show();
    }
    view->showNormal();
    view->raise();
    view->setFocus();
    view->activateWindow();
    view->inputField()->setFocus();
}

void KZemvik::startChat(Buddy *buddy)
{
    if (!buddy || !m_pChatList) {
        return;
    }
    ChatView *view = m_pChatList->findChatByParticipant(buddy->loginId);
    if (!view) {
        view = createChatView(m_pDPConnection->requestSwitchboard());
        if (!view) {
            return;
        }
        view->addParticipant(buddy->loginId, true);
    }
    bringForward(view);
}

void KZemvik::startChat(const QList<Buddy *> &buddies)
{
    if (buddies.size() == 1) {
        startChat(buddies.first());
        return;
    }
    if (buddies.isEmpty() || !m_pChatList) {
        return;
    }
    // Several people always make a conversation of their own.
    ChatView *view = createChatView(m_pDPConnection->requestSwitchboard());
    if (!view) {
        return;
    }
    for (const Buddy *buddy : buddies) {
        if (buddy) {
            view->addParticipant(buddy->loginId, true);
        }
    }
    bringForward(view);
}

void KZemvik::slotStartChat(const QString &groupId)
{
    const Group *group = m_pAccount->groupList ? m_pAccount->groupList->findGroupById(groupId) : nullptr;
    QList<Buddy *> online;
    if (group && m_pAccount->buddyList) {
        for (const QString &handle : group->members()) {
            // A member the buddy list does not know is left out.
            Buddy *buddy = m_pAccount->buddyList->findByHandle(handle);
            if (buddy && buddy->status != QLatin1String("F")) {
                online.append(buddy);
            }
        }
    }
    if (online.isEmpty()) {
        MessageBoxes::instance()->information(this, QStringLiteral("빈 그룹 입니다."), QStringLiteral("그룹 대화"));
        return;
    }
    startChat(online);
}

void KZemvik::slotViewChat(SSConnection *switchboard)
{
    if (!switchboard) {
        return;
    }
    switchboard->deleteLater();
    ChatView *view = m_pChatList ? m_pChatList->findChatByKey(switchboard->tid) : nullptr;
    if (!view) {
        return; // an answer nobody waits for any more
    }
    const bool ok = view->connectToSwitchboard(switchboard->serverHost, quint16(switchboard->serverPort), switchboard->key, m_pAccount->loginID());
    qCDebug(KZEMVIK_APP) << (ok ? "Connection Success!!!" : "1. Connection Error!!!");
}

void KZemvik::slotNewConnectSS(ChatView *view)
{
    if (view) {
        view->setChatID(m_pDPConnection->requestSwitchboard());
    }
}

void KZemvik::slotSendINVT(ChatView *view)
{
    qCDebug(KZEMVIK_APP) << "[ENTER] slotSendINVT(ChatView* pChatView)";
    const ChatSession *session = view->session();
    const QString payload = QStringLiteral("INVT ") + m_pAccount->loginID() + QLatin1Char(' ') + session->host() + QLatin1Char(' ') + QString::number(session->port())
        + QLatin1Char(' ') + session->key();
    const QList<Buddy *> participants = view->participants();
    for (const Buddy *buddy : participants) {
        if (buddy->inChat) {
            m_pDPConnection->sendClientPayload(buddy->loginId, payload);
            qCDebug(KZEMVIK_APP) << "INVT to" << buddy->loginId; // the key stays out of the log
        }
    }
    qCDebug(KZEMVIK_APP) << "[EXIT] slotSendINVT(ChatView* pChatView)";
}

void KZemvik::slotInviteINVT(ChatView *view, const QStringList &ids)
{
    for (const QString &id : ids) {
        view->addParticipant(id, true);
    }
    if (view->session()->isEntered()) {
        slotSendINVT(view);
    } else {
        slotNewConnectSS(view); // the invitations go out once the new session is entered
    }
}

void KZemvik::gotINVT(const QStringList &words)
{
    if (words.size() < 5) {
        qCWarning(KZEMVIK_APP) << "short chat invitation ignored";
        return;
    }
    const QString &inviter = words.at(1);
    const QString &host = words.at(2);
    bool portOk = false;
    const uint port = words.at(3).toUInt(&portOk);
    const QString &key = words.at(4);
    if (!portOk || port == 0 || port > 65535 || !m_pChatList) {
        qCWarning(KZEMVIK_APP) << "chat invitation without a usable address ignored";
        return;
    }
    if (ChatView *view = m_pChatList->findChatByParticipant(inviter)) {
        view->session()->disconnectFromSwitchboard(false);
        const bool ok = view->connectToSwitchboard(host, quint16(port), key, m_pAccount->loginID());
        qCDebug(KZEMVIK_APP) << (ok ? "Connection Success!!!" : "2. Connection Error!!!");
        return;
    }
    if (Settings::allowOnlyPermitChat() && !(m_pAccount->buddyList && m_pAccount->buddyList->findByLoginId(inviter))) {
        // Refused without a window; the inviter learns it from the session server.
        m_pDPConnection->sendClientPayload(inviter, QStringLiteral("INCK ") + m_pAccount->loginID() + QLatin1Char(' ') + key);
        return;
    }
    // A number of our own session's counter, so that no request's answer can ever find this window.
    ChatView *view = createChatView(m_pDPConnection->nextTrid());
    if (!view) {
        return;
    }
    view->addParticipant(inviter, true);
    const bool ok = view->connectToSwitchboard(host, quint16(port), key, m_pAccount->loginID());
    qCDebug(KZEMVIK_APP) << (ok ? "Connection Success!!!" : "3. Connection Error!!!");
}

void KZemvik::slotChatInviteData(ChatView *view)
{
    auto *selector = new AddBuddySelector(view);
    selector->setObjectName(QStringLiteral("XXX"));
    selector->setGroups(m_pAccount->groupList);
    selector->setBuddies(m_pAccount->buddyList);
    QStringList excluded;
    const QList<Buddy *> participants = view->participants();
    for (const Buddy *buddy : participants) {
        excluded.append(buddy->loginId);
    }
    if (m_pAccount->buddyList) {
        for (const Buddy *buddy : *m_pAccount->buddyList) {
            if (buddy->status == QLatin1String("F") || buddy->blocked || !buddy->onForwardList) {
                excluded.append(buddy->handle);
            }
        }
    }
    selector->setExcluded(excluded);
    view->setBuddySelector(selector);
    selector->fillAllBuddies();
    selector->show();
}

bool KZemvik::storeChatLog(ChatView *view)
{
    QStringList ids;
    const QList<Buddy *> participants = view->participants();
    for (const Buddy *buddy : participants) {
        ids.append(buddy->loginId);
    }
    QString text = view->plainText();
    text.replace(QStringLiteral("%20"), QStringLiteral(" "));
    return m_pLocalDB->insertChatLog(ids.join(QLatin1Char(';')), text);
}

void KZemvik::slotChatRemove(ChatView *view, bool save)
{
    if (!view || !m_pChatList) {
        return;
    }
    if (save && !storeChatLog(view)) {
        MessageBoxes::instance()->error(this, QStringLiteral("대화 내용을 저장하지 못했습니다."), QStringLiteral("대화 내용 저장"));
    }
    qCDebug(KZEMVIK_APP) << "before chat count :" << m_pChatList->count();
    m_pChatList->remove(view);
    qCDebug(KZEMVIK_APP) << "after chat count :" << m_pChatList->count();
    view->session()->disconnectFromSwitchboard(true);
    view->deleteLater();
}

void KZemvik::slotSaveChatLog(ChatView *view, bool save)
{
    Q_UNUSED(save)
    view->reportChatLogSaved(storeChatLog(view));
}

void KZemvik::slotViewChatLog(const ChatView *view)
{
    QProcess::startDetached(QStringLiteral("messagebox"), {});
    const QList<Buddy *> participants = view->participants();
    if (!participants.isEmpty()) {
        setViewerCommand(QStringLiteral("SEARCH:CHAT:") + participants.first()->loginId);
    }
}

void KZemvik::slotViewChatBox()
{
    if (Settings::saveChatLog() == 1) {
        QProcess::startDetached(QStringLiteral("messagebox"), {});
        if (const Buddy *buddy = m_pMainView ? m_pMainView->currentBuddy() : nullptr) {
            setViewerCommand(QStringLiteral("SEARCH:CHAT:") + buddy->loginId);
        }
        return;
    }
    if (MessageBoxes::instance()->questionYesNo(this, QStringLiteral("지난 대화를 보시려면 환경설정에서 대화 내용 자동저장을 설정하셔야합니다. 지금 설정하시겠습니까?"),
                                                QStringLiteral("대화 저장 설정"))) {
        slotSetup();
    }
}

QString KZemvik::loginPopupText(const QString &name, const QString &nick)
{
    QString shown = nick == QLatin1String("%00") ? name : nick;
    if (name.length() + shown.length() > 36) {
        shown = shown.left(qMax(0, 33 - int(name.length()))) + QStringLiteral("...");
    }
    return name + QLatin1Char('(') + shown + QStringLiteral(") 님이 로그인 하셨습니다.");
}

QString KZemvik::chatPopupText(bool buddy, const QString &name, const QString &senderId, const QString &body)
{
    QString message = ChatText::decodeBody(body).text;
    if (ChatText::isFlashcon(message)) {
        message = ChatText::flashconNotice();
    }
    const QString firstLine = message.left(message.indexOf(QLatin1String("%0A")));
    const QString says = QStringLiteral("님의 대화 :\n");
    const QString text = (buddy ? name + QStringLiteral("...") : senderId) + says + firstLine;
    if (text.length() <= 36) {
        return text;
    }
    const int keep = qMax(0, int(message.length() - text.length()) + 36);
    return (buddy ? name : senderId) + QStringLiteral("...") + says + message.left(keep);
}

QString KZemvik::popupRichText(const QString &plain, const EmoticonTable &emoticons)
{
    return emoticons.convert(ChatText::escapeHtml(plain)).replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

const EmoticonTable &KZemvik::popupEmoticons()
{
    if (!m_pPopupEmoticons) {
        m_pPopupEmoticons = std::make_unique<EmoticonTable>();
    }
    return *m_pPopupEmoticons;
}

void KZemvik::showPopup(int kind, const QString &id, const QString &text, const QString &icon)
{
    if (m_pPopup) {
        m_pPopup->close();
    }
    auto *popup = new ClickLabel(nullptr);
    popup->setObjectName(kind == 0 ? QStringLiteral("loginPopup") : QStringLiteral("chatPopup"));
    popup->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setAttribute(Qt::WA_ShowWithoutActivating);
    popup->setProperty("popupText", text);
    popup->setTextFormat(Qt::RichText);
    popup->setWordWrap(true);
    popup->setFixedWidth(260);
    popup->setMargin(10);
    popup->setStyleSheet(QStringLiteral("QLabel { background: #f7fbff; border: 1px solid #8fb3e0; color: #1f2937; }"));
    const QString picture = Pics::path(icon);
    popup->setText(QStringLiteral("<table><tr><td valign=\"middle\">") + (picture.isEmpty() ? QString() : QStringLiteral("<img src=\"") + picture.toHtmlEscaped() + QStringLiteral("\">"))
                   + QStringLiteral("</td><td>") + popupRichText(text, popupEmoticons()) + QStringLiteral("</td></tr></table>"));
    popup->adjustSize();
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    popup->move(area.right() - popup->width() - 8, area.bottom() - popup->height() - 8);
    // Either the click or the time-out takes the popup down, and counts it once.
    auto done = std::make_shared<bool>(false);
    auto finish = [this, popup, done] {
        if (!*done) {
            *done = true;
            slotHidePopup();
            popup->close();
        }
    };
    connect(popup, &ClickLabel::clicked, this, [this, kind, id, finish] {
        finish();
        if (kind == 0) {
            slotClickChatPopup(kind, id);
        } else {
            slotIncomingChat(kind, id);
        }
    });
    connect(popup, &QObject::destroyed, this, [finish] { finish(); });
    QTimer::singleShot(5000, popup, finish);
    m_pPopup = popup;
    ++m_nPopupCount;
    popup->show();
}

void KZemvik::slotHidePopup()
{
    if (m_nPopupCount > 0) {
        --m_nPopupCount;
    }
}

void KZemvik::slotGotINFY(const QStringList &fields)
{
    const QString id = fields.value(2);
    if (fields.value(0) == QLatin1String("NTFY") && m_pTray && m_pAccount->buddyList) {
        const Buddy *buddy = m_pAccount->buddyList->findByLoginId(id);
        // Only a buddy who was offline until this line has just signed in.
        if (buddy && buddy->status == QLatin1String("F") && Settings::alarmBuddyConnect()) {
            showPopup(0, id, loginPopupText(buddy->name, buddy->nick), QStringLiteral("slidewnd_login.bmp"));
        }
    }
    if (m_pMainView) {
        m_pMainView->slotGotINFY(fields);
    }
    if (fields.size() < 4 || !m_pChatList) {
        return;
    }
    const QList<ChatView *> views = m_pChatList->views();
    for (ChatView *view : views) {
        if (view->session()->findParticipant(id)) {
            view->slotParticipantStatus(id, fields.at(3));
        }
    }
}

void KZemvik::slotChatMessage(const QStringList &fields)
{
    if (fields.size() < 5 || !Settings::alarmChatStart()) {
        return;
    }
    const Buddy *buddy = m_pAccount->buddyList ? m_pAccount->buddyList->findByLoginId(fields.at(2)) : nullptr;
    showPopup(1, fields.at(2), chatPopupText(buddy, buddy ? buddy->name : QString(), fields.at(2), fields.at(4)), QStringLiteral("popup_notice_chat.bmp"));
}

void KZemvik::slotIncomingChat(int kind, const QString &id)
{
    Q_UNUSED(kind)
    ChatView *view = m_pChatList ? m_pChatList->findChatByParticipant(id) : nullptr;
    if (!view) {
        return;
    }
    view->show();
    view->showNormal();
    view->setWindowState((view->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    const QScreen *screen = view->screen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        view->move(area.center() - QPoint(view->width() / 2, view->height() / 2));
    }
    view->raise();
    view->activateWindow();
    view->inputField()->setFocus();
}

void KZemvik::slotClickChatPopup(int kind, const QString &id)
{
    Q_UNUSED(kind)
    if (Buddy *buddy = m_pAccount->buddyList ? m_pAccount->buddyList->findByLoginId(id) : nullptr) {
        startChat(buddy);
    }
}
// ---- end of conversation routing
