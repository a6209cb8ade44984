// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QUrl>

//! The web pages the shell opens in the desktop's browser.
namespace WebLinks
{
//! The portal's redirect page "/index.php?code=<code>".
QUrl portalCode(const QString &code);
//! A page on the messenger's own web site.
QUrl webPage(const QString &path);
//! A page on the sister service's site.
QUrl mavreloPage(const QString &path);
QUrl portalHome();
void open(const QUrl &url);
void openPortalCode(const QString &code);
}
