// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "fakeviewer.h"
#include "kzemvik.h"
#include "kzemvikdcop.h"
#include "kzemvikmainview.h"
#include "recordingboxes.h"
#include "settings.h"

#include <KAboutData>

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QLabel>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <memory>

class KZemvikDBusTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<RecordingBoxes> m_boxes;
    std::unique_ptr<KZemvik> m_window;
    std::unique_ptr<FakeViewer> m_viewer;

    //! Sends a command the way the message viewer does and waits for the call to be done.
    static bool viewerSays(const QString &command)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.kzemvik"),
                                                           QStringLiteral("/kzemvikdcop"),
                                                           QStringLiteral("org.kde.kzemvik.KZemvikDCOP"),
                                                           QStringLiteral("dcopCommand"));
        call << command;
        QDBusPendingCallWatcher watcher(viewerBus().asyncCall(call));
        QSignalSpy finished(&watcher, &QDBusPendingCallWatcher::finished);
        if (!watcher.isFinished() && !finished.wait(5000)) {
            return false;
        }
        return !watcher.isError();
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected()) {
            QSKIP("no session bus (run under dbus-run-session)");
        }
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("kzemvik"));
        KAboutData::setApplicationData(KAboutData(QStringLiteral("kzemvik"), QStringLiteral("Zemvik 메신저"), QStringLiteral("0.9")));
        m_boxes = std::make_unique<RecordingBoxes>();
        m_window = std::make_unique<KZemvik>();
        m_window->setAttribute(Qt::WA_DeleteOnClose, false);
        QVERIFY(m_window->initialize());
        QVERIFY(m_window->dbus()->isRegistered());

        m_viewer = std::make_unique<FakeViewer>();
        QDBusConnection bus = viewerBus();
        QVERIFY(bus.registerObject(QStringLiteral("/MessageBox_1"), m_viewer.get(), QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.kde.messageviewer")));
    }

    void cleanupTestCase()
    {
        m_window.reset();
        m_boxes.reset();
    }

    void memoCountShown()
    {
        QVERIFY(viewerSays(QStringLiteral("MEMO:COUNT:7")));
        auto *label = m_window->mainView()->findChild<QLabel *>(QStringLiteral("memoCountLabel"));
        QVERIFY(label);
        QVERIFY2(label->text().contains(QLatin1Char('7')), qPrintable(label->text()));
    }

    void getWithNothingPendingSendsNothing()
    {
        m_viewer->commands.clear();
        QSignalSpy sent(m_window->dbus(), &KZemvikDCOP::viewerCallSent);
        QVERIFY(viewerSays(QStringLiteral("CMD:GET")));
        // One character is not a command either.
        m_window->setViewerCommand(QStringLiteral("X"));
        QVERIFY(viewerSays(QStringLiteral("CMD:GET")));
        m_window->setViewerCommand(QStringLiteral("SEARCH:CHAT:lee@zemvik.example"));
        QVERIFY(viewerSays(QStringLiteral("CMD:GET")));
        QTRY_COMPARE(m_viewer->commands, QStringList{QStringLiteral("SEARCH:CHAT:lee@zemvik.example")});
        QCOMPARE(sent.count(), 1);
        QCOMPARE(m_window->viewerCommand(), QString());
        // Fetched once only.
        QVERIFY(viewerSays(QStringLiteral("CMD:GET")));
        QVERIFY(viewerSays(QStringLiteral("MEMO:COUNT:1")));
        QCOMPARE(m_viewer->commands.size(), 1);
    }

    void dbPathWithoutFinalSlash()
    {
        QVERIFY(viewerSays(QStringLiteral("DB:PATH")));
        // Not signed in: there is no user directory yet, so the path is empty.
        QTRY_COMPARE(m_viewer->dbPaths.size(), 1);
        QCOMPARE(m_viewer->dbPaths.first(), m_window->userPath());
    }

    void unknownCommandsIgnored()
    {
        for (const char *command : {"", "FOO", "MEMO", "MEMO:COUNT", "MEMO:COUNT:x", "CHAT", "DB", "MEMO:INBOX:VIEW"}) {
            QVERIFY(viewerSays(QString::fromLatin1(command)));
        }
        QVERIFY(m_boxes->texts.isEmpty());
    }
};

QTEST_MAIN(KZemvikDBusTest)

#include "kzemvikdbustest.moc"
