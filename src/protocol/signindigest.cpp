// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "signindigest.h"

#include <QCryptographicHash>

namespace SignInDigest
{
QString hashKey(const QString &loginId, const QString &serviceDomain)
{
    QString key = loginId;
    const QString suffix = QLatin1Char('@') + serviceDomain;
    if (!serviceDomain.isEmpty() && key.endsWith(suffix, Qt::CaseSensitive)) {
        key.chop(suffix.size());
    }
    return key.toLower();
}

static QString md5Hex(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Md5).toHex());
}

QString digest(const QString &password, const QString &loginId, const QString &serviceDomain)
{
    return md5Hex(password + hashKey(loginId, serviceDomain));
}

QString linkDigest(const QString &password, const QString &id)
{
    return md5Hex(password + id.toLower());
}
}
