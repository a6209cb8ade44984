// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "buddybase.h"

BuddyBase::BuddyBase(QObject *parent)
    : MyListItem(parent)
{
}

bool BuddyBase::isOnline() const
{
    return status != QLatin1String("F");
}
