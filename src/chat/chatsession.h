// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "chatrenderer.h"
#include "kzemvikbuffer.h"
#include "lineframer.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class Buddy;
class BuddyList;
class QTcpSocket;
class QTimer;
class SendFileInfo;

//! One conversation's switchboard session: entering, participants, queued messages and files,
//! typing notices, away replies and in-chat file signalling. The chat window owns it and shows
//! what it reports; it draws nothing itself.
class ChatSession : public QObject
{
    Q_OBJECT
public:
    explicit ChatSession(QObject *parent = nullptr);
    ~ChatSession() override;

    //! Asked once for every offered file; true accepts it. Without a handler offers are declined.
    //! It may run a modal dialog: the reader is not re-entered meanwhile.
    using FileOfferHandler = std::function<bool(const QString &sender, const QString &fileName, qint64 size)>;
    //! Shortens a nickname to what fits the typing notice on the info line.
    using NickFitter = std::function<QString(const QString &nick)>;
    //! The away reply for an own status letter; enabled false when none is to be sent.
    struct AwayReply {
        bool enabled = false;
        ChatStyle style;
        QString text;
    };
    //! Where the face of each message and the away reply come from; read anew for every message.
    //! The defaults read the user's configuration.
    using StyleProvider = std::function<ChatStyle()>;
    using AwayReplyProvider = std::function<AwayReply(char ownStatus)>;

    void setSwitchboard(const QString &host, quint16 port, const QString &key);
    QString host() const;
    quint16 port() const;
    QString key() const;
    void setOwnId(const QString &ownId);
    QString ownId() const;
    //! Who we are besides the ID: name and nick for ENTR and our echo, member number for cookies.
    struct Identity {
        QString name;
        QString nick;
        QString cmn;
        char status = 'O';
    };
    //! Replaces the signed-in account as the source of the identity (the local service's buddies).
    void setIdentity(const Identity &identity);
    Identity identity() const;
    //! Where participants are looked up; defaults to the signed-in account's list.
    void setBuddyList(BuddyList *buddies);
    void setFileOfferHandler(FileOfferHandler handler);
    void setNickFitter(NickFitter fitter);
    void setStyleProvider(StyleProvider provider);
    void setAwayReplyProvider(AwayReplyProvider provider);
    //! Whether emoticon codes are drawn as pictures; read anew for every message.
    void setEmoticonsProvider(std::function<bool()> provider);
    //! Tests shorten the 5 s of the queue and typing timers.
    void setTimeouts(int queueMs, int typingMs);

    //! Starts an asynchronous connect (disconnecting first when needed); false when it could not start.
    bool connectToSwitchboard();
    //! Writes "LOUT" when connected, closes and resets; emits disconnectedSS unless silent.
    void disconnectFromSwitchboard(bool silent);
    bool isConnected() const;
    //! Connected and the switchboard answered ENTR.
    bool isEntered() const;

    //! Adds (or re-marks) a participant; absent means invited but not in the session yet.
    Buddy *addParticipant(const QString &loginId, bool absent);
    Buddy *findParticipant(const QString &loginId) const;
    QList<Buddy *> participants() const;
    //! Nobody is missing; an empty conversation counts as complete.
    bool allPresent() const;
    //! The window has a participant who is not on the buddy list.
    bool isNonBuddyConversation() const;

    //! Sends at once when everyone is in the session, else queues and asks for a session.
    void sendMessage(const QString &text);
    //! One "TYPING 1" per message being typed.
    void sendTyping();
    //! Offers the files to every participant, or queues them until everyone is present.
    void offerFiles(const QStringList &paths);
    void sendFileCancel(const QString &fileSpec);
    //! The window closes: "TYPING 2" and "QUIT" when something was said, nothing otherwise.
    void closeConversation();

    bool hasContent() const;
    //! The conversation as kept for saving.
    QString plainText() const;
    QString infoText() const;
    QStringList pendingMessages() const;
    QStringList pendingFiles() const;
    QList<SendFileInfo *> transfers() const;
    ChatRenderer &renderer();

    //! The service IDs written inside "<…>" in a buddy picker's text, in order, each once.
    //! A name that contains "@" outside the brackets never names anybody.
    static QStringList idsFromPickedText(const QString &text);

Q_SIGNALS:
    void OutgoingMessage(const QString &text);
    void IncomingMessage(const QString &text);
    void disconnectedSS();
    //! The switchboard answered ENTR: the controller sends the invitations now.
    void putINVT(ChatSession *session);
    //! A (new) switchboard session is needed.
    void newConnectSS(ChatSession *session);
    void sendFile(SendFileInfo *info);
    void sendRECQNEW(ChatSession *session, SendFileInfo *info);
    void cancelReceive(const QStringList &fields);
    void cancelReceiveAll(const QStringList &fields);
    void cancelFileTransfer(const QString &fileSpec);
    void BuddyAdded(Buddy *buddy);

    //! A message (away false) or away reply from a participant was rendered; fields are the line's.
    void chatMessage(const QStringList &fields, bool away);
    //! One rich-text append to the conversation view.
    void htmlAppended(const QString &html);
    //! New text for the info line (plain text).
    void infoTextChanged(const QString &text);
    //! Participants were added, left or changed presence: refresh the displays.
    void participantsChanged();
    //! The participant is not on the buddy list: the window shows the ID as its caption.
    void nonBuddyParticipant(const QString &loginId);
    //! A file offer arrived: the window shows itself.
    void showRequested();
    //! The queue waited in vain for these participants (their names); what was queued went to the others.
    void participantsUnavailable(const QStringList &names);
    //! No session came up in time: these texts were not sent (and are no longer queued).
    void messagesFailed(const QStringList &texts);
    //! Files that were not offered: no session came up in time, or too large for a transfer.
    void filesFailed(const QStringList &paths);

private:
    void createSocket();
    //! Closes the socket after handing over what was written; the session forgets it.
    void releaseSocket();
    void slotConnected();
    void slotDisconnected();
    void slotSocketError();
    void slotReadyRead();
    void slotMessageQueueFail();
    void slotTypeTimeOut();

    bool writeCommand(const QString &command, const QString &arguments);
    void dispatch(const QStringList &fields);
    void handleWhsp(const QStringList &fields);
    void handleMesg(const QStringList &fields);
    void handleQuit(const QStringList &fields);
    void handleJoin(const QStringList &fields);
    void handleUser(const QStringList &fields);
    void handleFileOffer(const QStringList &fields, const QStringList &elements);
    bool sendNow(const QString &text);
    void sendAwayReply(const AwayReply &reply);
    void offerNow(const QStringList &paths);
    void flushQueues();
    void startQueueTimer();
    //! newConnectSS, unless a connection is already being made.
    void askForSession();
    void markAllAbsent();
    void appendHtml(const QString &html);
    ChatPeer peerOf(const Buddy *buddy) const;
    QString newCookie(int k) const;
    BuddyList *buddyList() const;

    QString m_host;
    quint16 m_port = 0;
    QString m_key;
    QString m_ownId;
    Identity m_identity;
    bool m_hasIdentity = false;
    QPointer<BuddyList> m_pBuddyList;
    QTcpSocket *m_pSocket = nullptr;
    KZemvikBuffer m_buffer;
    LineFramer m_framer;
    int m_tid = 1;
    bool m_writing = false;
    bool m_reading = false;
    bool m_entered = false;
    quint64 m_generation = 0; //!< bumped on every disconnect, so a reader stops with stale bytes
    QList<QPointer<Buddy>> m_participants;
    QStringList m_pendingMessages;
    QStringList m_pendingFiles;
    QTimer *m_pQueueTimer = nullptr;
    QTimer *m_pTypingTimer = nullptr;
    bool m_typingSent = false;
    bool m_typingShown = false;
    QString m_infoText;
    QString m_savedInfoText;
    QList<QPointer<SendFileInfo>> m_transfers;
    bool m_content = false;
    bool m_nonBuddy = false;
    QString m_plainText;
    ChatRenderer m_renderer;
    FileOfferHandler m_fileOfferHandler;
    NickFitter m_nickFitter;
    StyleProvider m_styleProvider;
    AwayReplyProvider m_awayReplyProvider;
    std::function<bool()> m_emoticonsProvider;
};
