// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>

class Buddy;

//! Where one switchboard session waits: the answer to a "RESS" request, matched by its TID.
class SSConnection : public QObject
{
    Q_OBJECT
public:
    explicit SSConnection(QObject *parent = nullptr);

    //! Adds a buddy to invite once the session is entered.
    void addBuddy(Buddy *buddy);

    QString serverHost;
    int serverPort = 0;
    QList<Buddy *> buddies; // not owned
    int tid = -1;
    QString key;

Q_SIGNALS:
    void BuddyAdded(Buddy *buddy);
};
