// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>

class Buddy;

//! The buddies of one group in the order the list view inserts their rows: by name descending.
class MyBuddyList : public QList<Buddy *>
{
public:
    using QList<Buddy *>::QList;

    //! Negative when a sorts before b: b's name compared with a's, plain string comparison.
    static int compareItems(const Buddy *a, const Buddy *b);
    //! Stable sort by compareItems().
    void sort();
};
