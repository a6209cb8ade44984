// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings.h"

#include <KConfigGroup>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class SettingsTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_home;

    static QString rcPath()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kzemvikrc");
    }

    static int fileMode(const QString &path)
    {
        struct stat info {};
        if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
            return -1;
        }
        return int(info.st_mode & 0777);
    }

    static void freshConfig()
    {
        Settings::reset();
        QFile::remove(rcPath());
    }

private Q_SLOTS:
    void initTestCase()
    {
        // A private configuration and data directory: nothing shared with other test runs.
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
        QDir().mkpath(m_home.filePath(QStringLiteral("data/kzemvik/sound")));
    }

    void init()
    {
        freshConfig();
    }

    void defaults_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("expected");
        freshConfig();
        const QString sounds = m_home.filePath(QStringLiteral("data/kzemvik/sound/"));
        const QFont font(QStringLiteral("굴림"), 10);
        auto row = [](const char *name, const QVariant &value, const QVariant &expected) {
            QTest::newRow(name) << value << expected;
        };
        row("Dispatch_Port", Settings::dispatchPort(), 5004);
        row("Proxy_Port SOCKS", Settings::proxyPort(), 1080);
        row("Proxy_Port dialog", Settings::storedProxyPort(), 0);
        row("P2P_Port", Settings::p2pPort(), 5004);
        row("ID", Settings::loginId(), QString());
        row("AutoLogin", Settings::autoLogin(), false);
        row("HidenLogin", Settings::hiddenLogin(), false);
        row("Size", Settings::mainWindowSize(), QSize());
        row("Position", Settings::hasMainWindowPosition(), false);
        row("Use_Emoticon_BuddyList", Settings::useEmoticonBuddyList(), true);
        row("Always_Top", Settings::alwaysTop(), false);
        row("Down_Path", Settings::downPath(), QDir::homePath());
        row("Type_Of_BuddyList", Settings::buddyListType(), 3);
        row("Type_Of_BuddySort", Settings::buddySortType(), 0);
        row("BuddyListTree", Settings::groupOpen(Settings::offlineTreeKey()), true);
        row("Use_Away_Time", Settings::useAwayTime(), false);
        row("Away_Time", Settings::awayTime(), 10);
        row("Action_Receive_Memo", Settings::actionReceiveMemo(), 0);
        row("alarm UseSound", Settings::alarmUseSound(), false);
        row("Sound UseSound", Settings::useSound(), false);
        row("IsOnChatRequest", Settings::soundEnabled(Settings::ChatRequest), false);
        row("FriendConnect", Settings::soundFile(Settings::FriendConnect), QString(sounds + QStringLiteral("buddy_login.wav")));
        row("MiniKivraNew", Settings::soundFile(Settings::MiniKivraNew), QString(sounds + QStringLiteral("minikivra.wav")));
        row("Away_Message_Font", Settings::awayMessageFont(), font);
        row("Away_Message_FontColor", Settings::awayMessageFontColor(), QColor(Qt::black));
        row("Save_Chat_Log", Settings::saveChatLog(), 2);
        row("Use_Chat_Emoticon", Settings::useChatEmoticon(), true);
        row("Attach_Forward_Memo", Settings::attachForwardMemo(), true);
        row("Allow_Only_Permit_Chat", Settings::allowOnlyPermitChat(), false);
        row("Allow_Other", Settings::allowOther(), true);
        row("Chat Font", Settings::chatFont(), font);
        row("Memo Font", Settings::memoFont(), font);
        row("Chat FontColor", Settings::chatFontColor(), QColor(Qt::black));
        row("MiniKivra_Public", Settings::miniKivraPublic(), 1);
        row("MiniKivra_Alarm", Settings::miniKivraAlarm(), 0);
        row("Use_MiniKivra_ETC", Settings::useMiniKivraEtc(), true);
    }

    void defaults()
    {
        QFETCH(QVariant, value);
        QFETCH(QVariant, expected);
        QCOMPARE(value, expected);
    }

    void roundTrip()
    {
        Settings::setLogin(QStringLiteral("kim"), QStringLiteral("zemvik.example"), QStringLiteral("pa ss"));
        Settings::setAwayTime(25);
        Settings::setUseAwayTime(true);
        Settings::setSound(Settings::ChatRequest, false, QStringLiteral("/tmp/x.wav"));
        Settings::setSound(Settings::Login, true, QStringLiteral("/tmp/y.wav"));
        Settings::setGroupsOpen({QStringLiteral("0"), QStringLiteral("7")}, false);
        Settings::setProxy(2, QStringLiteral("proxy.local"), 0, QString(), QString());
        QFont font(QStringLiteral("Sans"), 13);
        font.setBold(true);
        Settings::setChatFont(font);
        Settings::setChatFontColor(QColor(10, 20, 30));
        Settings::setMainWindowGeometry(QSize(300, 600), QPoint(12, 34));
        Settings::setPrivacy(true, true, false);

        // A restart: a new handle reads the file again.
        Settings::reset();
        QCOMPARE(Settings::loginId(), QStringLiteral("kim"));
        QCOMPARE(Settings::loginPassword(), QStringLiteral("pa ss"));
        QCOMPARE(Settings::awayTime(), 25);
        QVERIFY(Settings::useAwayTime());
        QVERIFY(!Settings::soundEnabled(Settings::ChatRequest));
        QCOMPARE(Settings::soundFile(Settings::ChatRequest), QStringLiteral("/tmp/x.wav"));
        QVERIFY(Settings::soundEnabled(Settings::Login));
        QVERIFY(!Settings::groupOpen(QStringLiteral("7")));
        QVERIFY(Settings::groupOpen(QStringLiteral("8")));
        QCOMPARE(Settings::proxyType(), 2);
        QCOMPARE(Settings::proxyPort(), 0);
        QCOMPARE(Settings::chatFont(), font);
        QCOMPARE(Settings::chatFontColor(), QColor(10, 20, 30));
        QCOMPARE(Settings::mainWindowSize(), QSize(300, 600));
        QVERIFY(Settings::hasMainWindowPosition());
        QCOMPARE(Settings::mainWindowPosition(), QPoint(12, 34));
        QVERIFY(Settings::allowOnlyFriendMemo());
        QVERIFY(!Settings::allowOther());
        // Stored in KConfig's colour form, which other KDE readers understand.
        QCOMPARE(Settings::config()->group(QStringLiteral("Chat")).readEntry("FontColor", QString()), QStringLiteral("10,20,30"));
    }

    void proxyPortDefault()
    {
        Settings::setProxy(2, QString(), 0, QString(), QString());
        Settings::config()->group(QStringLiteral("Config_Connection")).deleteEntry("Proxy_Port");
        QCOMPARE(Settings::proxyPort(), 6588);
        QCOMPARE(Settings::storedProxyPort(), 0);
    }

    void downPathFallback()
    {
        QTemporaryDir dir;
        Settings::setDownPath(dir.path());
        QCOMPARE(Settings::checkedDownPath(), dir.path());
        Settings::setDownPath(m_home.filePath(QStringLiteral("gone")));
        QCOMPARE(Settings::checkedDownPath(), QDir::homePath());
        Settings::reset();
        QCOMPARE(Settings::downPath(), QDir::homePath());
    }

    void fileIsPrivate()
    {
        QCOMPARE(fileMode(rcPath()), -1);
        Settings::config();
        QCOMPARE(fileMode(rcPath()), 0600);
        // A save through KConfig itself replaces the file; the mode must survive it.
        KConfigGroup g = Settings::config()->group(QStringLiteral("Login"));
        g.writeEntry("Password", QStringLiteral("secret"));
        QVERIFY(g.sync());
        QCOMPARE(fileMode(rcPath()), 0600);
        Settings::setAutoLogin(true);
        QCOMPARE(fileMode(rcPath()), 0600);
    }

    void existingFileIsRestricted()
    {
        Settings::reset();
        QDir().mkpath(QFileInfo(rcPath()).path());
        QFile file(rcPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Login]\nID=old\n");
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther | QFileDevice::ReadGroup));
        QCOMPARE(Settings::loginId(), QStringLiteral("old"));
        QCOMPARE(fileMode(rcPath()), 0600);
    }
};

int main(int argc, char **argv)
{
    // Fonts need a GUI application; tests have no display (and the minimal platform, unlike offscreen, frees its screen).
    qputenv("QT_QPA_PLATFORM", "minimal");
    QGuiApplication app(argc, argv);
    SettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "settingstest.moc"
