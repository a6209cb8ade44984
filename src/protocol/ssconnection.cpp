// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "ssconnection.h"

SSConnection::SSConnection(QObject *parent)
    : QObject(parent)
{
}

void SSConnection::addBuddy(Buddy *buddy)
{
    buddies.append(buddy);
    Q_EMIT BuddyAdded(buddy);
}
