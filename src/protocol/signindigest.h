// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace SignInDigest
{
//! The key hashed with the password: the login ID without "@" + serviceDomain
//! (matched exactly, letter case included), then lower-cased.
QString hashKey(const QString &loginId, const QString &serviceDomain);
//! MD5 over password + hash key, both as Latin-1, as 32 lower-case hex digits.
QString digest(const QString &password, const QString &loginId, const QString &serviceDomain);
//! The link digest: MD5 over password + lower-cased ID, as hex.
QString linkDigest(const QString &password, const QString &id);
}
