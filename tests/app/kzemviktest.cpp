// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "account.h"
#include "buddylist.h"
#include "kzemvik.h"
#include "kzemvikmainview.h"
#include "loginview.h"
#include "logoutview.h"
#include "mypasswordedit.h"
#include "recordingboxes.h"
#include "scriptedservice.h"
#include "settings.h"
#include "systemtraywidget.h"
#include "zemvikdpconnection.h"

#include <KAboutData>
#include <KConfigGroup>
#include <KLocalizedString>
#include <KSelectAction>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <memory>

class KZemvikTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<RecordingBoxes> m_boxes;

    static QString dataRoot()
    {
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    }

    static void pointAt(quint16 dispatchPort)
    {
        KConfigGroup g = Settings::config()->group("Config_Service");
        g.writeEntry("Dispatch_Host", QStringLiteral("127.0.0.1"));
        g.writeEntry("Dispatch_Port", int(dispatchPort));
        g.sync();
    }

    static std::unique_ptr<KZemvik> client()
    {
        auto window = std::make_unique<KZemvik>();
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        if (!window->initialize()) {
            return nullptr;
        }
        window->setRetryInterval(50);
        return window;
    }

    static void typeLogin(KZemvik &window)
    {
        window.loginView()->idEdit()->setText(QStringLiteral("kim"));
        window.loginView()->passwordEdit()->setText(QStringLiteral("pw"));
    }

    static bool signIn(KZemvik &window)
    {
        typeLogin(window);
        window.loginView()->connectToDPLserver();
        return QTest::qWaitFor([&window] {
            return window.isConnected();
        }, 10000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        KLocalizedString::setApplicationDomain("kzemvik");
        QCoreApplication::setApplicationName(QStringLiteral("kzemvik"));
        KAboutData::setApplicationData(KAboutData(QStringLiteral("kzemvik"), QStringLiteral("Zemvik 메신저"), QStringLiteral("0.9")));
        qRegisterMetaType<Account *>();
    }

    void init()
    {
        Settings::reset();
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kzemvikrc"));
        Settings::reset();
        QDir(dataRoot()).removeRecursively();
        m_boxes = std::make_unique<RecordingBoxes>();
    }

    void cleanup()
    {
        m_boxes.reset();
    }

    void signInShowsBuddyList()
    {
        ScriptedService service;
        pointAt(service.dispatch.port());
        auto window = client();
        QVERIFY(window);
        QCOMPARE(window->currentView(), window->loginView());
        QCOMPARE(window->statusLabel()->text(), QStringLiteral("대기중"));
        QVERIFY(signIn(*window));

        QCOMPARE(window->currentView(), static_cast<QWidget *>(window->mainView()));
        QCOMPARE(window->statusLabel()->text(), QStringLiteral("접속 됨"));
        QVERIFY(window->action(QStringLiteral("logout_menu"))->isEnabled());
        QVERIFY(window->action(QStringLiteral("Menu_Buddy_Add"))->isEnabled());
        QVERIFY(!window->action(QStringLiteral("login_menu"))->isEnabled());
        QCOMPARE(CurrentAccount::instance()->buddyList->count(), 1);
        QCOMPARE(window->logoutView()->shownId(), QStringLiteral("kim@zemvik.example"));
        QVERIFY(m_boxes->texts.isEmpty());
        // Online after an ordinary sign-in.
        QTRY_COMPARE(service.sessionLines(QStringLiteral("ONST")).size(), 1);
        QVERIFY(service.sessionLines(QStringLiteral("ONST")).first().contains(QLatin1String(" O ")));
        QCOMPARE(CurrentAccount::instance()->status, 'O');
        QCOMPARE(window->tray()->pictureName(), QStringLiteral("main_list_state_online"));

        const QString user = dataRoot() + QStringLiteral("/kim@zemvik.example/");
        QCOMPARE(window->userPath(), user);
        QCOMPARE(window->memoPath(), user + QStringLiteral("memodata/"));
        QCOMPARE(window->chatPath(), user + QStringLiteral("chatdata/"));
        QVERIFY(QFileInfo::exists(user + QStringLiteral("local_user.db")));
    }

    void unsafeOwnIdKeepsNoLocalData_data()
    {
        QTest::addColumn<QByteArray>("ownId");
        QTest::newRow("parent") << QByteArray("..");
        QTest::newRow("path") << QByteArray("../../escape");
        QTest::newRow("none") << QByteArray("%00");
    }

    void unsafeOwnIdKeepsNoLocalData()
    {
        QFETCH(QByteArray, ownId);
        ScriptedService service;
        service.ownId = ownId;
        pointAt(service.dispatch.port());
        auto window = client();
        QVERIFY(window);
        QVERIFY(signIn(*window));
        QCOMPARE(window->userPath(), QString());
        QCOMPARE(window->memoPath(), QString());
        QVERIFY(!QFileInfo::exists(dataRoot() + QStringLiteral("/../escape")));
        QVERIFY(!QFileInfo::exists(dataRoot() + QStringLiteral("/../local_user.db")));
    }

    void wrongPasswordAsksAgain()
    {
        ScriptedService service;
        service.signInAnswer = "301 TID\r\n";
        pointAt(service.dispatch.port());
        auto window = client();
        QVERIFY(window);
        typeLogin(*window);
        window->loginView()->connectToDPLserver();
        QTRY_COMPARE(m_boxes->texts.size(), 1);
        QCOMPARE(m_boxes->texts.first(), QStringLiteral("비밀번호가 틀렸습니다. 확인 후 다시 시도해 주십시오."));
        QCOMPARE(m_boxes->titles.first(), QStringLiteral("ZEMVIK"));
        QCOMPARE(window->currentView(), window->loginView());
        QCOMPARE(window->loginView()->passwordEdit()->text(), QString());
        QVERIFY(window->loginView()->isEnabled());
    }

    void unreachableDispatchTurnsOffAutoLogin()
    {
        quint16 closedPort = 0;
        {
            ScriptedServer gone;
            closedPort = gone.port();
        }
        pointAt(closedPort);
        Settings::setLogin(QStringLiteral("kim"), Settings::serviceDomain(), QStringLiteral("pw"));
        Settings::setAutoLogin(true);
        // Automatic login starts right away and fails.
        auto window = client();
        QVERIFY(window);
        QTRY_COMPARE(m_boxes->texts.size(), 1);
        QCOMPARE(m_boxes->texts.first(), QStringLiteral("The connection to the server failed.\r\nYou may not be connected to the internet"));
        QVERIFY(!window->loginView()->autoLoginBox()->isChecked());
        QVERIFY(window->loginView()->isEnabled());
        Settings::config()->reparseConfiguration();
        QCOMPARE(Settings::autoLogin(), false);
        QCOMPARE(Settings::loginPassword(), QString());
    }

    void reconnectsAfterMissedPings()
    {
        ScriptedService service;
        pointAt(service.dispatch.port());
        auto window = client();
        QVERIFY(window);
        window->setConnectionTimings(2000, 3000, 100, 50);
        QVERIFY(signIn(*window));
        QCOMPARE(service.dispatch.connections(), 1);

        service.answerPings = false;
        QTRY_VERIFY_WITH_TIMEOUT(!window->isConnected(), 5000);
        QCOMPARE(window->currentView(), static_cast<QWidget *>(window->logoutView()));
        QVERIFY(window->isAutoRetrying());
        service.answerPings = true;
        QTRY_VERIFY_WITH_TIMEOUT(window->isConnected(), 10000);
        QVERIFY(service.dispatch.connections() >= 2);
        QCOMPARE(window->currentView(), static_cast<QWidget *>(window->mainView()));
        QVERIFY(!window->retryTimer()->isActive());
        QVERIFY(m_boxes->texts.isEmpty());
    }

    void killEndsSessionWithoutRetry()
    {
        ScriptedService service;
        pointAt(service.dispatch.port());
        auto window = client();
        QVERIFY(window);
        window->setConnectionTimings(2000, 3000, 100, 50);
        QVERIFY(signIn(*window));
        service.session.send("KILL 0\r\n");
        QTRY_COMPARE(m_boxes->texts.size(), 1);
        QVERIFY2(m_boxes->texts.first().startsWith(QStringLiteral("고객님께서는 다른 PC")), qPrintable(m_boxes->texts.join(QLatin1Char('\n'))));
        QCOMPARE(m_boxes->titles.first(), QStringLiteral("Zemvik - 로그아웃"));
        QTRY_VERIFY(!window->isConnected());
        QVERIFY(!window->isAutoRetrying());
        QVERIFY(!window->retryTimer() || !window->retryTimer()->isActive());
        QCOMPARE(window->currentView(), window->loginView());
        QCOMPARE(window->loginView()->idEdit()->text(), QString());
        QCOMPARE(service.dispatch.connections(), 1);
    }

    void errorsStopAutomaticRetries_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("box");
        QTest::newRow("300") << QByteArray("300 TID\r\n") << QStringLiteral("kim@zemvik.example 는 존재하지 않는 아이디입니다. 확인 후 다시 시도해 주십시오.");
        QTest::newRow("301") << QByteArray("301 TID\r\n") << QStringLiteral("비밀번호가 틀렸습니다. 확인 후 다시 시도해 주십시오.");
        QTest::newRow("302") << QByteArray("302 TID\r\n") << QStringLiteral("이미 로그인 되있습니다.");
        QTest::newRow("421") << QByteArray("421 TID\r\n")
                             << QStringLiteral("죄송합니다. 서버 작업으로 Zemvik 접속 할 수 없습니다.\n다음에 다시 접속을 시도해 주십시요.");
    }

    void errorsStopAutomaticRetries()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, box);
        ScriptedService service;
        service.ownId = "kim@zemvik.example";
        pointAt(service.dispatch.port());
        auto window = client();
        QVERIFY(window);
        window->setConnectionTimings(2000, 3000, 100, 50);
        window->loginView()->domainCombo()->setEditText(QStringLiteral("zemvik.example"));
        QVERIFY(signIn(*window));

        // The session is lost; the server now refuses every new sign-in.
        service.signInAnswer = answer;
        service.answerPings = false;
        QTRY_VERIFY_WITH_TIMEOUT(!window->isConnected(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(m_boxes->texts.size(), 1, 10000);
        QCOMPARE(m_boxes->texts.first(), box);
        QVERIFY(!window->isAutoRetrying());
        QVERIFY(!window->retryTimer()->isActive());
        const int attempts = service.dispatch.connections();
        // A late answer of the same kind still shows no second box over the first.
        QCOMPARE(service.dispatch.connections(), attempts);
        QCOMPARE(m_boxes->texts.size(), 1);
    }

    void logoutShowsLogoutWindow()
    {
        ScriptedService service;
        pointAt(service.dispatch.port());
        auto window = client();
        QVERIFY(window);
        QVERIFY(signIn(*window));
        window->action(QStringLiteral("logout_menu"))->trigger();
        QTRY_VERIFY(!window->isConnected());
        QCOMPARE(window->currentView(), static_cast<QWidget *>(window->logoutView()));
        QVERIFY(!window->isAutoRetrying());
        QVERIFY(!window->action(QStringLiteral("logout_menu"))->isEnabled());
        QVERIFY(window->action(QStringLiteral("login_menu"))->isEnabled());
        QCOMPARE(CurrentAccount::instance()->buddyList->count(), 0);
        QCOMPARE(CurrentAccount::instance()->status, 'F');
    }

    void secondSignInDuplicatesNothing()
    {
        ScriptedService service;
        pointAt(service.dispatch.port());
        auto window = client();
        QVERIFY(window);
        QVERIFY(signIn(*window));
        window->action(QStringLiteral("logout_menu"))->trigger();
        QTRY_VERIFY(!window->isConnected());
        window->loginView()->connectToDPLserver();
        QTRY_VERIFY(window->isConnected());
        // One status line per sign-in, not one per connection made.
        QTRY_COMPARE(service.sessionLines(QStringLiteral("ONST")).size(), 2);
        QCOMPARE(service.sessionLines(QStringLiteral("ONST")).last().split(QLatin1Char(' ')).at(2), QStringLiteral("O"));
    }

    void pendingRequestsClearedAtSignIn()
    {
        auto window = client();
        QVERIFY(window);
        const QStringList line = QStringLiteral("LIST 3 0 1 0001 park@zemvik.example 1200 Park %00 a b c d 0 x %00 e N z").split(QLatin1Char(' '));
        window->slotAddCommandQueue(line);
        QCOMPARE(window->addQueue().size(), 1);
        QCOMPARE(window->addQueue().first().command, QStringLiteral("ADSB"));
        QCOMPARE(window->addQueue().first().data, QStringLiteral("1200 park@zemvik.example"));
        window->slotAddCommandQueue(QStringLiteral("LIST 3 0 1 1101 a 1 n").split(QLatin1Char(' ')));
        QCOMPARE(window->addQueue().size(), 1);
        window->slotLSIN();
        QVERIFY(window->addQueue().isEmpty());
    }

    void statusChanges_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QString>("picture");
        QTest::newRow("busy") << 2 << QStringLiteral("B") << QStringLiteral("main_list_state_otherbusiness");
        QTest::newRow("phone") << 3 << QStringLiteral("P") << QStringLiteral("main_list_state_onphone");
        QTest::newRow("appear offline") << 5 << QStringLiteral("F") << QStringLiteral("main_list_state_offline");
    }

    void statusChanges()
    {
        QFETCH(int, status);
        QFETCH(QString, letter);
        QFETCH(QString, picture);
        ScriptedService service;
        pointAt(service.dispatch.port());
        auto window = client();
        QVERIFY(window);
        QVERIFY(signIn(*window));
        window->selectAction(QStringLiteral("status"))->setCurrentItem(status);
        window->slotChangeStatusNumber(status);
        QTRY_COMPARE(service.sessionLines(QStringLiteral("ONST")).size(), 2);
        QCOMPARE(service.sessionLines(QStringLiteral("ONST")).last().split(QLatin1Char(' ')).at(2), letter);
        QCOMPARE(QString(QLatin1Char(CurrentAccount::instance()->status)), letter);
        QCOMPARE(window->tray()->pictureName(), picture);
        // The connection stays up.
        QVERIFY(window->isConnected());
    }

    void namingMenuAndViewStayInStep()
    {
        auto window = client();
        QVERIFY(window);
        window->slotNamingSelect(2);
        QCOMPARE(window->mainView()->namingMode(), 2);
        QVERIFY(window->mainView()->action(QStringLiteral("view_name_id"))->isChecked());
        window->slotBuddyOnlyName();
        QCOMPARE(window->selectAction(QStringLiteral("Menu_Naming"))->currentItem(), 0);
        // Moving the menu item does not switch the view back.
        QCOMPARE(window->mainView()->namingMode(), 2);
    }

    void closingOnlyHides()
    {
        auto window = client();
        QVERIFY(window);
        window->show();
        QVERIFY(!window->close());
        QVERIFY(window->isHidden());
    }

    void viewerCommandsBeforeSignInCreateNoFile()
    {
        auto window = client();
        QVERIFY(window);
        const QString cwd = QDir::currentPath();
        for (const char *command : {"MEMO:INBOX:VIEW:abc", "MEMO:OUTBOX:REPLY:abc", "CHAT:abc", "MEMO:INBOX", "CHAT", "", ":::"}) {
            window->dcopCommand(QString::fromLatin1(command));
        }
        for (const char *file : {"local_inbox.db", "local_outbox.db", "local_chat.db"}) {
            QVERIFY(!QFileInfo::exists(cwd + QLatin1Char('/') + QLatin1String(file)));
            QVERIFY(!QFileInfo::exists(dataRoot() + QLatin1Char('/') + QLatin1String(file)));
        }
    }

    void safePathComponents_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("mail id") << QStringLiteral("kim@zemvik.example") << true;
        QTest::newRow("korean") << QStringLiteral("김철수") << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("dot") << QStringLiteral(".") << false;
        QTest::newRow("dotdot") << QStringLiteral("..") << false;
        QTest::newRow("slash") << QStringLiteral("a/b") << false;
        QTest::newRow("backslash") << QStringLiteral("a\\b") << false;
        QTest::newRow("nul") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << false;
        QTest::newRow("no id") << QStringLiteral("%00") << false;
    }

    void safePathComponents()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QCOMPARE(KZemvik::isSafePathComponent(name), safe);
    }
};

QTEST_MAIN(KZemvikTest)

#include "kzemviktest.moc"
