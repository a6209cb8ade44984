// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "buddylist.h"

#include "buddy.h"

BuddyList::BuddyList(QObject *parent)
    : QObject(parent)
{
}

BuddyList::~BuddyList()
{
    clear();
}

void BuddyList::append(Buddy *buddy)
{
    if (!buddy) {
        return;
    }
    if (!m_listed.contains(buddy)) {
        m_listed.insert(buddy);
        connect(buddy, &QObject::destroyed, this, [this, buddy] {
            forget(buddy);
        });
    }
    m_items.append(buddy);
    indexBuddy(buddy);
}

bool BuddyList::remove(Buddy *buddy)
{
    if (!buddy || !m_listed.contains(buddy)) {
        return false;
    }
    disconnect(buddy, nullptr, this, nullptr);
    forget(buddy);
    return true;
}

void BuddyList::forget(Buddy *buddy)
{
    // Only pointer comparisons here: forget() also runs while the buddy is being destroyed.
    m_listed.remove(buddy);
    if (m_items.removeAll(buddy) > 0) {
        reindex();
    }
}

void BuddyList::clear()
{
    for (Buddy *buddy : qAsConst(m_items)) {
        disconnect(buddy, nullptr, this, nullptr);
    }
    m_items.clear();
    m_listed.clear();
    m_byHandle.clear();
    m_byLoginId.clear();
}

void BuddyList::deleteAll()
{
    const QSet<const Buddy *> unique = m_listed;
    clear();
    qDeleteAll(unique);
}

int BuddyList::count() const
{
    return m_items.count();
}

bool BuddyList::isEmpty() const
{
    return m_items.isEmpty();
}

Buddy *BuddyList::at(int i) const
{
    return i >= 0 && i < m_items.size() ? m_items.at(i) : nullptr;
}

bool BuddyList::contains(const Buddy *buddy) const
{
    return m_listed.contains(buddy);
}

const QList<Buddy *> &BuddyList::items() const
{
    return m_items;
}

BuddyList::const_iterator BuddyList::begin() const
{
    return m_items.cbegin();
}

BuddyList::const_iterator BuddyList::end() const
{
    return m_items.cend();
}

void BuddyList::indexBuddy(Buddy *buddy) const
{
    // The first buddy in list order wins, as a walk from the start would find it.
    if (!m_byHandle.contains(buddy->handle)) {
        m_byHandle.insert(buddy->handle, buddy);
    }
    if (!m_byLoginId.contains(buddy->loginId)) {
        m_byLoginId.insert(buddy->loginId, buddy);
    }
}

void BuddyList::reindex() const
{
    m_byHandle.clear();
    m_byLoginId.clear();
    for (Buddy *buddy : m_items) {
        indexBuddy(buddy);
    }
}

Buddy *BuddyList::findByHandle(const QString &handle) const
{
    Buddy *buddy = m_byHandle.value(handle);
    if (buddy && buddy->handle != handle) {
        // Someone changed a handle without reindex(); repair instead of answering wrong.
        reindex();
        buddy = m_byHandle.value(handle);
    }
    return buddy;
}

Buddy *BuddyList::findByLoginId(const QString &loginId) const
{
    Buddy *buddy = m_byLoginId.value(loginId);
    if (buddy && buddy->loginId != loginId) {
        reindex();
        buddy = m_byLoginId.value(loginId);
    }
    return buddy;
}

Buddy *BuddyList::findByKivraId(const QString &kivraId) const
{
    for (Buddy *buddy : m_items) {
        if (buddy->kivraId == kivraId) {
            return buddy;
        }
    }
    return nullptr;
}

Buddy *BuddyList::findByKivraKey(const QString &kivraKey) const
{
    for (Buddy *buddy : m_items) {
        if (buddy->kivraKey == kivraKey) {
            return buddy;
        }
    }
    return nullptr;
}
