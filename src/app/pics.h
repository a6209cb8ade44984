// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QPixmap>
#include <QString>

//! Where the program's pictures are: installed under "kzemvik/pics/", else the source tree's data/pics.
namespace Pics
{
//! Full path of the picture name; empty when it exists nowhere.
QString path(const QString &name);
//! The picture loaded from path(name); a null pixmap when it is missing.
QPixmap pixmap(const QString &name);
}
