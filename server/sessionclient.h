// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "kzemvikbuffer.h"
#include "lineframer.h"
#include "servicestore.h"
#include "sessionendpoint.h"

#include <QObject>
#include <QPointer>

class QTcpSocket;
class QTimer;
class SessionServer;

//! One client connection to the session server: signs the member in and carries out their commands.
//! The signed-in ID is the only identity a connection ever acts for.
class SessionClient : public QObject, public SessionEndpoint
{
    Q_OBJECT
public:
    //! A connection that sends nothing for this long is closed (clients ping every 10 s).
    static constexpr int IdleTimeoutMs = 180000;
    //! How often a fresh ticket is handed out.
    static constexpr int TicketIntervalMs = 10 * 60 * 1000;
    static constexpr int MaxGroupNameLength = 60;
    static constexpr int MaxNickLength = 100;
    static constexpr int MaxRequestMessageLength = 400;
    static constexpr int MaxMemoRecipients = 100;

    //! Takes over socket; the client is a child of server and deletes itself when the connection ends.
    SessionClient(QTcpSocket *socket, SessionServer *server);
    ~SessionClient() override;

    void deliver(const QByteArray &bytes) override;
    void kill() override;
    //! The server is going away: forget it without calling back.
    void detach();

private:
    void readData();
    void handle(const LineFramer::Frame &frame);
    void close();

    void reply(const QString &line);
    void error(int number, const QString &tid);

    void signIn(const QStringList &f, const QString &tid);
    void sendConfiguration(const QString &tid);
    void sendGroupList(const QString &tid);
    void sendBuddyList(const QString &tid);
    void changeStatus(const QStringList &f, const QString &tid);
    void changeNick(const QString &line, const QString &tid);
    void addGroup(const QStringList &f, const QString &line, const QString &tid);
    void removeGroup(const QStringList &f, const QString &tid);
    void renameGroup(const QStringList &f, const QString &line, const QString &tid);
    void editMemberships(const QString &command, const QStringList &f, const QByteArray &payload, const QString &tid);
    void addToList(const QStringList &f, const QString &tid);
    void removeFromList(const QStringList &f, const QString &tid);
    void buddyRequest(const QStringList &f, const QString &tid);
    void changeProfile(const QByteArray &payload, const QString &tid);
    void requestSwitchboard(const QString &tid);
    void routeClientMessage(const QStringList &f, const QByteArray &payload, const QString &tid);
    void sendMemo(const QByteArray &payload, const QString &tid);

    //! Writes an edited pair of list rows (mine for the buddy, the buddy's for me) in one transaction
    //! and tells both sides what they see of each other afterwards.
    bool writeEntries(const StoredEntry &mine, const StoredEntry &theirs, bool addToDefaultGroup);
    //! A member may refuse messages from people who are not on their list.
    bool refusesFrom(int recipient, const QString &privacyKey) const;
    QString linkedId() const;

    QPointer<QTcpSocket> m_pSocket;
    SessionServer *m_pServer;
    ServiceStore *m_pStore;
    QTimer *m_pIdleTimer;
    QTimer *m_pTicketTimer;
    KZemvikBuffer m_buffer;
    LineFramer m_framer;
    StoredAccount m_account; //!< valid once signed in
    bool m_closing = false;
};
