// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings.h"

#include <KConfigGroup>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
KSharedConfigPtr s_config;

const QString s_localWeb = QStringLiteral("127.0.0.1:5080");

QString configPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kzemvikrc");
}

//! Passwords are stored in the file: it must never be readable by others, also not for a moment.
void restrictConfigFile()
{
    const QByteArray path = QFile::encodeName(configPath());
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0) {
        ::fchmod(fd, S_IRUSR | S_IWUSR);
        ::close(fd);
    }
}

KConfigGroup group(const char *name)
{
    return Settings::config()->group(QLatin1String(name));
}

KConfigGroup group(const QString &name)
{
    return Settings::config()->group(name);
}

template<typename T>
T read(const char *groupName, const char *key, const T &fallback)
{
    return group(groupName).readEntry(key, fallback);
}

QString read(const char *groupName, const char *key, const char *fallback)
{
    return group(groupName).readEntry(key, QString::fromUtf8(fallback));
}

void commit(KConfigGroup &g)
{
    g.sync();
    restrictConfigFile();
}

template<typename T>
void write(const char *groupName, const char *key, const T &value)
{
    KConfigGroup g = group(groupName);
    g.writeEntry(key, value);
    commit(g);
}

QFont readFont(const char *groupName, const char *key)
{
    const QString text = group(groupName).readEntry(key, QString());
    QFont font = Settings::defaultFont();
    if (text.isEmpty() || !font.fromString(text)) {
        return Settings::defaultFont();
    }
    return font;
}

void writeFont(const char *groupName, const char *key, const QFont &font)
{
    write(groupName, key, font.toString());
}

//! KConfig's colour form: "r,g,b" or "r,g,b,a"; colour names such as "#00ff00" are read as well.
QColor readColor(const char *groupName, const char *key, const QColor &fallback)
{
    const QString text = group(groupName).readEntry(key, QString()).trimmed();
    if (text.isEmpty()) {
        return fallback;
    }
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() == 3 || parts.size() == 4) {
        int values[4] = {0, 0, 0, 255};
        for (int i = 0; i < parts.size(); ++i) {
            bool ok = false;
            values[i] = parts.at(i).trimmed().toInt(&ok);
            if (!ok || values[i] < 0 || values[i] > 255) {
                return fallback;
            }
        }
        return QColor(values[0], values[1], values[2], values[3]);
    }
    const QColor named(text);
    return named.isValid() ? named : fallback;
}

void writeColor(const char *groupName, const char *key, const QColor &color)
{
    QString text = QStringLiteral("%1,%2,%3").arg(color.red()).arg(color.green()).arg(color.blue());
    if (color.alpha() != 255) {
        text += QStringLiteral(",%1").arg(color.alpha());
    }
    write(groupName, key, text);
}

struct SoundKeys {
    const char *enabledKey;
    const char *fileKey;
    const char *fileName;
};

const SoundKeys s_soundKeys[] = {
    {"IsOnFriendConnect", "FriendConnect", "buddy_login.wav"},
    {"IsOnReceiveMemo", "ReceiveMemo", "recv_memo.wav"},
    {"IsOnFileTransferDone", "FileTransferDone", "trans_comp.wav"},
    {"IsOnLogin", "Login", "login.wav"},
    {"IsOnChatRequest", "ChatRequest", "recv_chat.wav"},
    {"IsOnMiniKivraNew", "MiniKivraNew", "minikivra.wav"},
};
}

KSharedConfigPtr Settings::config()
{
    if (!s_config) {
        QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        restrictConfigFile();
        s_config = KSharedConfig::openConfig(QStringLiteral("kzemvikrc"), KConfig::SimpleConfig);
    }
    return s_config;
}

void Settings::reset()
{
    s_config.reset();
}

QFont Settings::defaultFont()
{
    return QFont(QStringLiteral("굴림"), 10);
}

QString Settings::dispatchHost()
{
    return group("Config_Service").readEntry("Dispatch_Host", QStringLiteral("127.0.0.1"));
}

int Settings::dispatchPort()
{
    return group("Config_Service").readEntry("Dispatch_Port", 5004);
}

QString Settings::webHost()
{
    return group("Config_Service").readEntry("Web_Host", s_localWeb);
}

QString Settings::portalHost()
{
    return group("Config_Service").readEntry("Portal_Host", s_localWeb);
}

QString Settings::mavreloHost()
{
    return group("Config_Service").readEntry("Mavrelo_Host", s_localWeb);
}

QString Settings::serviceDomain()
{
    return group("Config_Service").readEntry("Service_Domain", QStringLiteral("zemvik.example"));
}

QString Settings::mavreloDomain()
{
    return group("Config_Service").readEntry("Mavrelo_Domain", QStringLiteral("mavrelo.example"));
}

bool Settings::useProxy()
{
    return group("Config_Connection").readEntry("Use_Proxy", false);
}

int Settings::proxyType()
{
    return group("Config_Connection").readEntry("Proxy_Type", 0);
}

int Settings::proxyPort()
{
    const int type = proxyType();
    return group("Config_Connection").readEntry("Proxy_Port", (type == 0 || type == 1) ? 1080 : 6588);
}

QString Settings::proxyServer()
{
    return group("Config_Connection").readEntry("Proxy_Server", QString());
}

QString Settings::proxyId()
{
    return group("Config_Connection").readEntry("Proxy_ID", QString());
}

QString Settings::proxyPassword()
{
    return group("Config_Connection").readEntry("Proxy_Password", QString());
}

int Settings::storedProxyPort()
{
    return group("Config_Connection").readEntry("Proxy_Port", 0);
}

int Settings::p2pPort()
{
    return group("Config_Connection").readEntry("P2P_Port", 5004);
}

void Settings::setUseProxy(bool on)
{
    KConfigGroup g = group("Config_Connection");
    g.writeEntry("Use_Proxy", on);
    commit(g);
}

void Settings::setProxy(int type, const QString &server, int port, const QString &id, const QString &password)
{
    KConfigGroup g = group("Config_Connection");
    g.writeEntry("Proxy_Type", type);
    g.writeEntry("Proxy_Server", server);
    g.writeEntry("Proxy_Port", port);
    g.writeEntry("Proxy_ID", id);
    g.writeEntry("Proxy_Password", password);
    commit(g);
}

void Settings::setP2pPort(int port)
{
    write("Config_Connection", "P2P_Port", port);
}

// Login

QString Settings::loginId()
{
    return read("Login", "ID", "");
}

QString Settings::loginDomain()
{
    return read("Login", "Domain", "");
}

QString Settings::loginPassword()
{
    return read("Login", "Password", "");
}

bool Settings::autoLogin()
{
    return read("Login", "AutoLogin", false);
}

bool Settings::hiddenLogin()
{
    return read("Login", "HidenLogin", false);
}

void Settings::setLogin(const QString &id, const QString &domain, const QString &password)
{
    KConfigGroup g = group("Login");
    g.writeEntry("ID", id);
    g.writeEntry("Domain", domain);
    g.writeEntry("Password", password);
    commit(g);
}

void Settings::setAutoLogin(bool on)
{
    write("Login", "AutoLogin", on);
}

void Settings::setHiddenLogin(bool on)
{
    write("Login", "HidenLogin", on);
}

// General

QSize Settings::mainWindowSize()
{
    return read("General", "Size", QSize());
}

bool Settings::hasMainWindowPosition()
{
    return group("General").hasKey("Position");
}

QPoint Settings::mainWindowPosition()
{
    return read("General", "Position", QPoint());
}

void Settings::setMainWindowGeometry(const QSize &size, const QPoint &position)
{
    KConfigGroup g = group("General");
    g.writeEntry("Size", size);
    g.writeEntry("Position", position);
    commit(g);
}

// Config_General

bool Settings::autoRun()
{
    return read("Config_General", "Auto_Run", false);
}

bool Settings::hideStart()
{
    return read("Config_General", "Hide_Start", false);
}

bool Settings::alwaysTop()
{
    return read("Config_General", "Always_Top", false);
}

bool Settings::useEmoticonBuddyList()
{
    return read("Config_General", "Use_Emoticon_BuddyList", true);
}

QString Settings::downPath()
{
    return read("Config_General", "Down_Path", QDir::homePath());
}

QString Settings::checkedDownPath()
{
    const QString path = downPath();
    if (!path.isEmpty() && QFileInfo(path).isDir()) {
        return path;
    }
    setDownPath(QDir::homePath());
    return QDir::homePath();
}

void Settings::setAutoRun(bool on)
{
    write("Config_General", "Auto_Run", on);
}

void Settings::setHideStart(bool on)
{
    write("Config_General", "Hide_Start", on);
}

void Settings::setAlwaysTop(bool on)
{
    write("Config_General", "Always_Top", on);
}

void Settings::setUseEmoticonBuddyList(bool on)
{
    write("Config_General", "Use_Emoticon_BuddyList", on);
}

void Settings::setDownPath(const QString &path)
{
    write("Config_General", "Down_Path", path);
}

// BuddyList and BuddyListTree

int Settings::buddyListType()
{
    return read("BuddyList", "Type_Of_BuddyList", 3);
}

int Settings::buddySortType()
{
    return read("BuddyList", "Type_Of_BuddySort", 0);
}

void Settings::setBuddyListType(int type)
{
    write("BuddyList", "Type_Of_BuddyList", type);
}

void Settings::setBuddySortType(int type)
{
    write("BuddyList", "Type_Of_BuddySort", type);
}

QString Settings::onlineTreeKey()
{
    return QStringLiteral("online");
}

QString Settings::offlineTreeKey()
{
    return QStringLiteral("offline");
}

bool Settings::groupOpen(const QString &key)
{
    return group("BuddyListTree").readEntry(key, true);
}

void Settings::setGroupOpen(const QString &key, bool open)
{
    setGroupsOpen(QStringList{key}, open);
}

void Settings::setGroupsOpen(const QStringList &keys, bool open)
{
    KConfigGroup g = group("BuddyListTree");
    for (const QString &key : keys) {
        g.writeEntry(key, open);
    }
    commit(g);
}

// Config_Personal

bool Settings::useAwayTime()
{
    return read("Config_Personal", "Use_Away_Time", false);
}

int Settings::awayTime()
{
    return read("Config_Personal", "Away_Time", 10);
}

void Settings::setUseAwayTime(bool on)
{
    write("Config_Personal", "Use_Away_Time", on);
}

void Settings::setAwayTime(int minutes)
{
    write("Config_Personal", "Away_Time", minutes);
}

// Config_Alarm_Sound

bool Settings::alarmBuddyConnect()
{
    return read("Config_Alarm_Sound", "Use_Alarm_Buddy_Connect", false);
}

bool Settings::alarmChatStart()
{
    return read("Config_Alarm_Sound", "Use_Alarm_Chat_Start", false);
}

bool Settings::alarmNewMemo()
{
    return read("Config_Alarm_Sound", "Use_Alarm_New_Memo", false);
}

int Settings::actionReceiveMemo()
{
    return read("Config_Alarm_Sound", "Action_Receive_Memo", 0);
}

bool Settings::alarmUseSound()
{
    return read("Config_Alarm_Sound", "UseSound", false);
}

void Settings::setAlarmBuddyConnect(bool on)
{
    write("Config_Alarm_Sound", "Use_Alarm_Buddy_Connect", on);
}

void Settings::setAlarmChatStart(bool on)
{
    write("Config_Alarm_Sound", "Use_Alarm_Chat_Start", on);
}

void Settings::setAlarmNewMemo(bool on)
{
    write("Config_Alarm_Sound", "Use_Alarm_New_Memo", on);
}

void Settings::setActionReceiveMemo(int action)
{
    write("Config_Alarm_Sound", "Action_Receive_Memo", action);
}

void Settings::setAlarmUseSound(bool on)
{
    write("Config_Alarm_Sound", "UseSound", on);
}

// Sound

QString Settings::soundDirectory()
{
    QString dir = QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("kzemvik/sound/"),
                                         QStandardPaths::LocateDirectory);
    if (dir.isEmpty()) {
        // Not installed (yet): name where an installation would put the sounds.
        const QStringList roots = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
        dir = (roots.isEmpty() ? QStringLiteral("/usr/share") : roots.last()) + QStringLiteral("/kzemvik/sound/");
    }
    if (!dir.endsWith(QLatin1Char('/'))) {
        dir += QLatin1Char('/');
    }
    return dir;
}

bool Settings::useSound()
{
    return read("Sound", "UseSound", false);
}

void Settings::setUseSound(bool on)
{
    write("Sound", "UseSound", on);
}

bool Settings::soundEnabled(SoundEvent event)
{
    return read("Sound", s_soundKeys[event].enabledKey, false);
}

QString Settings::soundFile(SoundEvent event)
{
    const QString fallback = soundDirectory() + QLatin1String(s_soundKeys[event].fileName);
    return read("Sound", s_soundKeys[event].fileKey, fallback);
}

void Settings::setSound(SoundEvent event, bool enabled, const QString &file)
{
    KConfigGroup g = group("Sound");
    g.writeEntry(s_soundKeys[event].enabledKey, enabled);
    g.writeEntry(s_soundKeys[event].fileKey, file);
    commit(g);
}

// Config_Message

bool Settings::useAwayMessage()
{
    return read("Config_Message", "Use_Away_Message", false);
}

bool Settings::useAwayMessageBusy()
{
    return read("Config_Message", "Use_Away_Message_Busy", false);
}

QString Settings::awayMessage()
{
    return read("Config_Message", "Away_Message", "");
}

QFont Settings::awayMessageFont()
{
    return readFont("Config_Message", "Away_Message_Font");
}

QColor Settings::awayMessageFontColor()
{
    return readColor("Config_Message", "Away_Message_FontColor", QColor(Qt::black));
}

int Settings::saveChatLog()
{
    return read("Config_Message", "Save_Chat_Log", 2);
}

bool Settings::useChatEmoticon()
{
    return read("Config_Message", "Use_Chat_Emoticon", true);
}

bool Settings::attachReplyMemo()
{
    return read("Config_Message", "Attach_Reply_Memo", true);
}

bool Settings::attachAllReplyMemo()
{
    return read("Config_Message", "Attach_All_Reply_Memo", true);
}

bool Settings::attachForwardMemo()
{
    return read("Config_Message", "Attach_Forward_Memo", true);
}

void Settings::setUseAwayMessage(bool on)
{
    write("Config_Message", "Use_Away_Message", on);
}

void Settings::setUseAwayMessageBusy(bool on)
{
    write("Config_Message", "Use_Away_Message_Busy", on);
}

void Settings::setAwayMessage(const QString &text)
{
    write("Config_Message", "Away_Message", text);
}

void Settings::setAwayMessageFont(const QFont &font)
{
    writeFont("Config_Message", "Away_Message_Font", font);
}

void Settings::setSaveChatLog(int policy)
{
    write("Config_Message", "Save_Chat_Log", policy);
}

void Settings::setUseChatEmoticon(bool on)
{
    write("Config_Message", "Use_Chat_Emoticon", on);
}

void Settings::setAttachReplyMemo(bool on)
{
    write("Config_Message", "Attach_Reply_Memo", on);
}

void Settings::setAttachAllReplyMemo(bool on)
{
    write("Config_Message", "Attach_All_Reply_Memo", on);
}

void Settings::setAttachForwardMemo(bool on)
{
    write("Config_Message", "Attach_Forward_Memo", on);
}

// Config_Privacy

bool Settings::allowOnlyPermitChat()
{
    return read("Config_Privacy", "Allow_Only_Permit_Chat", false);
}

bool Settings::allowOnlyFriendMemo()
{
    return read("Config_Privacy", "Allow_Only_Friend_Memo", false);
}

bool Settings::allowOther()
{
    return read("Config_Privacy", "Allow_Other", true);
}

void Settings::setPrivacy(bool onlyPermitChat, bool onlyFriendMemo, bool allowOther)
{
    KConfigGroup g = group("Config_Privacy");
    g.writeEntry("Allow_Only_Permit_Chat", onlyPermitChat);
    g.writeEntry("Allow_Only_Friend_Memo", onlyFriendMemo);
    g.writeEntry("Allow_Other", allowOther);
    commit(g);
}

// Chat and Memo

QSize Settings::chatWindowSize()
{
    return read("Chat", "Size", QSize());
}

QFont Settings::chatFont()
{
    return readFont("Chat", "Font");
}

QColor Settings::chatFontColor()
{
    return readColor("Chat", "FontColor", QColor(Qt::black));
}

QFont Settings::memoFont()
{
    return readFont("Memo", "Font");
}

void Settings::setChatWindowSize(const QSize &size)
{
    write("Chat", "Size", size);
}

void Settings::setChatFont(const QFont &font)
{
    writeFont("Chat", "Font", font);
}

void Settings::setChatFontColor(const QColor &color)
{
    writeColor("Chat", "FontColor", color);
}

void Settings::setMemoFont(const QFont &font)
{
    writeFont("Memo", "Font", font);
}

// Config_Mavrelo

int Settings::miniKivraPublic()
{
    return read("Config_Mavrelo", "MiniKivra_Public", 1);
}

int Settings::miniKivraAlarm()
{
    return read("Config_Mavrelo", "MiniKivra_Alarm", 0);
}

bool Settings::useMiniKivraNew()
{
    return read("Config_Mavrelo", "Use_MiniKivra_New", true);
}

bool Settings::useMiniKivraEtc()
{
    return read("Config_Mavrelo", "Use_MiniKivra_ETC", true);
}

void Settings::setMiniKivraPublic(int value)
{
    write("Config_Mavrelo", "MiniKivra_Public", value);
}

void Settings::setMiniKivraAlarm(int value)
{
    write("Config_Mavrelo", "MiniKivra_Alarm", value);
}

void Settings::setUseMiniKivraNew(bool on)
{
    write("Config_Mavrelo", "Use_MiniKivra_New", on);
}

void Settings::setUseMiniKivraEtc(bool on)
{
    write("Config_Mavrelo", "Use_MiniKivra_ETC", on);
}

// Profile_<user ID>

void Settings::setProfilePaths(const QString &userId, const QString &memoPath, const QString &chatPath)
{
    KConfigGroup g = group(QStringLiteral("Profile_") + userId);
    g.writeEntry("MemoPath", memoPath);
    g.writeEntry("ChatPath", chatPath);
    commit(g);
}

void Settings::setProfileNick(const QString &userId, const QString &nick)
{
    KConfigGroup g = group(QStringLiteral("Profile_") + userId);
    g.writeEntry("Nick", nick);
    commit(g);
}
