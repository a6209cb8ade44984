// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class Group;

//! The buddy groups in the order the server listed them.
//!
//! Ownership: as BuddyList, the list does not own its groups, also not those appendGroup() creates;
//! remove() and clear() never delete, deleteAll() frees every listed group, and a group deleted
//! elsewhere drops out of the list by itself.
class GroupList : public QObject
{
    Q_OBJECT
public:
    explicit GroupList(QObject *parent = nullptr);
    ~GroupList() override;

    using const_iterator = QList<Group *>::const_iterator;

    void append(Group *group);
    //! A new group unless one with this ID exists; nullptr then, and the list is unchanged.
    Group *appendGroup(const QString &id, const QString &name);
    //! Removes every occurrence of group without deleting it; false when it was not listed.
    bool remove(Group *group);
    void clear();
    void deleteAll();

    int count() const;
    bool isEmpty() const;
    Group *at(int i) const;
    bool contains(const Group *group) const;
    const QList<Group *> &items() const;
    const_iterator begin() const;
    const_iterator end() const;

    Group *findGroupById(const QString &id) const;
    Group *findGroupByName(const QString &name) const;
    bool hasGroup(const QString &id) const;
    //! IDs of every group that has the handle as a member, in list order.
    QStringList groupIdsOf(const QString &handle) const;

private:
    void forget(Group *group);

    QList<Group *> m_items;
};
