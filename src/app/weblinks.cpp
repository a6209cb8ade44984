// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "weblinks.h"

#include "app_debug.h"
#include "settings.h"

#include <QDesktopServices>
#include <QUrlQuery>

namespace
{
QUrl onHost(const QString &host, const QString &path)
{
    QUrl url(QStringLiteral("http://") + host);
    url.setPath(path.isEmpty() ? QStringLiteral("/") : path);
    return url;
}
}

namespace WebLinks
{
QUrl portalCode(const QString &code)
{
    QUrl url = onHost(Settings::portalHost(), QStringLiteral("/index.php"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("code"), code);
    url.setQuery(query);
    return url;
}

QUrl webPage(const QString &path)
{
    return onHost(Settings::webHost(), path);
}

QUrl mavreloPage(const QString &path)
{
    return onHost(Settings::mavreloHost(), path);
}

QUrl portalHome()
{
    return onHost(Settings::portalHost(), QString());
}

void open(const QUrl &url)
{
    if (!QDesktopServices::openUrl(url)) {
        qCDebug(KZEMVIK_APP) << "could not open" << url.toDisplayString();
    }
}

void openPortalCode(const QString &code)
{
    open(portalCode(code));
}
}
