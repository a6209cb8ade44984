// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "common.h"

#include "commandline.h"

#include <QFontMetrics>

namespace
{
//! Length of the code point that starts (forward) or ends (backward) at i; keeps surrogate pairs whole.
int codePointLength(const QString &text, int i, bool backward)
{
    if (backward) {
        return i > 0 && text.at(i).isLowSurrogate() && text.at(i - 1).isHighSurrogate() ? 2 : 1;
    }
    return i + 1 < text.size() && text.at(i).isHighSurrogate() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
}
}

void Common::unescapeText(QString &text)
{
    text = CommandLine::unescape(text);
}

QString Common::elideToWidth(const QString &text, const QFontMetrics &metrics, int width, int flags)
{
    if (text.isEmpty() || metrics.horizontalAdvance(text) <= width) {
        return text;
    }
    const QString dots = QStringLiteral("...");
    const int dotsWidth = metrics.horizontalAdvance(dots);
    const bool fromEnd = (flags & ElideFromEnd) != 0;
    int kept = 0; // characters kept from the start, or from the end
    while (kept < text.size()) {
        const int at = fromEnd ? text.size() - 1 - kept : kept;
        const int step = codePointLength(text, at, fromEnd);
        const QString candidate = fromEnd ? text.right(kept + step) : text.left(kept + step);
        if (metrics.horizontalAdvance(candidate) + dotsWidth >= width) {
            break;
        }
        kept += step;
    }
    if (kept == 0) {
        kept = codePointLength(text, fromEnd ? text.size() - 1 : 0, fromEnd);
    }
    return fromEnd ? dots + text.right(kept) : text.left(kept) + dots;
}
