// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "status.h"

#include <QTest>

class StatusTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void table_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("headerIcon");
        QTest::addColumn<QString>("listIcon");
        QTest::addColumn<QString>("trayIcon");
        QTest::newRow("online") << 0 << "O" << "온라인" << "online_status" << "bi.bmp" << "main_list_state_online.png" << "main_list_state_online";
        QTest::newRow("away") << 1 << "A" << "자리 비움" << "away_status" << "bi3.bmp" << "main_list_state_vacant.png" << "main_list_state_vacant";
        QTest::newRow("busy") << 2 << "B" << "다른 용무 중" << "busy_status" << "bi2.bmp" << "main_list_state_otherbusiness.png"
                              << "main_list_state_otherbusiness";
        QTest::newRow("phone") << 3 << "P" << "통화 중" << "onthephone_status" << "bi2.bmp" << "main_list_state_otherbusiness.png"
                               << "main_list_state_onphone";
        QTest::newRow("meeting") << 4 << "M" << "회의 중" << "meeting_status" << "bi3.bmp" << "main_list_state_meeting.png" << "main_list_state_meeting";
        QTest::newRow("offline") << 5 << "F" << "오프라인 표시" << "offline_status" << "bi4.bmp" << "main_list_state_offline.png" << "main_list_state_offline";
    }

    void table()
    {
        QFETCH(int, number);
        QFETCH(QString, letter);
        QFETCH(QString, label);
        const Status::Entry *entry = Status::byNumber(number);
        QVERIFY(entry);
        QCOMPARE(Status::byLetter(letter), entry);
        QCOMPARE(Status::numberOf(letter), number);
        QCOMPARE(Status::letterOf(number), letter);
        QCOMPARE(entry->menuLabel, label);
        QCOMPARE(entry->headerLabel, QLatin1Char('(') + label + QLatin1Char(')'));
        QTEST(entry->actionName, "action");
        QTEST(entry->headerIcon, "headerIcon");
        QTEST(Status::listIcon(letter), "listIcon");
        QTEST(Status::trayIcon(letter), "trayIcon");
        QCOMPARE(Status::isOnline(letter), letter != QLatin1String("F"));
    }

    void unknown_data()
    {
        QTest::addColumn<QString>("letter");
        QTest::newRow("X") << "X";
        QTest::newRow("lower o") << "o";
        QTest::newRow("empty") << "";
        QTest::newRow("two letters") << "OA";
    }

    void unknown()
    {
        QFETCH(QString, letter);
        QCOMPARE(Status::byLetter(letter), nullptr);
        QCOMPARE(Status::numberOf(letter), -1);
        QCOMPARE(Status::listIcon(letter), QStringLiteral("main_list_state_offline.png"));
        QCOMPARE(Status::trayIcon(letter), QStringLiteral("main_list_state_offline"));
        QVERIFY(Status::isOnline(letter));
    }

    void blocked_data()
    {
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QString>("icon");
        QTest::newRow("F") << "F" << "main_list_state_cut_offline.png";
        QTest::newRow("O") << "O" << "main_list_state_cut_online.png";
        QTest::newRow("P") << "P" << "main_list_state_cut_online.png";
        QTest::newRow("X") << "X" << "main_list_state_cut_online.png";
    }

    void blocked()
    {
        QFETCH(QString, letter);
        QTEST(Status::listIcon(letter, true), "icon");
    }

    void outOfRange()
    {
        QCOMPARE(Status::byNumber(-1), nullptr);
        QCOMPARE(Status::byNumber(6), nullptr);
        QCOMPARE(Status::letterOf(9), QStringLiteral("F"));
    }
};

QTEST_GUILESS_MAIN(StatusTest)
#include "statustest.moc"
