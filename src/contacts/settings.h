// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <KSharedConfig>
#include <QString>

//! The one place that knows every group, key and default of kzemvikrc.
//! Readers get the stored value or the default; every setter writes and syncs.
class Settings
{
public:
    //! The application configuration; the file is created with mode 0600.
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
    static QString proxyServer();
    static QString proxyId();
    static QString proxyPassword();
    static int p2pPort();
    static void setUseProxy(bool on);
    static void setProxy(int type, const QString &server, int port, const QString &id, const QString &password);
};
