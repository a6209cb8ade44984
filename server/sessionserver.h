// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "servicestore.h"
#include "switchboardticket.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>

#include <functional>

class QTcpServer;
class SessionEndpoint;

//! The session role: accepts client connections (one SessionClient each), keeps the register of who
//! is signed in with which status, and carries presence, notices and client-to-client traffic between them.
class SessionServer : public QObject
{
    Q_OBJECT
public:
    using SwitchboardProvider = std::function<SwitchboardTicket(const QString &userId)>;

    explicit SessionServer(ServiceStore *store, QObject *parent = nullptr);
    ~SessionServer() override;

    bool listen(const QHostAddress &address, quint16 port);
    QHostAddress address() const;
    quint16 port() const;
    QString errorString() const;
    ServiceStore *store() const;

    //! Where "RESS" answers come from; without a provider "RESS" gets an error reply.
    void setSwitchboardProvider(SwitchboardProvider provider);
    SwitchboardTicket requestSwitchboard(const QString &userId) const;

    //! Registers a signed-in member. A session already signed in with the same ID is killed.
    //! The member counts as offline until the first setStatus(). Returns the session's ticket.
    QString signIn(SessionEndpoint *endpoint, const StoredAccount &account);
    //! The endpoint goes away; its buddies see it go offline. Unknown endpoints are ignored.
    void signOut(SessionEndpoint *endpoint);
    //! The signed-in member behind endpoint, 0 when there is none.
    int memberOf(const SessionEndpoint *endpoint) const;
    bool isOnline(int cmn) const;
    //! The member's own status letter; "F" when not signed in.
    QString status(int cmn) const;
    //! A new ticket for the member's web requests; the old one stops being valid.
    QString renewTicket(int cmn);
    //! The login ID a valid ticket belongs to, or an empty text.
    QString userIdForTicket(const QString &ticket) const;
    QStringList onlineUserIds() const;

    //! Changes the member's status and tells every watcher whose view of it changed.
    void setStatus(int cmn, const QString &letter);
    //! The member's nickname changed: stores it and sends "NNIK" to everybody who has them listed.
    void changeNick(int cmn, const QString &nick);
    //! What a watcher sees of the member: "F" when offline, appearing offline or blocking the watcher.
    QString visibleStatus(int member, bool blocksWatcher) const;
    //! "INFY" lines for every buddy of cmn that cmn may see online.
    QByteArray initialPresence(int cmn) const;
    //! After an edit of the lists between member and watcher: tell the watcher what they see now,
    //! when it differs from before (the status the watcher saw ahead of the edit).
    void refreshPresence(int member, int watcher, const QString &before);
    //! What the watcher currently sees of the member, taking both lists into account.
    QString seenStatus(int member, int watcher) const;

    //! Sends bytes to a signed-in member; false when they are not signed in.
    bool deliver(int cmn, const QByteArray &bytes);
    static QByteArray presenceLine(const char *command, const QString &loginId, const QString &status, int cmn, const QString &nick);

    static bool isStatusLetter(const QString &letter);

Q_SIGNALS:
    void signedIn(const QString &userId);
    void signedOut(const QString &userId);

private:
    struct Online {
        SessionEndpoint *endpoint = nullptr;
        QString loginId;
        QString nick; //!< as shown to others: the nickname, or the name when there is none
        QString status = QStringLiteral("F");
        QString ticket;
    };

    void acceptConnections();
    void announce(int cmn, const QString &oldStatus, const QString &newStatus);

    ServiceStore *m_pStore;
    QTcpServer *m_pServer;
    SwitchboardProvider m_switchboardProvider;
    QHash<int, Online> m_online;
    QHash<QString, int> m_tickets;
};
