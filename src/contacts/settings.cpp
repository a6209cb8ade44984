// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings.h"

#include <KConfigGroup>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace
{
KSharedConfigPtr s_config;

const QString s_localWeb = QStringLiteral("127.0.0.1:5080");

KConfigGroup group(const char *name)
{
    return Settings::config()->group(QLatin1String(name));
}
}

KSharedConfigPtr Settings::config()
{
    if (!s_config) {
        // Passwords may be stored here: the file must never be readable by others.
        const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QDir().mkpath(dir);
        QFile file(dir + QStringLiteral("/kzemvikrc"));
        if (!file.exists() && file.open(QIODevice::WriteOnly)) {
            file.close();
        }
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        s_config = KSharedConfig::openConfig(QStringLiteral("kzemvikrc"), KConfig::SimpleConfig);
    }
    return s_config;
}

void Settings::reset()
{
    s_config.reset();
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

int Settings::p2pPort()
{
    return group("Config_Connection").readEntry("P2P_Port", 5004);
}

void Settings::setUseProxy(bool on)
{
    KConfigGroup g = group("Config_Connection");
    g.writeEntry("Use_Proxy", on);
    g.sync();
}

void Settings::setProxy(int type, const QString &server, int port, const QString &id, const QString &password)
{
    KConfigGroup g = group("Config_Connection");
    g.writeEntry("Proxy_Type", type);
    g.writeEntry("Proxy_Server", server);
    g.writeEntry("Proxy_Port", port);
    g.writeEntry("Proxy_ID", id);
    g.writeEntry("Proxy_Password", password);
    g.sync();
}
