// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "zemvikconnection.h"

#include <QPointer>
#include <QSet>
#include <QStringList>

class Buddy;
class BuddyList;
class GroupList;
class MimeMessage;
class SSConnection;

//! The long-lived session: sign-in, the buddy and group lists, presence, and the signalling
//! for chats, memos and file transfers.
class ZemvikDPConnection : public ZemvikConnection
{
    Q_OBJECT
public:
    explicit ZemvikDPConnection(QObject *parent = nullptr);
    ~ZemvikDPConnection() override;

    //! Also hands the buddy and group lists to the current account.
    bool initialize() override;
    using ZemvikConnection::connectToServer;
    //! Connects to the session server named in the current account.
    bool connectToServer();
    //! Ends the session: no more pings, "LOUT", disconnected().
    void disconnectFromServer();

    BuddyList *buddyList() const;
    GroupList *groupList() const;
    int groupListVersion() const;
    //! CMNs of buddies that no group membership line placed in a group.
    QStringList ungroupedList() const;

    //! Asks for a switchboard ("RESS"); the answer carries the returned TID.
    int requestSwitchboard();
    //! Puts a buddy the controller created itself into group "0" unless a group has it already.
    void addToDefaultGroup(const QString &cmn);
    //! "ADDG"; -1 (nothing sent) for an empty name.
    int sendAddGroup(const QString &name);
    int sendRemoveGroup(const QString &groupId);
    //! "RENG"; -1 (nothing sent) for an empty name.
    int sendRenameGroup(const QString &groupId, const QString &name);
    //! "ADSB REQST" asking a member to become a buddy, with a greeting.
    int sendBuddyRequest(const QString &id, const QString &message);
    //! "CTOC" with a complete argument text (recipient, "N", length, CR LF, payload).
    int sendClientMessage(const QString &argument);
    //! "CTOC" to one recipient; the length is counted here.
    int sendClientPayload(const QString &recipient, const QString &payload);

Q_SIGNALS:
    void connected();
    void ReceiveRESS(SSConnection *switchboard);
    void receivedINFY(const QStringList &command);
    void receivedLSIN();
    //! A memo from another member (direct connections only: the message lives for the call).
    void receivedMemoCTOC(const MimeMessage &message);
    void receivedADDG(const QStringList &command);
    void receivedRMVG(const QStringList &command);
    void receivedRENG(const QStringList &command);
    void receivedINVT(const QStringList &words);
    void receivedREQST(const QStringList &command);
    void allowAccept(Buddy *buddy);
    void receivedREJCT(const QStringList &command);
    void addCommandQueue(const QStringList &command);
    void err200();
    void err201();
    void err202();
    void err300();
    void err301(const QStringList &command);
    void err302();
    void err304();
    void err306();
    void err309();
    void connectToP2P(const QStringList &combined);
    void showAddConfirm(const QStringList &command);
    void connectP2PFR(const QStringList &combined);
    void receivedREFR(const QStringList &command);
    void receivedCPRF(const QStringList &command);
    void receivedNNIK(const QStringList &command);
    void receivedNPRF(const QStringList &command);
    void kill();
    void receivedALRM(const QStringList &command);
    void receivedCALM(const QStringList &command);
    void err421();
    void err500(const QStringList &command);
    void updateStatusText(const QString &text);
    void refreshBuddyList();

public Q_SLOTS:
    //! "CTOC" with a line the caller built, CR LF added here.
    void sendClientLine(const QString &text);
    void slotChangeStatusOnline();
    void slotChangeStatusAway();
    void slotChangeStatusBusy();
    void slotChangeStatusPhone();
    void slotChangeStatusMeeting();
    void slotChangeStatusOffline();
    //! One "ADDB BL" per entry; an entry is "CMN ID".
    void slotPutLockList(const QStringList &entries);
    //! One "ADDB AL" per entry.
    void slotPutUnlockList(const QStringList &entries);
    void slotRealDelete(const QString &id);
    void slotSendLock(const QString &id);
    void slotSendUnlock(const QString &id);
    void connectionSuccess() override;
    void slotAddAccept(const QString &cmn, const QString &id);
    void slotAddReject(const QString &cmn, const QString &id);
    void slotChangeNick(const QString &nick);

protected:
    void parseCommand(const QStringList &command) override;
    void parseMimeMessage(const QString &kind, const QStringList &command, const QByteArray &payload) override;
    void parsePayloadMessage(const QStringList &command, const QString &payload) override;

private:
    void changeStatus(const QString &letter);
    void handleSignIn(const QStringList &command);
    void handleGroupLine(const QStringList &command);
    void handleBuddyLine(const QStringList &command);
    void handleSwitchboard(const QStringList &command);
    void handleBuddyRequest(const QStringList &command);
    void handleListAddition(const QStringList &command);
    void handleListRemoval(const QStringList &command);
    void handleFileRequest(const QStringList &command, const QString &payload);
    //! The buddy a server-initiated "ADSB" answer is about: by CMN, else by ID.
    Buddy *requestedBuddy(const QStringList &command) const;
    //! A fresh download replaces whatever an earlier one left.
    void startGroupDownload();
    bool isShort(const QStringList &command, int needed) const;

    BuddyList *m_pBuddyList;
    GroupList *m_pGroupList;
    QPointer<SSConnection> m_pSwitchboard;
    int m_groupListVersion = 0;
    QSet<QString> m_memberSet;
    QStringList m_ungroupedList;
};
