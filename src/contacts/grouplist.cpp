// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "grouplist.h"

#include "contacts_debug.h"
#include "group.h"

#include <QSet>

GroupList::GroupList(QObject *parent)
    : QObject(parent)
{
}

GroupList::~GroupList()
{
    clear();
}

void GroupList::append(Group *group)
{
    if (!group) {
        return;
    }
    if (!m_items.contains(group)) {
        connect(group, &QObject::destroyed, this, [this, group] {
            forget(group);
        });
    }
    m_items.append(group);
}

Group *GroupList::appendGroup(const QString &id, const QString &name)
{
    if (hasGroup(id)) {
        return nullptr;
    }
    auto *group = new Group(id, name);
    append(group);
    return group;
}

bool GroupList::remove(Group *group)
{
    if (!group || !m_items.contains(group)) {
        return false;
    }
    disconnect(group, nullptr, this, nullptr);
    forget(group);
    return true;
}

void GroupList::forget(Group *group)
{
    // Pointer comparison only: this also runs while the group is being destroyed.
    m_items.removeAll(group);
}

void GroupList::clear()
{
    for (Group *group : qAsConst(m_items)) {
        disconnect(group, nullptr, this, nullptr);
    }
    m_items.clear();
}

void GroupList::deleteAll()
{
    const QSet<Group *> unique(m_items.cbegin(), m_items.cend());
    clear();
    qDeleteAll(unique);
}

int GroupList::count() const
{
    return m_items.count();
}

bool GroupList::isEmpty() const
{
    return m_items.isEmpty();
}

Group *GroupList::at(int i) const
{
    return i >= 0 && i < m_items.size() ? m_items.at(i) : nullptr;
}

bool GroupList::contains(const Group *group) const
{
    return m_items.contains(const_cast<Group *>(group));
}

const QList<Group *> &GroupList::items() const
{
    return m_items;
}

GroupList::const_iterator GroupList::begin() const
{
    return m_items.cbegin();
}

GroupList::const_iterator GroupList::end() const
{
    return m_items.cend();
}

Group *GroupList::findGroupById(const QString &id) const
{
    for (Group *group : m_items) {
        if (group->itemId() == id) {
            return group;
        }
    }
    return nullptr;
}

Group *GroupList::findGroupByName(const QString &name) const
{
    for (Group *group : m_items) {
        if (group->itemName() == name) {
            return group;
        }
    }
    return nullptr;
}

bool GroupList::hasGroup(const QString &id) const
{
    return findGroupById(id) != nullptr;
}

QStringList GroupList::groupIdsOf(const QString &handle) const
{
    QStringList ids;
    for (Group *group : m_items) {
        if (group->hasMember(handle)) {
            qCDebug(KZEMVIK_CONTACTS) << "GROUP : " << group->itemName();
            ids.append(group->itemId());
        }
    }
    return ids;
}
