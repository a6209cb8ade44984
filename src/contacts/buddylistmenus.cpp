// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "buddylistmenus.h"

#include "pics.h"
#include "status.h"

#include <KSelectAction>
#include <QActionGroup>
#include <QFile>
#include <QMenu>

namespace
{
QIcon picture(const QString &name)
{
    for (const QString &suffix : {QStringLiteral(".png"), QStringLiteral(".bmp"), QString()}) {
        const QString file = Pics::path(name + suffix);
        if (QFile::exists(file)) {
            return QIcon(file);
        }
    }
    return QIcon::fromTheme(name);
}

//! A menu's first line: bold, not clickable.
QAction *titleLine(QMenu *menu, const QString &text)
{
    QAction *title = menu->addAction(text);
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    title->setEnabled(false);
    menu->addSeparator();
    return title;
}
}

BuddyListMenus::BuddyListMenus(QWidget *parent)
    : QObject(parent)
{
    statusMenu = new QMenu(parent);
    statusMenu->setObjectName(QStringLiteral("statusMenu"));
    for (int n = 0; n < Status::Count; ++n) {
        const Status::Entry *entry = Status::byNumber(n);
        QAction *a = add(statusMenu, entry->menuLabel, entry->actionName);
        a->setIcon(picture(entry->menuIcon));
        m_statusActions.append(a);
    }
    statusMenu->addSeparator();
    changeNick = add(statusMenu, QStringLiteral("내 대화명 설정"), QStringLiteral("changenick"));
    statusMenu->addSeparator();
    showProfile = add(statusMenu, QStringLiteral("내 프로필 보기"), QStringLiteral("removeFromGroup"));
    editProfile = add(statusMenu, QStringLiteral("내 프로필 설정"), QStringLiteral("profile"));

    listOptionsMenu = new QMenu(parent);
    listOptionsMenu->setObjectName(QStringLiteral("listOptionsMenu"));
    viewModeGroup = new QActionGroup(this);
    viewModeGroup->setObjectName(QStringLiteral("view mode"));
    groupModeGroup = new QActionGroup(this);
    groupModeGroup->setObjectName(QStringLiteral("group mode"));
    const QList<QPair<QString, QString>> naming = {
        {QStringLiteral("친구 이름으로 보기"), QStringLiteral("view_name")},
        {QStringLiteral("친구 대화명으로 보기"), QStringLiteral("view_nick")},
        {QStringLiteral("친구 이름+아이디로 보기"), QStringLiteral("view_name_id")},
        {QStringLiteral("친구 이름+대화명으로 보기"), QStringLiteral("view_name_nick")},
    };
    for (const auto &item : naming) {
        QAction *a = add(listOptionsMenu, item.first, item.second);
        a->setCheckable(true);
        viewModeGroup->addAction(a);
        namingActions.append(a);
    }
    listOptionsMenu->addSeparator();
    const QList<QPair<QString, QString>> sorting = {
        {QStringLiteral("친구 전체 보기"), QStringLiteral("view_all")},
        {QStringLiteral("접속한 친구만 보기"), QStringLiteral("view_online")},
        {QStringLiteral("친구 온라인/오프라인으로 보기"), QStringLiteral("view_online_offline")},
    };
    for (const auto &item : sorting) {
        QAction *a = add(listOptionsMenu, item.first, item.second);
        a->setCheckable(true);
        groupModeGroup->addAction(a);
        sortActions.append(a);
    }
    listOptionsMenu->addSeparator();
    openAllGroups = add(listOptionsMenu, QStringLiteral("그룹 전체 열기"), QStringLiteral("view_all_group_open"));
    openAllGroups->setIcon(picture(QStringLiteral("open")));
    closeAllGroups = add(listOptionsMenu, QStringLiteral("그룹 전체 닫기"), QStringLiteral("view_all_group_close"));
    closeAllGroups->setIcon(picture(QStringLiteral("close")));
    listOptionsMenu->addSeparator();
    emoticons = add(listOptionsMenu, QStringLiteral("친구 목록에 이모티콘 표시"), QStringLiteral("view_emoticons"));
    emoticons->setCheckable(true);

    buddyMenu = new QMenu(parent);
    buddyMenu->setObjectName(QStringLiteral("buddyMenu"));
    buddyTitle = titleLine(buddyMenu, QStringLiteral("[버디 메뉴]"));
    viewProfile = add(buddyMenu, QStringLiteral("프로필 보기"), QStringLiteral("add"));
    viewChatLog = add(buddyMenu, QStringLiteral("지난 대화 보기"), QStringLiteral("viewChatLog"));
    buddyMenu->addSeparator();
    goChat = add(buddyMenu, QStringLiteral("대화 하기"), QStringLiteral("memo_chatclick"));
    sendMemo = add(buddyMenu, QStringLiteral("쪽지 보내기"), QStringLiteral("memo_rightclick"));
    sendFile = add(buddyMenu, QStringLiteral("파일 보내기"), QStringLiteral("sendFile"));
    buddyMenu->addSeparator();
    viewMiniKivra = add(buddyMenu, QStringLiteral("미니Kivra 보기"), QStringLiteral("viewMiniKivra"));
    buddyMenu->addSeparator();
    copyBuddy = new KSelectAction(QStringLiteral("친구 복사"), this);
    copyBuddy->setObjectName(QStringLiteral("copyBuddy"));
    buddyMenu->addAction(copyBuddy);
    moveBuddy = new KSelectAction(QStringLiteral("친구 이동"), this);
    moveBuddy->setObjectName(QStringLiteral("moveBuddy"));
    buddyMenu->addAction(moveBuddy);
    blockBuddy = add(buddyMenu, QStringLiteral("친구 차단"), QStringLiteral("blockBuddy"));
    deleteBuddy = add(buddyMenu, QStringLiteral("친구 삭제"), QStringLiteral("deleteBuddy"));

    groupMenu = new QMenu(parent);
    groupMenu->setObjectName(QStringLiteral("groupMenu"));
    groupTitle = titleLine(groupMenu, QStringLiteral("etc"));
    // The group chat entry shares the action name "add" with the buddy menu's profile entry; the
    // object name here tells them apart for findChild().
    groupChat = add(groupMenu, QStringLiteral("그룹으로 대화하기"), QStringLiteral("group_chat"));
    groupMemo = add(groupMenu, QStringLiteral("그룹으로 쪽지 보내기"), QStringLiteral("group_memo"));
    groupMenu->addSeparator();
    addGroup = add(groupMenu, QStringLiteral("그룹 추가"), QStringLiteral("add_group_rightclick"));
    renameGroup = add(groupMenu, QStringLiteral("그룹 이름 변경"), QStringLiteral("rename_group_rightclick"));
    blockGroup = add(groupMenu, QStringLiteral("그룹 차단"), QStringLiteral("block_group_rightclick"));
    unblockGroup = add(groupMenu, QStringLiteral("그룹 차단해제"), QStringLiteral("unblock_group_rightclick"));
    deleteGroup = add(groupMenu, QStringLiteral("그룹 삭제"), QStringLiteral("delete_group_rightclick"));
    groupMenu->addSeparator();
    expandGroups = add(groupMenu, QStringLiteral("그룹 전체 열기"), QStringLiteral("expand_group_rightclick"));
    collapseGroups = add(groupMenu, QStringLiteral("그룹 전체 닫기"), QStringLiteral("collapse_group_rightclick"));
}

QAction *BuddyListMenus::add(QMenu *menu, const QString &text, const QString &name)
{
    auto *a = new QAction(text, this);
    a->setObjectName(name);
    menu->addAction(a);
    return a;
}

QAction *BuddyListMenus::action(const QString &name) const
{
    return findChild<QAction *>(name, Qt::FindDirectChildrenOnly);
}

QAction *BuddyListMenus::statusAction(int number) const
{
    return number >= 0 && number < m_statusActions.size() ? m_statusActions.at(number) : nullptr;
}
