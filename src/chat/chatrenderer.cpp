// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "chatrenderer.h"
#include "chat_debug.h"
#include "emoticontable.h"

#include <QStandardPaths>

namespace
{
QString withSlash(const QString &dir)
{
    return dir.isEmpty() || dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

QString openTags(const QString &style)
{
    QString out;
    if (style.contains(QLatin1Char('B'))) {
        out += QStringLiteral("<b>");
    }
    if (style.contains(QLatin1Char('I'))) {
        out += QStringLiteral("<i>");
    }
    if (style.contains(QLatin1Char('U'))) {
        out += QStringLiteral("<u>");
    }
    if (style.contains(QLatin1Char('S'))) {
        out += QStringLiteral("<s>");
    }
    return out;
}

QString closeTags(const QString &style)
{
    QString out;
    if (style.contains(QLatin1Char('S'))) {
        out += QStringLiteral("</s>");
    }
    if (style.contains(QLatin1Char('U'))) {
        out += QStringLiteral("</u>");
    }
    if (style.contains(QLatin1Char('I'))) {
        out += QStringLiteral("</i>");
    }
    if (style.contains(QLatin1Char('B'))) {
        out += QStringLiteral("</b>");
    }
    return out;
}

QString fontOpen(const QString &face, const QString &colour)
{
    QString out = QStringLiteral("<p style=\"margin-left:15px\"><font face=\"") + face + QStringLiteral("\" size=\"3\"");
    if (!colour.isEmpty()) {
        out += QStringLiteral(" color=\"") + colour + QLatin1Char('"');
    }
    return out + QLatin1Char('>');
}
}

ChatRenderer::ChatRenderer()
    : m_picsDirectory(withSlash(QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("kzemvik/pics"), QStandardPaths::LocateDirectory)))
{
}

ChatRenderer::ChatRenderer(const QString &picsDirectory, const QString &emoticonDirectory)
    : m_picsDirectory(withSlash(picsDirectory))
    , m_emoticonDirectory(emoticonDirectory)
    , m_installedEmoticons(false)
{
}

ChatRenderer::~ChatRenderer() = default;

void ChatRenderer::setEmoticonsEnabled(bool enabled)
{
    m_emoticonsEnabled = enabled;
}

EmoticonTable &ChatRenderer::emoticons() const
{
    if (!m_pEmoticons) {
        m_pEmoticons = m_installedEmoticons ? std::make_unique<EmoticonTable>() : std::make_unique<EmoticonTable>(m_emoticonDirectory);
    }
    return *m_pEmoticons;
}

QString ChatRenderer::convert(const QString &text) const
{
    const QString escaped = ChatText::escapeHtml(text);
    return m_emoticonsEnabled ? emoticons().convert(escaped) : EmoticonTable::decodeEscapes(escaped);
}

QString ChatRenderer::header(const ChatPeer &peer, const QString &says) const
{
    return QStringLiteral("<p style=\"margin-left:3px\">") + convert(peer.name) + QLatin1Char('(') + convert(peer.nick) + QLatin1Char(')') + says
        + QStringLiteral("</p>");
}

ChatRenderer::Message ChatRenderer::ownMessage(const QString &ownName, const QString &ownNick, const ChatStyle &style, const QString &text) const
{
    const QString styleElement = ChatText::styleElement(style);
    Message out;
    out.html = header({QString(), ownName, ownNick, true}, QStringLiteral("님의 말 :"));
    out.html += fontOpen(ChatText::safeFace(style.family), ChatText::htmlColour(style.color)) + openTags(styleElement);
    out.html += convert(ChatText::wireText(text));
    out.html += closeTags(styleElement) + QStringLiteral("</font></p>");
    qCDebug(KZEMVIK_CHAT) << "CHAT MSG : [" << out.html << "]";
    out.plain = convert(ownName) + QStringLiteral(" ( ") + convert(ownNick) + QStringLiteral(" ) 님의 말 :\n") + text + QLatin1Char('\n');
    return out;
}

ChatRenderer::Message ChatRenderer::incomingMessage(const ChatPeer &sender, const QString &body, bool away) const
{
    const ChatBody parts = ChatText::decodeBody(body);
    Message out;
    QString plainHead;
    if (away) {
        out.html = header(sender, QStringLiteral("님의 부재중 메시지 :"));
        plainHead = convert(sender.name) + QStringLiteral(" ( ") + convert(sender.nick) + QStringLiteral(" ) 님의 부재중 메시지 :\n");
    } else if (!sender.onBuddyList) {
        const QString id = ChatText::escapeHtml(sender.loginId);
        out.html = QStringLiteral("<p style=\"margin-left:3px\">") + id + QStringLiteral(" 님의 말 :</p>");
        plainHead = id + QStringLiteral(" 님의 말 :\n");
    } else {
        out.html = header(sender, QStringLiteral("님의 말 :"));
        plainHead = convert(sender.name) + QStringLiteral(" ( ") + convert(sender.nick) + QStringLiteral(" ) 님의 말 :\n");
    }
    out.html += fontOpen(ChatText::safeFace(parts.face), ChatText::htmlColour(parts.colour)) + openTags(parts.style);
    QString text = parts.text;
    if (!away) {
        qCDebug(KZEMVIK_CHAT) << "X : [" << text << "]";
        if (ChatText::isFlashcon(text)) {
            text = ChatText::flashconNotice();
        }
    }
    const QString escaped = ChatText::escapeHtml(text);
    out.html += m_emoticonsEnabled ? emoticons().convert(escaped) : EmoticonTable::decodeEscapes(escaped);
    out.html += closeTags(parts.style) + QStringLiteral("</font></p>");
    out.plain = plainHead + escaped + QLatin1Char('\n');
    return out;
}

QString ChatRenderer::picture(const QString &file) const
{
    return QStringLiteral("<img src='") + ChatText::escapeHtml(m_picsDirectory + file) + QStringLiteral("'/>");
}

QString ChatRenderer::joinNotice(const QString &name, const QString &nick) const
{
    return QStringLiteral("<p style=\"margin-left:15px\"><font color=\"#008000\">") + picture(QStringLiteral("main_list_state_online.png")) + convert(name)
        + QLatin1Char('(') + convert(nick) + QLatin1Char(')') + QStringLiteral(" 님이 대화에 참여했습니다.</font></p>");
}

QString ChatRenderer::quitNotice(const ChatPeer &peer) const
{
    return QStringLiteral("<p style=\"margin-left:15px\"><font color=\"#FF0000\">") + picture(QStringLiteral("main_list_state_online.png"))
        + ChatText::escapeHtml(peer.name) + QLatin1Char('(') + convert(peer.nick) + QLatin1Char(')') + QStringLiteral(" 님이 대화방을 나갔습니다.</font></p>");
}

QString ChatRenderer::fileNotice(const ChatPeer &peer, const QString &what) const
{
    return picture(QStringLiteral("chat_fileroom_private_btn.png")) + ChatText::escapeHtml(peer.name) + QLatin1Char('(') + convert(peer.nick) + QLatin1Char(')')
        + what;
}

QString ChatRenderer::fileOfferedNotice(const ChatPeer &peer) const
{
    return fileNotice(peer, QStringLiteral(" 님이 파일을 전송합니다."));
}

QString ChatRenderer::ownFileOfferNotice(const ChatPeer &peer) const
{
    return fileNotice(peer, QStringLiteral(" 님에게 파일을 전송합니다."));
}

QString ChatRenderer::offerCancelledNotice(const ChatPeer &peer) const
{
    return fileNotice(peer, QStringLiteral(" 님이 파일을 전송을 취소했습니다."));
}

QString ChatRenderer::transferCancelledNotice() const
{
    return picture(QStringLiteral("chat_fileroom_private_btn.png")) + QStringLiteral("파일을 전송을 취소했습니다.");
}

QString ChatRenderer::transferFinishedNotice(const QString &filePath, qint64 size) const
{
    const QString name = filePath.mid(filePath.lastIndexOf(QLatin1Char('/')) + 1);
    return picture(QStringLiteral("chat_fileroom_private_btn.png")) + ChatText::escapeHtml(name) + QLatin1Char('(') + ChatText::sizeText(size)
        + QLatin1Char(')') + QStringLiteral("전송을 완료했습니다.");
}

QString ChatRenderer::typingNotice(const ChatPeer &peer, const QString &shortNick)
{
    if (!peer.onBuddyList) {
        return peer.loginId + QStringLiteral(" 님이 메세지를 입력하고 있습니다.");
    }
    return peer.name + QStringLiteral(" (") + shortNick + QStringLiteral(") 님이 메세지를 입력하고 있습니다.");
}
