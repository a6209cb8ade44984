// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "sendfileinfo.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class SendFileInfoTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void constructors()
    {
        SendFileInfo offer(QStringLiteral("me"), QStringLiteral("peer"), QStringLiteral("/tmp/a.txt"), 1234);
        QCOMPARE(offer.filePath, QStringLiteral("/tmp/a.txt"));
        QCOMPARE(offer.fileSize, 1234u);
        QVERIFY(offer.cookie.isEmpty());
        QCOMPARE(offer.chunkCount, 0);
        QVERIFY(!offer.connected && !offer.cancelled && !offer.relayRequested);
        QVERIFY(!offer.socket);

        SendFileInfo relay(QStringLiteral("me"), QStringLiteral("peer"), QStringLiteral("cookie1"), QStringLiteral("key1"));
        QCOMPARE(relay.cookie, QStringLiteral("cookie1"));
        QCOMPARE(relay.relayKey, QStringLiteral("key1"));
        QVERIFY(relay.filePath.isEmpty());
        QCOMPARE(relay.fileSize, 0u);
    }

    void timerCreatedOnFirstUse()
    {
        SendFileInfo info(QStringLiteral("me"), QStringLiteral("peer"), QStringLiteral("f"), 1);
        QVERIFY(!info.findChild<QTimer *>());
        QTimer *timer = info.timer();
        QCOMPARE(info.timer(), timer);
        QCOMPARE(timer->objectName(), QStringLiteral("timer"));
        QVERIFY(timer->isSingleShot());
        QCOMPARE(timer->interval(), 5000);
        QCOMPARE(info.findChild<QTimer *>(QStringLiteral("timer")), timer);
    }

    void timeoutEmitsItself()
    {
        SendFileInfo info(QStringLiteral("me"), QStringLiteral("peer"), QStringLiteral("f"), 1);
        QSignalSpy spy(&info, &SendFileInfo::P2PTimeout);
        info.timer()->start(10); // the real wait is 5 s; only its wiring is under test
        QVERIFY(spy.wait(2000));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<SendFileInfo *>(), &info);
        QVERIFY(!info.timer()->isActive());
    }
};

QTEST_GUILESS_MAIN(SendFileInfoTest)
#include "sendfileinfotest.moc"
