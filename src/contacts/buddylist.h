// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>

class Buddy;

//! The signed-in user's buddies in the order the server listed them, with O(1) lookups by
//! login ID and handle (presence bursts look up thousands of buddies).
//!
//! Ownership: the list does not own its buddies; remove() and clear() never delete. The owner of the
//! contents (the session connection) frees them with deleteAll(). A buddy deleted elsewhere drops out
//! of the list by itself, so the list never holds a dangling pointer.
//! Lookups return the first buddy in list order whose field equals the argument exactly.
//! Whoever changes loginId or handle of a listed buddy calls reindex().
class BuddyList : public QObject
{
    Q_OBJECT
public:
    explicit BuddyList(QObject *parent = nullptr);
    ~BuddyList() override;

    using const_iterator = QList<Buddy *>::const_iterator;

    void append(Buddy *buddy);
    //! Removes every occurrence of buddy without deleting it; false when it was not listed.
    bool remove(Buddy *buddy);
    //! Forgets every buddy without deleting any.
    void clear();
    //! Deletes every listed buddy (each once) and empties the list.
    void deleteAll();

    int count() const;
    bool isEmpty() const;
    Buddy *at(int i) const;
    bool contains(const Buddy *buddy) const;
    const QList<Buddy *> &items() const;
    const_iterator begin() const;
    const_iterator end() const;

    Buddy *findByHandle(const QString &handle) const;
    Buddy *findByLoginId(const QString &loginId) const;
    Buddy *findByKivraId(const QString &kivraId) const;
    Buddy *findByKivraKey(const QString &kivraKey) const;

    //! Rebuilds the handle and login ID indexes from the list.
    void reindex() const;

private:
    void forget(Buddy *buddy);
    void indexBuddy(Buddy *buddy) const;

    QList<Buddy *> m_items;
    QSet<const Buddy *> m_listed; //!< membership test without walking 5,000 entries
    mutable QHash<QString, Buddy *> m_byHandle;
    mutable QHash<QString, Buddy *> m_byLoginId;
};
