// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "loginsettings.h"

#include "settings.h"

#include <KConfigGroup>

namespace
{
KConfigGroup group()
{
    return Settings::config()->group("Login");
}

template<typename T>
void write(const char *key, const T &value)
{
    KConfigGroup g = group();
    g.writeEntry(key, value);
    g.sync();
}
}

namespace LoginSettings
{
QString id()
{
    return group().readEntry("ID", QString());
}

void setId(const QString &id)
{
    write("ID", id);
}

QString domain()
{
    return group().readEntry("Domain", QString());
}

void setDomain(const QString &domain)
{
    write("Domain", domain);
}

QString password()
{
    return group().readEntry("Password", QString());
}

void setPassword(const QString &password)
{
    write("Password", password);
}

void forgetPassword()
{
    KConfigGroup g = group();
    if (g.hasKey("Password")) {
        g.deleteEntry("Password");
        g.sync();
    }
}

bool autoLogin()
{
    return group().readEntry("AutoLogin", false);
}

void setAutoLogin(bool on)
{
    write("AutoLogin", on);
}

bool hiddenLogin()
{
    return group().readEntry("HidenLogin", false);
}

void setHiddenLogin(bool on)
{
    write("HidenLogin", on);
}
}
