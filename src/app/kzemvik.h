// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "kzemvikinterface.h"

#include <QPointer>

class CurrentAccount;
class LoginView;
class LogoutView;
class NetworkWindow;
class SystemTrayWidget;
class QAction;

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
    NetworkWindow *networkWindow() const;
    SystemTrayWidget *tray() const;

public Q_SLOTS:
    void slotLogin();
    void slotHidenLogin(bool on);

private:
    bool initNetworkWindow();
    bool initLoginView();
    bool initSystemTray();

    CurrentAccount *m_pAccount = nullptr;
    LoginView *m_pLoginView = nullptr;
    QPointer<LogoutView> m_pLogoutView;
    NetworkWindow *m_pNetworkWindow = nullptr;
    SystemTrayWidget *m_pTray = nullptr;
    QAction *m_pLoginAction = nullptr;
};
