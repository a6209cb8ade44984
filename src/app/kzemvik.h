// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "kzemvikinterface.h"

#include <KSharedConfig>

#include <QList>
#include <QPointer>
#include <QStringList>

class Account;
class Buddy;
class CurrentAccount;
class Group;
class KZemvikDCOP;
class KZemvikMainview;
class LoginView;
class LogoutView;
class MimeMessage;
class NetworkWindow;
class QStackedWidget;
class QTimer;
class SQLiteDB;
class SSConnection;
class SystemTrayWidget;
class ZemvikDPConnection;
class ZemvikDPLConnection;

//! A buddy request that arrived with the buddy list, to be put to the user once signed in.
struct CommandQueue {
    QString command;
    QString data;
};

//! The session controller: owns every connection, list and window of a session and routes their signals.
class KZemvik : public KZemvikInterface
{
    Q_OBJECT
public:
    explicit KZemvik(QWidget *parent = nullptr);
    ~KZemvik() override;

    //! Builds menus, log window, connections, views, tray and idle timer; false (after a box) on failure.
    bool initialize();
    void showNetworkWindow();

    LoginView *loginView() const;
    LogoutView *logoutView() const;
    KZemvikMainview *mainView() const;
    NetworkWindow *networkWindow() const;
    SystemTrayWidget *tray() const;
    ZemvikDPLConnection *dispatchConnection() const;
    ZemvikDPConnection *sessionConnection() const;
    KZemvikDCOP *dbus() const;
    //! The widget the main window shows: login, logout or buddy list view.
    QWidget *currentView() const;
    bool isConnected() const;
    bool isAutoRetrying() const;
    QTimer *retryTimer() const;
    QString userPath() const;
    QString memoPath() const;
    QString chatPath() const;
    const QList<CommandQueue> &addQueue() const;
    //! The command the message viewer fetches with "CMD:GET".
    void setViewerCommand(const QString &command);
    QString viewerCommand() const;
    //! Connection time-out, retry, ping and ping-retry intervals of both connections, in ms (tests).
    void setConnectionTimings(int connectMs, int retryMs, int pingMs, int pingRetryMs);
    //! Delay between automatic sign-in attempts after the session was lost (3000 ms).
    void setRetryInterval(int ms);

    //! A name that may be used as one directory name: no separators, not "." or "..", no NUL.
    static bool isSafePathComponent(const QString &name);

Q_SIGNALS:
    void ChangeGroupList(const QStringList &names);
    void ChangeNickName(const QString &nick);
    void addNewGroup(Group *group);
    void updateMemoCount(int count);
    void mvSyncAuthError(bool on);
    void mvSyncCanceled();
    void changeStatus(int status);
    void buddyChangeNick();

public Q_SLOTS:
    void connectWithAccount(Account *account);
    void connectDPWithAccount(Account *account);
    void DPLdisconnected();
    void slotLogin();
    void slotHidenLogin(bool on);

    void slotErr201();
    void slotErr300();
    void slotErr301(const QStringList &fields);
    void slotErr302();
    void slotErr306();
    void slotErr309();
    void slotErr421();
    void slotErr500(const QStringList &fields);

    void slotLSIN();
    void connected();
    void disconnected();
    void slotDisconnected();
    void slotCloseApp();
    void slotPingError();
    void slotRetryConnect();
    void slotRelogin();
    void slotOtherLogin();
    void slotKill();
    void slotSetup();
    void applyStatus(int status);
    void slotChangeStatusNumber(int status) override;
    void slotUserIsIdle();
    void slotUserIsNotIdle();
    void slotUpdateAwayInfo();
    void slotAddCommandQueue(const QStringList &fields);

    void slotNamingSelect(int mode);
    void slotBuddySort(int mode);
    void slotBuddyOnlyName();
    void slotBuddyOnlyNick();
    void slotBuddyNameID();
    void slotBuddyNameNick();
    void slotBuddyListAll();
    void slotBuddyListOnline();
    void slotBuddyListOnOff();
    void slotMenuAlwaysTop(bool on);
    void slotListEmoticon(bool on);

    //! Commands of the message viewer ("DB:PATH", "CMD:GET", "MEMO:...", "CHAT:uuid").
    void dcopCommand(const QString &s);

    //! Conversations: a switchboard answer and an invitation from a buddy.
    void slotViewChat(SSConnection *switchboard);
    //! A chat invitation carried in "CTOC".
    void gotINVT(const QStringList &words);
    //! Memos: one arrived through the session.
    void slotViewMemoPopup(const MimeMessage &message);
    //! Memos: open the memo window for recipients.
    void slotViewMemo(const QString &recipients);
    //! Memos: the new-memo reminder after sign-in.
    void slotShowMemoPopup();
    //! Sister-service link lookup after sign-in.
    void slotC1C2();
    //! Buddy operations: a member put us on their list.
    void slotAddConfirm(const QStringList &fields);
    //! Buddy operations: nickname, profile and service notices.
    void slotNNIK(const QStringList &fields);
    void slotNPRF(const QStringList &fields);
    void slotALRM(const QStringList &fields);
    void slotCALM(const QStringList &fields);
    //! The buddy list changed underneath the view.
    void slotRefreshBuddyList();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool initDPLConnection();
    bool initDPConnection();
    bool initMainView();
    bool initLoginView();
    bool initSystemTray();
    bool initIdleTimer();
    void wireMainView();

    //! The dispatch or session connect could not be made: tell the user (unless retrying) and reset.
    void connectionFailed();
    //! Shows an information box unless one of ours is open already.
    void information(const QString &text, const QString &title);
    void showLoginView();
    void showLogoutView();
    void showMainView();
    //! Stops automatic sign-in attempts (an answer said they cannot succeed).
    void stopAutoRetry();
    //! The per-user data directories and the user table of the message viewer.
    void setUpUserData();
    void rewriteUserTable();
    void runMemoCommand(const QStringList &fields, const QString &command);
    void runChatCommand(const QString &uuid, const QString &command);
    int openChatCount() const;

    QStackedWidget *m_pStack = nullptr;
    LoginView *m_pLoginView = nullptr;
    LogoutView *m_pLogoutView = nullptr;
    KZemvikMainview *m_pMainView = nullptr;
    ZemvikDPLConnection *m_pDPLConnection = nullptr;
    ZemvikDPConnection *m_pDPConnection = nullptr;
    NetworkWindow *m_pNetworkWindow = nullptr;
    CurrentAccount *m_pAccount = nullptr;
    SystemTrayWidget *m_pTray = nullptr;
    SQLiteDB *m_pLocalDB = nullptr;
    KSharedConfigPtr m_pConfig;
    KZemvikDCOP *m_pDCOP = nullptr;
    QAction *m_pLoginAction = nullptr;
    QList<CommandQueue> m_pAddQueue;
    QTimer *m_pRetryTimer = nullptr;
    QTimer *m_pMemoPopupTimer = nullptr;
    QTimer *m_pSyncTimer = nullptr;
    QString m_strMemoPath;
    QString m_strChatPath;
    QString m_strUserPath;
    QString m_strViewerCommand;
    int m_nSyncTid = 99999;
    int m_nTransferSeq = 7826;
    int m_nRetryInterval = 3000;
    int m_nOpenBoxes = 0;
    bool m_bConnected = false;
    bool m_bUserLogout = false;
    bool m_bAutoRetry = false;
    bool m_bIdleSuppressed = false;
    bool m_bQuit = false;
    bool m_bWired = false;
    bool m_bAutoLogin = false;
    bool m_bDPLPending = false;
};
