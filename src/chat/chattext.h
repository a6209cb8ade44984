// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QColor>
#include <QString>

class QDateTime;
class QFont;

//! The sender's face of one message: what the body carries besides the text.
struct ChatStyle {
    QString family;
    QColor color = QColor(Qt::black);
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    static ChatStyle fromFont(const QFont &font, const QColor &color);
};

//! The four elements of a received message body, as they came.
struct ChatBody {
    QString face; //!< empty when the sender gave none
    QString colour = QStringLiteral("0"); //!< "0" means no colour
    QString style; //!< any of "B", "I", "U", "S"
    QString text; //!< still wire-escaped ("%20", "%0A", "%0D")
};

//! The chat message body on the wire and the small texts around it.
class ChatText
{
public:
    //! Blank "%20", LF "%0A", CR "%0D"; nothing else is escaped in a message text.
    static QString wireText(const QString &text);
    //! "0" for black, else "%03d%03d%03d" of blue, green, red.
    static QString colourElement(const QColor &color);
    //! "B", "I", "U", "S" in this order, for what the style has.
    static QString styleElement(const ChatStyle &style);
    //! family%09colour%09style%09text, ready to follow "MSG " or "AWAYMSG ".
    static QString encodeBody(const ChatStyle &style, const QString &text);
    //! Splits a received body; missing elements read as empty, a body without "%09" is all text.
    static ChatBody decodeBody(const QString &body);
    //! "#rrggbb" for a received colour element (read as 0x00BBGGRR), empty for "0".
    static QString htmlColour(const QString &element);
    //! "#rrggbb" of a colour we send, for our own echo; empty for black.
    static QString htmlColour(const QColor &color);
    //! A received face reduced to characters that are safe inside a quoted attribute; "굴림" when none.
    static QString safeFace(const QString &face);
    //! The flash emoticons of other clients cannot be shown; their text is replaced by a notice.
    static bool isFlashcon(const QString &text);
    static QString flashconNotice();
    //! "마지막 메시지 받은 시각 : 2026-01-02 오후 03:04" (noon and later read 오후).
    static QString receptionTime(const QDateTime &when);
    //! Size for the transfer notices: "500Byte", "12KB", "2MB".
    static QString sizeText(qint64 bytes);
    //! "&", "<" and ">" as entities; peer text is passed through this before any markup is added.
    static QString escapeHtml(const QString &text);
};
