// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "group.h"

Group::Group(const QString &id, const QString &name, QObject *parent)
    : MyListItem(parent)
{
    setItemId(id);
    setItemName(name);
}

void Group::addBuddy(const QString &handle)
{
    if (m_memberSet.contains(handle)) {
        return;
    }
    m_memberSet.insert(handle);
    m_members.append(handle);
}

void Group::removeBuddy(const QString &handle)
{
    if (m_memberSet.remove(handle)) {
        m_members.removeAll(handle);
    }
}

bool Group::hasMember(const QString &handle) const
{
    return m_memberSet.contains(handle);
}

const QStringList &Group::members() const
{
    return m_members;
}
