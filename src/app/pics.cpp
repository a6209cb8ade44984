// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "pics.h"

#include "app_debug.h"

#include <QFileInfo>
#include <QPixmapCache>
#include <QStandardPaths>

namespace Pics
{
QString path(const QString &name)
{
    const QString installed = QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("kzemvik/pics/") + name);
    if (!installed.isEmpty()) {
        return installed;
    }
    const QString source = QStringLiteral(KZEMVIK_SOURCE_PICS_DIR "/") + name;
    if (QFileInfo::exists(source)) {
        return source;
    }
    qCDebug(KZEMVIK_APP) << "picture not found:" << name;
    return QString();
}

QPixmap pixmap(const QString &name)
{
    const QString file = path(name);
    QPixmap pm;
    if (file.isEmpty()) {
        return pm;
    }
    if (!QPixmapCache::find(file, &pm)) {
        pm.load(file);
        QPixmapCache::insert(file, pm);
    }
    return pm;
}
}
