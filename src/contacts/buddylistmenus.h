// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QVector>

class KSelectAction;
class QAction;
class QActionGroup;
class QMenu;
class QWidget;

//! The four popup menus of the buddy list. Every action carries its action name as object name,
//! so the controller finds the entries it connects (QObject::findChild or action()).
class BuddyListMenus : public QObject
{
    Q_OBJECT
public:
    explicit BuddyListMenus(QWidget *parent);

    //! An action of any of the four menus by its name; nullptr for an unknown name.
    QAction *action(const QString &name) const;
    //! Status menu entry of a status number (0..5).
    QAction *statusAction(int number) const;

    QMenu *statusMenu = nullptr;
    QMenu *listOptionsMenu = nullptr;
    QMenu *buddyMenu = nullptr;
    QMenu *groupMenu = nullptr;

    QAction *buddyTitle = nullptr;
    QAction *groupTitle = nullptr;

    // List options.
    QActionGroup *viewModeGroup = nullptr;
    QActionGroup *groupModeGroup = nullptr;
    QVector<QAction *> namingActions; //!< index = naming mode
    QVector<QAction *> sortActions; //!< index = arrangement
    QAction *openAllGroups = nullptr;
    QAction *closeAllGroups = nullptr;
    QAction *emoticons = nullptr;

    // Buddy menu.
    QAction *viewProfile = nullptr;
    QAction *viewChatLog = nullptr;
    QAction *goChat = nullptr;
    QAction *sendMemo = nullptr;
    QAction *sendFile = nullptr;
    QAction *viewMiniKivra = nullptr;
    KSelectAction *copyBuddy = nullptr;
    KSelectAction *moveBuddy = nullptr;
    QAction *blockBuddy = nullptr;
    QAction *deleteBuddy = nullptr;

    // Group menu.
    QAction *groupChat = nullptr;
    QAction *groupMemo = nullptr;
    QAction *addGroup = nullptr;
    QAction *renameGroup = nullptr;
    QAction *blockGroup = nullptr;
    QAction *unblockGroup = nullptr;
    QAction *deleteGroup = nullptr;
    QAction *expandGroups = nullptr;
    QAction *collapseGroups = nullptr;

    // Status menu extras (connected by the controller).
    QAction *changeNick = nullptr;
    QAction *showProfile = nullptr;
    QAction *editProfile = nullptr;

private:
    QAction *add(QMenu *menu, const QString &text, const QString &name);
    QVector<QAction *> m_statusActions;
};
