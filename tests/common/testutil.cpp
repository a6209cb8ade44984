// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "testutil.h"

#include <QFile>

#include <sqlite3.h>

namespace TestUtil
{
QString localServicePath()
{
    return QStringLiteral(ZEMVIK_LOCALSERVICE_PATH);
}

QStringList queryRows(const QString &file, const char *sql)
{
    QStringList rows;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return rows;
    }
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK) {
        const int columns = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList values;
            for (int i = 0; i < columns; ++i) {
                values << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)));
            }
            rows << values.join(QLatin1Char('|'));
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}
}
