// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "mybuddylist.h"

#include "buddy.h"

#include <algorithm>

int MyBuddyList::compareItems(const Buddy *a, const Buddy *b)
{
    return b->name.compare(a->name);
}

void MyBuddyList::sort()
{
    std::stable_sort(begin(), end(), [](const Buddy *a, const Buddy *b) {
        return compareItems(a, b) < 0;
    });
}
