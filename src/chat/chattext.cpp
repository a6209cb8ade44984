// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "chattext.h"

#include <QDateTime>
#include <QFont>
#include <QRegularExpression>

namespace
{
const QString s_separator = QStringLiteral("%09");
constexpr int MaxFaceLength = 64;
}

ChatStyle ChatStyle::fromFont(const QFont &font, const QColor &color)
{
    ChatStyle style;
    style.family = font.family();
    style.color = color;
    style.bold = font.weight() > 50;
    style.italic = font.italic();
    style.underline = font.underline();
    style.strikeOut = font.strikeOut();
    return style;
}

QString ChatText::wireText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char(' '), QStringLiteral("%20"));
    out.replace(QLatin1Char('\n'), QStringLiteral("%0A"));
    out.replace(QLatin1Char('\r'), QStringLiteral("%0D"));
    return out;
}

QString ChatText::colourElement(const QColor &color)
{
    if (color.rgb() == QColor(Qt::black).rgb()) {
        return QStringLiteral("0");
    }
    return QStringLiteral("%1%2%3")
        .arg(color.blue(), 3, 10, QLatin1Char('0'))
        .arg(color.green(), 3, 10, QLatin1Char('0'))
        .arg(color.red(), 3, 10, QLatin1Char('0'));
}

QString ChatText::styleElement(const ChatStyle &style)
{
    QString out;
    if (style.bold) {
        out += QLatin1Char('B');
    }
    if (style.italic) {
        out += QLatin1Char('I');
    }
    if (style.underline) {
        out += QLatin1Char('U');
    }
    if (style.strikeOut) {
        out += QLatin1Char('S');
    }
    return out;
}

QString ChatText::encodeBody(const ChatStyle &style, const QString &text)
{
    QString family = style.family;
    family.replace(QLatin1Char(' '), QStringLiteral("%20"));
    return family + s_separator + colourElement(style.color) + s_separator + styleElement(style) + s_separator + wireText(text);
}

ChatBody ChatText::decodeBody(const QString &body)
{
    ChatBody out;
    const int last = body.lastIndexOf(s_separator);
    if (last < 0) {
        // Nothing but text: keep all of it rather than guess where a face ended.
        out.text = body;
        return out;
    }
    out.text = body.mid(last + s_separator.size());
    const QStringList elements = body.left(last).split(s_separator);
    out.face = elements.value(0);
    if (elements.size() >= 2) {
        out.colour = elements.at(1);
    }
    out.style = elements.value(2);
    return out;
}

QString ChatText::htmlColour(const QString &element)
{
    if (element == QLatin1String("0")) {
        return QString();
    }
    bool ok = false;
    const uint value = element.toUInt(&ok);
    QString hex = QString::number(ok ? value : 0u, 16);
    if (hex.size() < 6) {
        hex = hex.rightJustified(6, QLatin1Char('0'));
    }
    return QLatin1Char('#') + hex.right(2) + hex.mid(2, 2) + hex.left(2);
}

QString ChatText::htmlColour(const QColor &color)
{
    if (colourElement(color) == QLatin1String("0")) {
        return QString();
    }
    return QStringLiteral("#%1%2%3")
        .arg(color.red(), 2, 16, QLatin1Char('0'))
        .arg(color.green(), 2, 16, QLatin1Char('0'))
        .arg(color.blue(), 2, 16, QLatin1Char('0'));
}

QString ChatText::safeFace(const QString &face)
{
    QString decoded = face;
    decoded.replace(QStringLiteral("%20"), QStringLiteral(" "));
    QString out;
    for (const QChar c : qAsConst(decoded)) {
        if (c.isLetterOrNumber() || c == QLatin1Char(' ') || c == QLatin1Char('-') || c == QLatin1Char('_') || c == QLatin1Char('.')) {
            out += c;
        }
    }
    out = out.simplified().left(MaxFaceLength);
    return out.isEmpty() ? QStringLiteral("굴림") : out;
}

bool ChatText::isFlashcon(const QString &text)
{
    static const QRegularExpression flashcon(QStringLiteral("<FLCON.*FLCON>"));
    return flashcon.match(text).hasMatch();
}

QString ChatText::flashconNotice()
{
    return QStringLiteral("플래시콘을 보내셨습니다.%0D%0A현재 리눅스 버전은 플래시콘을 지원하지 않습니다.");
}

QString ChatText::receptionTime(const QDateTime &when)
{
    const QDate date = when.date();
    const QTime time = when.time();
    int hour = time.hour();
    const bool afternoon = hour >= 12;
    if (hour > 12) {
        hour -= 12;
    }
    return QStringLiteral("마지막 메시지 받은 시각 : %1-%2-%3%4%5:%6")
        .arg(date.year())
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(afternoon ? QStringLiteral(" 오후 ") : QStringLiteral(" 오전 "))
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'));
}

QString ChatText::sizeText(qint64 bytes)
{
    if (bytes < 1000) {
        return QString::number(qMax<qint64>(bytes, 0)) + QStringLiteral("Byte");
    }
    if (bytes < 1048576) {
        return QString::number((bytes + 1023) / 1024) + QStringLiteral("KB");
    }
    return QString::number(bytes / 1048576) + QStringLiteral("MB");
}

QString ChatText::escapeHtml(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        default:
            out += c;
        }
    }
    return out;
}
