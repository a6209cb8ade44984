// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QChar>
#include <QString>

//! The single place where a presence code is a number, a letter, a label and a picture.
//! Letters are what INFY/NTFY and ONST carry; numbers are what the status menu and the list header use.
namespace Status
{
struct Entry {
    int number;
    QChar letter;
    QString menuLabel;
    QString actionName;
    QString menuIcon;
    QString headerIcon;
    QString headerLabel;
    QString listIcon;
};

constexpr int Count = 6;
enum Number { Online = 0, Away = 1, Busy = 2, OnThePhone = 3, Meeting = 4, Offline = 5 };

//! The six known states in number order.
const Entry *entries();
//! nullptr for a number outside 0..5.
const Entry *byNumber(int number);
//! nullptr for an unknown letter (also "X", the state before anything is known).
const Entry *byLetter(QChar letter);
const Entry *byLetter(const QString &letter);
//! -1 for an unknown letter.
int numberOf(const QString &letter);
//! The letter of a number; "F" for an unknown number.
QString letterOf(int number);
//! Picture of a buddy row; unknown letters draw offline, blocked buddies the "cut" pictures.
QString listIcon(const QString &letter, bool blocked = false);
//! Picture name (no extension) for the tray: as the list row, but the phone state has its own picture.
QString trayIcon(const QString &letter);
//! The phone picture of tray and chat window.
QString onPhoneIcon();
//! A buddy counts as online wherever its letter is not "F".
bool isOnline(const QString &letter);
}
