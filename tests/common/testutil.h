// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace TestUtil
{
//! Path of the local service executable built with the tests.
QString localServicePath();
//! Every row a query returns from an SQLite file, opened read-only, columns joined with "|".
QStringList queryRows(const QString &file, const char *sql);
}
