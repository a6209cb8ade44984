// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <KSharedConfig>
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

//! The one place that knows every group, key and default of kzemvikrc.
//! Readers get the stored value or the default; every setter writes and syncs.
//! Fonts and colours are stored in KConfig's text forms ("r,g,b" colours, QFont::toString() fonts).
class Settings
{
public:
    //! The application configuration; the file is created with mode 0600 and kept so.
    static KSharedConfigPtr config();
    //! Drops the cached handle (tests switch configuration directories).
    static void reset();

    // Group "Config_Service": deployment values.
    static QString dispatchHost();
    static int dispatchPort();
    static QString webHost();
    static QString portalHost();
    static QString mavreloHost();
    static QString serviceDomain();
    static QString mavreloDomain();

    // Group "Config_Connection".
    static bool useProxy();
    static int proxyType();
    //! As the connection reads it: 1080 for SOCKS types, 6588 otherwise.
    static int proxyPort();
    //! As the preference dialog shows it: 0 when nothing is stored.
    static int storedProxyPort();
    static QString proxyServer();
    static QString proxyId();
    static QString proxyPassword();
    //! Only shown and stored; peer transfers always use port 5004.
    static int p2pPort();
    static void setUseProxy(bool on);
    static void setProxy(int type, const QString &server, int port, const QString &id, const QString &password);
    static void setP2pPort(int port);

    // Group "Login".
    static QString loginId();
    static QString loginDomain();
    static QString loginPassword();
    static bool autoLogin();
    static bool hiddenLogin();
    static void setLogin(const QString &id, const QString &domain, const QString &password);
    static void setAutoLogin(bool on);
    static void setHiddenLogin(bool on);

    // Group "General": main window geometry; invalid size / no position when never stored.
    static QSize mainWindowSize();
    static bool hasMainWindowPosition();
    static QPoint mainWindowPosition();
    static void setMainWindowGeometry(const QSize &size, const QPoint &position);

    // Group "Config_General".
    static bool autoRun();
    static bool hideStart();
    static bool alwaysTop();
    static bool useEmoticonBuddyList();
    //! The stored download directory, or the home directory.
    static QString downPath();
    //! downPath(), but a directory that does not exist is replaced by home, which is written back.
    static QString checkedDownPath();
    static void setAutoRun(bool on);
    static void setHideStart(bool on);
    static void setAlwaysTop(bool on);
    static void setUseEmoticonBuddyList(bool on);
    static void setDownPath(const QString &path);

    // Group "BuddyList".
    //! 0 name, 1 nickname, 2 name and ID, 3 name and nickname.
    static int buddyListType();
    //! 0 all by group, 1 online only, 2 online/offline sections.
    static int buddySortType();
    static void setBuddyListType(int type);
    static void setBuddySortType(int type);

    // Group "BuddyListTree": key is a group ID, or "online" / "offline".
    static QString onlineTreeKey();
    static QString offlineTreeKey();
    static bool groupOpen(const QString &key);
    static void setGroupOpen(const QString &key, bool open);
    //! Open or close many headers with one write of the file.
    static void setGroupsOpen(const QStringList &keys, bool open);

    // Group "Config_Personal".
    static bool useAwayTime();
    static int awayTime();
    static void setUseAwayTime(bool on);
    static void setAwayTime(int minutes);

    // Group "Config_Alarm_Sound".
    static bool alarmBuddyConnect();
    static bool alarmChatStart();
    static bool alarmNewMemo();
    static int actionReceiveMemo();
    static bool alarmUseSound();
    static void setAlarmBuddyConnect(bool on);
    static void setAlarmChatStart(bool on);
    static void setAlarmNewMemo(bool on);
    static void setActionReceiveMemo(int action);
    static void setAlarmUseSound(bool on);

    // Group "Sound".
    enum SoundEvent { FriendConnect, ReceiveMemo, FileTransferDone, Login, ChatRequest, MiniKivraNew };
    //! Where the shipped sounds are, with a trailing slash.
    static QString soundDirectory();
    static bool useSound();
    static void setUseSound(bool on);
    static bool soundEnabled(SoundEvent event);
    static QString soundFile(SoundEvent event);
    static void setSound(SoundEvent event, bool enabled, const QString &file);

    // Group "Config_Message".
    static bool useAwayMessage();
    static bool useAwayMessageBusy();
    static QString awayMessage();
    static QFont awayMessageFont();
    static QColor awayMessageFontColor();
    //! Chat log policy, values as the preference dialog offers them.
    static int saveChatLog();
    static bool useChatEmoticon();
    static bool attachReplyMemo();
    static bool attachAllReplyMemo();
    static bool attachForwardMemo();
    static void setUseAwayMessage(bool on);
    static void setUseAwayMessageBusy(bool on);
    static void setAwayMessage(const QString &text);
    static void setAwayMessageFont(const QFont &font);
    static void setSaveChatLog(int policy);
    static void setUseChatEmoticon(bool on);
    static void setAttachReplyMemo(bool on);
    static void setAttachAllReplyMemo(bool on);
    static void setAttachForwardMemo(bool on);

    // Group "Config_Privacy".
    static bool allowOnlyPermitChat();
    static bool allowOnlyFriendMemo();
    static bool allowOther();
    static void setPrivacy(bool onlyPermitChat, bool onlyFriendMemo, bool allowOther);

    // Groups "Chat" and "Memo".
    static QSize chatWindowSize();
    static QFont chatFont();
    static QColor chatFontColor();
    static QFont memoFont();
    static void setChatWindowSize(const QSize &size);
    static void setChatFont(const QFont &font);
    static void setChatFontColor(const QColor &color);
    static void setMemoFont(const QFont &font);

    // Group "Config_Mavrelo".
    static int miniKivraPublic();
    static int miniKivraAlarm();
    static bool useMiniKivraNew();
    static bool useMiniKivraEtc();
    static void setMiniKivraPublic(int value);
    static void setMiniKivraAlarm(int value);
    static void setUseMiniKivraNew(bool on);
    static void setUseMiniKivraEtc(bool on);

    // Groups "Profile_<user ID>": written for the message viewer and tools, never read back here.
    static void setProfilePaths(const QString &userId, const QString &memoPath, const QString &chatPath);
    static void setProfileNick(const QString &userId, const QString &nick);

    //! "굴림" 10 pt, the default of every text font.
    static QFont defaultFont();
};
