// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "networkwindow.h"

#include <QCheckBox>
#include <QRegularExpression>
#include <QTest>

class NetworkWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void outgoingLineWithoutLineEnd()
    {
        NetworkWindow window;
        window.addOutgoingServerMessage(QStringLiteral("PING 3 <x>\r\n"));
        const QStringList lines = window.logText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(0).endsWith(QLatin1String(") kzemvik started.")));
        const QRegularExpression entry(QStringLiteral("^\\(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\) --> PING 3 <x>$"));
        QVERIFY2(entry.match(lines.at(1)).hasMatch(), qPrintable(lines.at(1)));
    }

    void uncheckingIncomingStopsNewEntries()
    {
        NetworkWindow window;
        window.addIncomingServerMessage(QStringLiteral("INFY 0 a O\r\n"));
        window.findChild<QCheckBox *>(QStringLiteral("showIncoming"))->setChecked(false);
        window.addIncomingServerMessage(QStringLiteral("INFY 0 b O\r\n"));
        window.addOutgoingServerMessage(QStringLiteral("ONST 4 O 0 %00 1\r\n"));
        const QString log = window.logText();
        QVERIFY(log.contains(QLatin1String("<-- INFY 0 a O")));
        QVERIFY(!log.contains(QLatin1String("INFY 0 b O")));
        QVERIFY(log.contains(QLatin1String("--> ONST 4 O 0 %00 1")));
    }

    void secretsMasked_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("masked");
        QTest::newRow("sign-in digest")
            << QStringLiteral("LSIN 3 kim@zemvik.example 0123456789abcdef0123456789abcdef MD5 3.871 UTF8\r\n")
            << QStringLiteral("LSIN 3 kim@zemvik.example ******** MD5 3.871 UTF8\r\n");
        QTest::newRow("sign-in answer ticket")
            << QStringLiteral("LSIN 3 100 Kim %00 a b TICKET123 %00 0 c d N e kim mv Y N\r\n")
            << QStringLiteral("LSIN 3 100 Kim %00 a b ******** %00 0 c d N e kim mv Y N\r\n");
        QTest::newRow("new ticket") << QStringLiteral("TICK 0 T2\r\n") << QStringLiteral("TICK 0 ********\r\n");
        QTest::newRow("proxy password") << QStringLiteral("AUTH user proxypw\r\n") << QStringLiteral("AUTH user ********\r\n");
        QTest::newRow("plain") << QStringLiteral("GLST 5 0\r\n") << QStringLiteral("GLST 5 0\r\n");
    }

    void secretsMasked()
    {
        QFETCH(QString, line);
        QFETCH(QString, masked);
        QCOMPARE(NetworkWindow::maskSecrets(line, QStringLiteral("proxypw")), masked);
    }

    void capacityDropsOldLines()
    {
        NetworkWindow window;
        window.setLogCapacity(3);
        for (int i = 0; i < 5; ++i) {
            window.addLogEntry(0, QString::number(i));
        }
        const QStringList lines = window.logText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.last().endsWith(QLatin1String(") 4")));
    }
};

QTEST_MAIN(NetworkWindowTest)

#include "networkwindowtest.moc"
