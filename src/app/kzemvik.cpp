// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "kzemvik.h"

#include "account.h"
#include "app_debug.h"
#include "settings.h"
#include "loginview.h"
#include "logoutview.h"
#include "messageboxes.h"
#include "networkwindow.h"
#include "systemtraywidget.h"

#include <KActionCollection>
#include <KLocalizedString>

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

KZemvik::KZemvik(QWidget *parent)
    : KZemvikInterface(parent)
{
    m_pAccount = CurrentAccount::instance();
    resize(500, 700);
}

KZemvik::~KZemvik()
{
    delete m_pNetworkWindow;
}

LoginView *KZemvik::loginView() const
{
    return m_pLoginView;
}

NetworkWindow *KZemvik::networkWindow() const
{
    return m_pNetworkWindow;
}

SystemTrayWidget *KZemvik::tray() const
{
    return m_pTray;
}

bool KZemvik::initialize()
{
    const auto fail = [this](const char *text) {
        MessageBoxes::instance()->information(this, QString::fromUtf8(text), QStringLiteral("caption"));
        return false;
    };
    if (!initInterface()) {
        return fail("oops, KZemvikinterface initialize fail!");
    }
    if (!initNetworkWindow()) {
        return fail("oops, networkwindow  initialize fail!");
    }
    if (!initLoginView()) {
        return fail("oops, loginview  initialize fail!");
    }
    if (!initSystemTray()) {
        return fail("oops, systemtray  initialize fail!");
    }
    slotUpdateStatusText(QStringLiteral("대기중"));
    return true;
}

bool KZemvik::initNetworkWindow()
{
    if (!m_pNetworkWindow) {
        // Top level of its own: a diagnostic window must not follow the main window around.
        m_pNetworkWindow = new NetworkWindow(nullptr);
        m_pNetworkWindow->setObjectName(QStringLiteral("network window"));
        m_pNetworkWindow->resize(500, 600);
        m_pNetworkWindow->move(0, 0);
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

bool KZemvik::initLoginView()
{
    if (!m_pLoginView) {
        m_pLoginView = new LoginView(this);
        m_pLoginView->setObjectName(QStringLiteral("loginview"));
        setCentralWidget(m_pLoginView);
        m_pLoginView->show();
        connect(m_pLoginView->hiddenLoginBox(), &QCheckBox::toggled, this, &KZemvik::slotHidenLogin);
    }
    m_pLoginView->restoreStoredLogin();
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
    }
    return true;
}

void KZemvik::slotLogin()
{
    m_pLoginView->connectToDPLserver();
}

void KZemvik::slotHidenLogin(bool on)
{
    Settings::setHiddenLogin(on);
}
