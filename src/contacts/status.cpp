// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "status.h"

namespace Status
{
namespace
{
const Entry s_entries[Count] = {
    {0, QLatin1Char('O'), QStringLiteral("온라인"), QStringLiteral("online_status"), QStringLiteral("online"),
     QStringLiteral("bi.bmp"), QStringLiteral("(온라인)"), QStringLiteral("main_list_state_online.png")},
    {1, QLatin1Char('A'), QStringLiteral("자리 비움"), QStringLiteral("away_status"), QStringLiteral("away"),
     QStringLiteral("bi3.bmp"), QStringLiteral("(자리 비움)"), QStringLiteral("main_list_state_vacant.png")},
    {2, QLatin1Char('B'), QStringLiteral("다른 용무 중"), QStringLiteral("busy_status"), QStringLiteral("busy"),
     QStringLiteral("bi2.bmp"), QStringLiteral("(다른 용무 중)"), QStringLiteral("main_list_state_otherbusiness.png")},
    {3, QLatin1Char('P'), QStringLiteral("통화 중"), QStringLiteral("onthephone_status"), QStringLiteral("phone"),
     QStringLiteral("bi2.bmp"), QStringLiteral("(통화 중)"), QStringLiteral("main_list_state_otherbusiness.png")},
    {4, QLatin1Char('M'), QStringLiteral("회의 중"), QStringLiteral("meeting_status"), QStringLiteral("meeting"),
     QStringLiteral("bi3.bmp"), QStringLiteral("(회의 중)"), QStringLiteral("main_list_state_meeting.png")},
    {5, QLatin1Char('F'), QStringLiteral("오프라인 표시"), QStringLiteral("offline_status"), QStringLiteral("offline"),
     QStringLiteral("bi4.bmp"), QStringLiteral("(오프라인 표시)"), QStringLiteral("main_list_state_offline.png")},
};
}

const Entry *entries()
{
    return s_entries;
}

const Entry *byNumber(int number)
{
    return number >= 0 && number < Count ? &s_entries[number] : nullptr;
}

const Entry *byLetter(QChar letter)
{
    for (const Entry &entry : s_entries) {
        if (entry.letter == letter) {
            return &entry;
        }
    }
    return nullptr;
}

const Entry *byLetter(const QString &letter)
{
    return letter.size() == 1 ? byLetter(letter.at(0)) : nullptr;
}

int numberOf(const QString &letter)
{
    const Entry *entry = byLetter(letter);
    return entry ? entry->number : -1;
}

QString letterOf(int number)
{
    const Entry *entry = byNumber(number);
    return QString(entry ? entry->letter : QLatin1Char('F'));
}

QString listIcon(const QString &letter, bool blocked)
{
    if (blocked) {
        return letter == QLatin1String("F") ? QStringLiteral("main_list_state_cut_offline.png")
                                            : QStringLiteral("main_list_state_cut_online.png");
    }
    const Entry *entry = byLetter(letter);
    return entry ? entry->listIcon : s_entries[Offline].listIcon;
}

QString onPhoneIcon()
{
    return QStringLiteral("main_list_state_onphone");
}

QString trayIcon(const QString &letter)
{
    if (letter == QLatin1String("P")) {
        return onPhoneIcon();
    }
    QString icon = listIcon(letter);
    icon.chop(4); // ".png": the tray loads pictures by name
    return icon;
}

bool isOnline(const QString &letter)
{
    return letter != QLatin1String("F");
}
}
