// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QFontMetrics;

//! Text helpers shared by windows and memo routing.
class Common : public QObject
{
    Q_OBJECT
public:
    //! Bit of the elideToWidth() flags: keep the end of the text instead of its start.
    static constexpr int ElideFromEnd = 2;

    //! Decodes the protocol's field escaping in place: "%20" blank, "%0D" CR, "%0A" LF; others stay.
    static void unescapeText(QString &text);
    //! The text shortened with "..." so it fits width pixels; at least one character is kept.
    static QString elideToWidth(const QString &text, const QFontMetrics &metrics, int width, int flags = 0);
};
