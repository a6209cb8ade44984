// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "systemtraywidget.h"

#include "account.h"
#include "kzemvikinterface.h"
#include "pics.h"

#include <KAboutData>
#include <KStatusNotifierItem>

#include <QIcon>
#include <QMenu>

SystemTrayWidget::SystemTrayWidget(KZemvikInterface *window)
    : QObject(window)
    , m_pWindow(window)
    , m_pItem(new KStatusNotifierItem(QStringLiteral("kzemvik"), this))
{
    setObjectName(QStringLiteral("systemtraywidget"));
    m_pItem->setAssociatedWidget(window);
    m_pItem->setCategory(KStatusNotifierItem::Communications);
    m_pItem->setStatus(KStatusNotifierItem::Active);
    m_pItem->setTitle(KAboutData::applicationData().displayName());
    m_pItem->setToolTipTitle(KAboutData::applicationData().displayName());
    setPicture(QStringLiteral("main_list_state_offline"));
    connect(CurrentAccount::instance(), &CurrentAccount::changedStatus, this, &SystemTrayWidget::slotStatusChanged);

    // The item's own quit ends the program at once; ours asks first when chats are open.
    if (QAction *quit = m_pItem->action(QStringLiteral("quit"))) {
        quit->disconnect();
        connect(quit, &QAction::triggered, this, &SystemTrayWidget::quitSelected);
    }
}

KStatusNotifierItem *SystemTrayWidget::item() const
{
    return m_pItem;
}

void SystemTrayWidget::buildMenu(QAction *loginAction)
{
    QMenu *menu = m_pItem->contextMenu();
    const auto add = [this, menu](const char *name) {
        if (QAction *a = m_pWindow->action(QString::fromLatin1(name))) {
            menu->addAction(a);
        }
    };
    add("setup_menu");
    menu->addSeparator();
    add("Hide");
    add("alwaysTop");
    if (loginAction) {
        menu->addAction(loginAction);
    }
    add("logout_menu");
    menu->addSeparator();
    add("status");
}

QString SystemTrayWidget::pictureForStatus(char status)
{
    switch (status) {
    case 'O':
        return QStringLiteral("main_list_state_online");
    case 'A':
        return QStringLiteral("main_list_state_vacant");
    case 'B':
        return QStringLiteral("main_list_state_otherbusiness");
    case 'P':
        return QStringLiteral("main_list_state_onphone");
    case 'M':
        return QStringLiteral("main_list_state_meeting");
    default:
        return QStringLiteral("main_list_state_offline");
    }
}

void SystemTrayWidget::setPicture(const QString &name)
{
    m_picture = name;
    const QPixmap pm = Pics::pixmap(name + QStringLiteral(".png"));
    if (!pm.isNull()) {
        m_pItem->setIconByPixmap(QIcon(pm));
    } else {
        m_pItem->setIconByName(QStringLiteral("user-online"));
    }
}

QString SystemTrayWidget::pictureName() const
{
    return m_picture;
}

void SystemTrayWidget::slotStatusChanged()
{
    setPicture(pictureForStatus(CurrentAccount::instance()->status));
}
