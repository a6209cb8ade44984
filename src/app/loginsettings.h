// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

//! The stored login of the login window (group "Login"); every setter syncs.
namespace LoginSettings
{
QString id();
void setId(const QString &id);
QString domain();
void setDomain(const QString &domain);
QString password();
//! Kept only while automatic login is on (the caller decides).
void setPassword(const QString &password);
void forgetPassword();
bool autoLogin();
void setAutoLogin(bool on);
bool hiddenLogin();
void setHiddenLogin(bool on);
}
