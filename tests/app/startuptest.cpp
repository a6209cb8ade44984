// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "kzemvik.h"
#include "recordingboxes.h"
#include "settings.h"
#include "startup.h"

#include <KAboutData>
#include <KLocalizedString>
#include <QPointer>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

namespace
{
//! A main window whose initialisation fails, as when a connection cannot be set up.
class FailingWindow : public KZemvik
{
public:
    bool initialize() override
    {
        return false;
    }
};
}

class StartupTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        KLocalizedString::setApplicationDomain("kzemvik");
        KAboutData::setApplicationData(KAboutData(QStringLiteral("kzemvik"), QStringLiteral("Zemvik 메신저"), QStringLiteral("0.9")));
        Settings::reset();
    }

    void failedInitialisationEndsTheProgram()
    {
        RecordingBoxes boxes;
        // Had the event loop been entered, this would end it with status 0.
        QTimer::singleShot(3000, qApp, [] {
            QCoreApplication::exit(0);
        });
        QPointer<KZemvik> window = new FailingWindow;
        QCOMPARE(Startup::runMainWindow(window, false), 1);
        QVERIFY(window.isNull());
    }

    void workingWindowRunsUntilQuit()
    {
        RecordingBoxes boxes;
        QPointer<KZemvik> window = new KZemvik;
        QTimer::singleShot(0, qApp, [] {
            QCoreApplication::exit(7);
        });
        QCOMPARE(Startup::runMainWindow(window, false), 7);
        QVERIFY(window.isNull());
    }
};

QTEST_MAIN(StartupTest)
#include "startuptest.moc"
