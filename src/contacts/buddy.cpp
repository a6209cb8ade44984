// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "buddy.h"

#include "commandline.h"

namespace
{
bool flagSet(const QString &flags, int i)
{
    return i < flags.size() && flags.at(i) == QLatin1Char('1');
}

//! Dates come as YYYYMMDD; anything else leaves the date unset.
QDate listDate(const QString &field)
{
    if (field.size() != 8) {
        return QDate();
    }
    return QDate(field.leftRef(4).toInt(), field.midRef(4, 2).toInt(), field.rightRef(2).toInt());
}
}

Buddy::Buddy(QObject *parent)
    : BuddyBase(parent)
{
}

void Buddy::setListFlags(const QString &flags)
{
    onForwardList = flagSet(flags, 0);
    onAllowList = flagSet(flags, 1);
    blocked = !onAllowList;
    onReverseList = flagSet(flags, 3);
}

Buddy *Buddy::fromListLine(const QStringList &fields)
{
    if (fields.size() < MinListFields) {
        return nullptr;
    }
    auto *buddy = new Buddy();
    buddy->status = QStringLiteral("F");
    const QString flags = CommandLine::field(fields, 4);
    buddy->setListFlags(flags);
    buddy->loginId = CommandLine::field(fields, 5);
    buddy->handle = CommandLine::field(fields, 6);
    buddy->name = CommandLine::unescape(CommandLine::field(fields, 7));
    const QString nick = CommandLine::field(fields, 8);
    buddy->nick = nick == QLatin1String("%00") ? buddy->name : CommandLine::unescape(nick);
    buddy->profile.text9 = CommandLine::field(fields, 9);
    buddy->profile.text10 = CommandLine::field(fields, 10);
    buddy->profile.date11 = listDate(CommandLine::field(fields, 11));
    buddy->kivraId = CommandLine::field(fields, 12);
    buddy->kivraKey = buddy->kivraId;
    buddy->profile.number13 = CommandLine::intField(fields, 13);
    buddy->profile.mavreloId = CommandLine::field(fields, 15);
    buddy->profile.date16 = listDate(CommandLine::field(fields, 16));
    buddy->profile.flag17 = CommandLine::field(fields, 17) == QLatin1String("Y");
    buddy->kivraNew = false;
    if (flags == QLatin1String("0001")) {
        buddy->setItemId(QStringLiteral("0"));
    }
    return buddy;
}
