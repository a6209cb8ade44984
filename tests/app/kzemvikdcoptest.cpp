// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "fakeviewer.h"
#include "kzemvikdcop.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QSignalSpy>
#include <QTest>

class KZemvikDCOPTest : public QObject
{
    Q_OBJECT
private:
    //! Calls the client's object from the viewer's connection and waits for the answer.
    static QDBusMessage callClient(const QList<QVariant> &arguments)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(KZemvikDCOP::serviceName(),
                                                           KZemvikDCOP::objectPath(),
                                                           QStringLiteral("org.kde.kzemvik.KZemvikDCOP"),
                                                           QStringLiteral("dcopCommand"));
        call.setArguments(arguments);
        QDBusPendingCallWatcher watcher(viewerBus().asyncCall(call));
        QSignalSpy finished(&watcher, &QDBusPendingCallWatcher::finished);
        if (!watcher.isFinished()) {
            finished.wait(5000);
        }
        return watcher.reply();
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected()) {
            QSKIP("no session bus (run under dbus-run-session)");
        }
    }

    void ownsNameAndTakesCommands()
    {
        KZemvikDCOP dcop;
        QVERIFY(dcop.registerOnBus());
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.kde.kzemvik")));
        QSignalSpy commands(&dcop, &KZemvikDCOP::commandReceived);

        const QDBusMessage reply = callClient({QStringLiteral("MEMO:COUNT:7")});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(commands.count(), 1);
        QCOMPARE(commands.at(0).at(0).toString(), QStringLiteral("MEMO:COUNT:7"));

        // Without its string the call is refused and nothing runs.
        const QDBusMessage refused = callClient({});
        QCOMPARE(refused.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(commands.count(), 1);
    }

    void nameIsReleasedWithTheObject()
    {
        {
            KZemvikDCOP dcop;
            QVERIFY(dcop.registerOnBus());
        }
        QTRY_VERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.kde.kzemvik")));
    }

    void sendWithoutViewerFails()
    {
        KZemvikDCOP dcop;
        QVERIFY(!dcop.sendToViewer(QStringLiteral("dcopCommand"), QStringLiteral("QUIT")));
    }

    void sendReachesEveryMessageBoxObject()
    {
        QDBusConnection bus = viewerBus();
        FakeViewer first;
        FakeViewer second;
        FakeViewer other;
        QVERIFY(bus.registerObject(QStringLiteral("/MessageBox1"), &first, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerObject(QStringLiteral("/MessageBox2"), &second, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerObject(QStringLiteral("/Other"), &other, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(KZemvikDCOP::viewerService()));

        KZemvikDCOP dcop;
        QSignalSpy sent(&dcop, &KZemvikDCOP::viewerCallSent);
        QVERIFY(dcop.sendToViewer(QStringLiteral("dcopCommand"), QStringLiteral("QUIT")));
        QVERIFY(sent.wait(5000));
        QCOMPARE(sent.at(0).at(2).toInt(), 2);
        QTRY_COMPARE(first.commands, QStringList{QStringLiteral("QUIT")});
        QTRY_COMPARE(second.commands, QStringList{QStringLiteral("QUIT")});
        QVERIFY(dcop.sendToViewer(QStringLiteral("setDBPath"), QStringLiteral("/data/kim")));
        QTRY_COMPARE(first.dbPaths, QStringList{QStringLiteral("/data/kim")});
        QVERIFY(other.commands.isEmpty());

        bus.unregisterService(KZemvikDCOP::viewerService());
        bus.unregisterObject(QStringLiteral("/MessageBox1"));
        bus.unregisterObject(QStringLiteral("/MessageBox2"));
        bus.unregisterObject(QStringLiteral("/Other"));
    }
};

QTEST_GUILESS_MAIN(KZemvikDCOPTest)

#include "kzemvikdcoptest.moc"
