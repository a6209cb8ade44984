// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "buddytreemodel.h"

#include <QList>
#include <QModelIndex>
#include <QPair>
#include <QUrl>
#include <QWidget>

class Buddy;
class BuddyList;
class BuddyListMenus;
class BuddyRowDelegate;
class Group;
class GroupList;
class QAction;
class QItemSelection;
class QLabel;
class QLineEdit;
class QTreeView;
class ShapeButton;

//! The main window's central widget: the user's nickname and status, the search box and the buddy
//! tree with its menus. It reads the contact model and never talks to the server: every server
//! operation goes out as a signal to the controller.
class KZemvikMainview : public QWidget
{
    Q_OBJECT
public:
    enum Arrangement { AllByGroup = 0, OnlineByGroup = 1, OnlineOffline = 2 };

    explicit KZemvikMainview(QWidget *parent = nullptr);
    ~KZemvikMainview() override;

    //! The lists to show; by default those of the current account at construction.
    void setLists(BuddyList *buddies, GroupList *groups);
    //! Optional: draws emoticon pictures in names and nickname (takes HTML-escaped text).
    void setEmoticonFilter(const BuddyTreeModel::EmoticonFilter &filter);

    BuddyTreeModel *model() const;
    QTreeView *listView() const;
    QLineEdit *searchBox() const;
    BuddyListMenus *menus() const;
    //! An entry of the view's menus by action name (for the controller's connections).
    QAction *action(const QString &name) const;
    ShapeButton *statusButton() const;
    ShapeButton *memoButton() const;
    ShapeButton *mavreloButton() const;
    ShapeButton *kivraButton() const;
    ShapeButton *listOptionsButton() const;
    ShapeButton *addBuddyButton() const;
    ShapeButton *addGroupButton() const;
    ShapeButton *smsButton() const;

    int namingMode() const;
    int arrangement() const;
    bool emoticonsShown() const;

    // What the controller's edits act on.
    //! The ID of the current row when it is a real group header; empty otherwise (a buddy row, a
    //! section of the online/offline arrangement, or nothing).
    QString currentGroupId() const;
    //! The group ID the current row carries (a header's own ID, the group a buddy row sits under);
    //! empty for sections and without a current row.
    QString currentRowGroupId() const;
    //! The buddy of the current row; nullptr on a header or without a current row.
    Buddy *currentBuddy() const;
    //! (handle, group ID) of every selected buddy row, in view order.
    QList<QPair<QString, QString>> selectedBuddyRows() const;
    int selectedBuddyCount() const;
    //! True when the current selection is one group header rather than buddies.
    bool groupSelected() const;
    bool hasGroupRow(const QString &groupId) const;
    //! Takes a deleted group's header out of the view.
    bool removeGroupRow(const QString &groupId);

    //! "\"name\" <id>": one memo recipient.
    static QString memoRecipient(const Buddy &buddy);
    static QUrl profileUrl(const Buddy &buddy, const QString &ticket);
    static QUrl miniKivraUrl(const Buddy &buddy, const QString &ticket);

public Q_SLOTS:
    void refreshList();
    void buildGroupTree(bool onlineOnly);
    void buildOnOffTree();
    void buildSearchTree(const QString &text);
    void clearList();

    //! Presence from an INFY or NTFY line (field 2 the service ID, field 3 the letter).
    void slotGotINFY(const QStringList &fields);
    void refreshBuddyRows(Buddy *buddy);
    //! One row for the buddy under the group's header (group "0" when groupId is empty).
    void slotAddBuddy(const QString &groupId, Buddy *buddy);
    //! A buddy request was confirmed: the provisional "TID:" buddy gets its real handle and name.
    void slotAddFriend(const QStringList &fields);
    void slotGroupAdded(Group *group);
    void slotChangeNickName(const QString &nick);
    void setMemoCount(int count);
    void showStatus(int number);
    void slotKivraNew();
    void slotSetGroupList(const QStringList &names);

    void slotListOnlyName();
    void slotListOnlyNick();
    void slotListNameID();
    void slotListNameNick();
    void slotSortNormal();
    void slotSortOnlyOnline();
    void slotSortOnOffline();
    void slotOpenAllGroup();
    void slotCloseAllGroup();
    void slotEmoticonList(bool on);

    void slotChangeStatusOnline();
    void slotChangeStatusAway();
    void slotChangeStatusBusy();
    void slotChangeStatusPhone();
    void slotChangeStatusMeeting();
    void slotChangeStatusOffline();

    void slotViewChat(const QModelIndex &index);
    void slotRightClickMenu(const QPoint &pos);
    void slotGoChat();
    void slotViewMemo();
    void slotViewGroupMemo();
    void slotGroupChat();
    void slotBlockGroup();
    void slotUnblockGroup();
    void slotAddGroup();
    void slotRenameGroup();
    void slotDeleteGroup();
    void slotViewProfile();
    void slotViewMiniKivra();

Q_SIGNALS:
    void startChat(Buddy *buddy);
    void startChat(const QList<Buddy *> &buddies);
    //! Recipients as "\"name\" <id>" separated by ";".
    void startMemoView(const QString &recipients);
    void startGroupChat(const QString &groupId);
    void addGroup();
    void renameGroup();
    void deleteGroup();
    void blockGroup(const QString &groupId);
    void unblockGroup(const QString &groupId);
    void viewMemoBox();
    void changeStatusNumber(int number);
    //! The search box lost focus with no text: the list shows the current arrangement again.
    void searchEnd();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildHeader();
    void buildList();
    void connectMenus();
    void setNamingMode(int mode);
    void setArrangement(int arrangement);
    void applyOpenState();
    void setAllOpen(bool open);
    void slotSelectChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void slotSearchTextChanged(const QString &text);
    QModelIndex currentHeader() const;
    QList<Buddy *> selectedBuddies() const;

    BuddyTreeModel *m_pModel = nullptr;
    BuddyRowDelegate *m_pDelegate = nullptr;
    BuddyListMenus *m_pMenus = nullptr;
    QTreeView *m_pList = nullptr;
    QLineEdit *m_pSearch = nullptr;
    QLabel *m_pNickName = nullptr;
    QLabel *m_pStatus = nullptr;
    QLabel *m_pMemoCount = nullptr;
    ShapeButton *m_pStatusButton = nullptr;
    ShapeButton *m_pMemoButton = nullptr;
    ShapeButton *m_pMavreloButton = nullptr;
    ShapeButton *m_pKivraButton = nullptr;
    ShapeButton *m_pListOptionsButton = nullptr;
    ShapeButton *m_pAddBuddyButton = nullptr;
    ShapeButton *m_pAddGroupButton = nullptr;
    ShapeButton *m_pSmsButton = nullptr;
    BuddyTreeModel::EmoticonFilter m_emoticonFilter;
    int m_arrangement = AllByGroup;
    bool m_groupSelected = false;
    bool m_fixingSelection = false;
};
