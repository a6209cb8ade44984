// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "kzemvikbuffer.h"
#include "lineframer.h"
#include "servicestore.h"
#include "sessionendpoint.h"

#include <QObject>
#include <QPointer>

class QTimer;
class SessionServer;

//! A scripted buddy: a demo account kept signed in without any client, so that a newcomer's
//! list shows people online who now and then change their status.
class Bot : public QObject, public SessionEndpoint
{
    Q_OBJECT
public:
    static constexpr int MinStatusIntervalMs = 20000;
    static constexpr int MaxStatusIntervalMs = 60000;
    //! After a real client took the account over and left again, the bot comes back after this long.
    static constexpr int ResumeDelayMs = 30000;

    Bot(const StoredAccount &account, SessionServer *server, QObject *parent = nullptr);
    ~Bot() override;

    QString loginId() const;
    bool isSignedIn() const;
    //! Signs in and goes online.
    void start();
    void stop();

    void deliver(const QByteArray &bytes) override;
    void kill() override;

protected:
    //! A client-to-client message (chat invitation, memo, file request) for this bot.
    //! This is where the bot learns to chat; for now it only notes what arrived.
    virtual void handleClientMessage(const QString &senderId, const QByteArray &payload);
    //! Any other line the session server sends to the bot (presence, notices).
    virtual void handleLine(const QStringList &fields);
    //! Sends a client-to-client payload (an "INCK", a memo's "IMSG" block) to a signed-in member,
    //! as a client's "CTOC" would; false when they are not reachable.
    bool sendClientMessage(const QString &recipientId, const QByteArray &payload);

private:
    void scheduleStatusChange();
    void changeStatus();

    StoredAccount m_account;
    QPointer<SessionServer> m_pServer;
    QTimer *m_pStatusTimer;
    KZemvikBuffer m_buffer;
    LineFramer m_framer;
    bool m_signedIn = false;
    bool m_stopped = true;
};
