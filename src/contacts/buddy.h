// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "buddybase.h"

#include <QStringList>

//! The buddy object every list holds.
class Buddy : public BuddyBase
{
    Q_OBJECT
public:
    explicit Buddy(QObject *parent = nullptr);

    //! Fewer fields than a buddy line has: no buddy.
    static constexpr int MinListFields = 19;

    //! Builds a buddy from the split fields of a "LIST" line; nullptr for 18 fields or fewer.
    //! The caller owns the result. Status is "F"; flags "0001" (a pending request) put it in group "0".
    static Buddy *fromListLine(const QStringList &fields);

    //! Sets list flags from the four-character flag field; short fields read as "0".
    void setListFlags(const QString &flags);
};
