// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "chattext.h"

#include <QString>
#include <memory>

class EmoticonTable;

//! Who a line is about, as far as the conversation view needs it.
struct ChatPeer {
    QString loginId;
    QString name;
    QString nick;
    bool onBuddyList = true; //!< false: only the ID is known
};

//! Turns chat events into the rich text of the conversation view and the lines of the saved text.
//! Every peer-supplied text is escaped before markup is added.
class ChatRenderer
{
public:
    //! Uses the installed picture and emoticon directories.
    ChatRenderer();
    ChatRenderer(const QString &picsDirectory, const QString &emoticonDirectory);
    ~ChatRenderer();

    struct Message {
        QString html; //!< one append to the conversation view
        QString plain; //!< one addition to the saved conversation
    };

    //! Off: codes stay as typed (only the display escapes are decoded).
    void setEmoticonsEnabled(bool enabled);
    //! Peer text as rich text: escaped, emoticon codes as pictures, "%20"/"%0A" decoded.
    QString convert(const QString &text) const;

    Message ownMessage(const QString &ownName, const QString &ownNick, const ChatStyle &style, const QString &text) const;
    //! A received MSG (away false) or AWAYMSG (away true) body from a participant.
    Message incomingMessage(const ChatPeer &sender, const QString &body, bool away) const;

    //! JOIN: name and nick are fields 4 and 3 of the line.
    QString joinNotice(const QString &name, const QString &nick) const;
    QString quitNotice(const ChatPeer &peer) const;
    QString fileOfferedNotice(const ChatPeer &peer) const;
    QString ownFileOfferNotice(const ChatPeer &peer) const;
    QString offerCancelledNotice(const ChatPeer &peer) const;
    QString transferCancelledNotice() const;
    QString transferFinishedNotice(const QString &filePath, qint64 size) const;

    //! Info line (plain text) for a typing notice; shortNick is the nickname already fitted to the window.
    static QString typingNotice(const ChatPeer &peer, const QString &shortNick);

    EmoticonTable &emoticons() const;

private:
    QString header(const ChatPeer &peer, const QString &says) const;
    QString picture(const QString &file) const;
    QString fileNotice(const ChatPeer &peer, const QString &what) const;

    QString m_picsDirectory;
    QString m_emoticonDirectory;
    bool m_installedEmoticons = true;
    bool m_emoticonsEnabled = true;
    mutable std::unique_ptr<EmoticonTable> m_pEmoticons;
};
