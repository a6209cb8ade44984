// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mylistitem.h"

#include <QSet>
#include <QStringList>

//! A buddy group: itemId() is the group ID ("0" is the default group), itemName() its name.
//! Members are buddy handles in insertion order, each at most once.
class Group : public MyListItem
{
    Q_OBJECT
public:
    Group(const QString &id, const QString &name, QObject *parent = nullptr);

    //! Appends the handle unless it is already a member.
    void addBuddy(const QString &handle);
    //! Removes every occurrence of the handle.
    void removeBuddy(const QString &handle);
    //! O(1): the set beside the ordered list keeps big groups cheap.
    bool hasMember(const QString &handle) const;
    const QStringList &members() const;

private:
    QStringList m_members;
    QSet<QString> m_memberSet;
};
