// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mylistitem.h"

#include <QDate>
#include <QString>

//! Profile fields of a buddy line that nothing in the client interprets; kept as received.
struct BuddyProfile {
    QString text9;
    QString text10;
    QDate date11; //!< invalid unless the field was exactly eight characters and a real date
    int number13 = 0;
    QString mavreloId; //!< position 15
    QDate date16;
    bool flag17 = false; //!< "Y"
};

//! All data of one buddy; itemId() is the group whose header a single new row goes under.
//! Members are written directly by the session connection, the controller and the windows.
class BuddyBase : public MyListItem
{
    Q_OBJECT
public:
    explicit BuddyBase(QObject *parent = nullptr);

    QString loginId;
    QString handle;
    QString name;
    QString nick;
    //! A first character "%" means the buddy has no personal page.
    QString kivraId;
    //! kivraId as received at list load; matches sister-service notices after NPRF changed kivraId.
    QString kivraKey;
    bool kivraNew = false;
    //! One status letter; "X" until the server told anything.
    QString status = QStringLiteral("X");
    bool inChat = false;
    bool onForwardList = false;
    bool onAllowList = false;
    //! Always the opposite of onAllowList.
    bool blocked = false;
    bool onReverseList = false;
    bool mainPageState = false;
    QString mainPageParam;
    BuddyProfile profile;

    //! Everywhere a buddy counts as online unless its letter is "F".
    bool isOnline() const;
};
