// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QString>

class BuddyList;
class GroupList;

//! What is needed to reach a server and sign in; handed from window to controller to connection.
class Account : public QObject
{
    Q_OBJECT
public:
    explicit Account(QObject *parent = nullptr);

    void setLoginInfo(const QString &id, const QString &password);
    void setServer(const QString &host, int port);
    QString loginID() const;
    QString password() const;
    QString serverHost() const;
    int serverPort() const;
    int awayTime() const;
    //! Stores the away time in minutes; always announces it, also when unchanged.
    void setAwayTime(int minutes);
    //! Copies login ID, password, server host and port; proxy and away settings stay.
    virtual void copyFrom(const Account &other);

    // Written directly by their owners (transport, controller).
    int proxyType = 0;
    QString proxyServer;
    int proxyPort = 0;
    QString proxyID;
    QString proxyPassword;
    bool autoAway = false;

Q_SIGNALS:
    void changedTimerSettings();

private:
    QString m_loginID;
    QString m_password;
    QString m_serverHost;
    int m_serverPort = 0;
    int m_awayTime = 10;
};

//! The signed-in user: identity from the sign-in answer, own status and the contact lists.
class CurrentAccount : public Account
{
    Q_OBJECT
public:
    static CurrentAccount *instance();
    //! Deletes the singleton; the next instance() builds a fresh one.
    static void destroyInstance();

    //! The ID that names the user's local data: the Mavrelo ID for a 'C' account, else the portal ID.
    QString ownId() const;
    //! "%00" and an empty text both mean no sister-service link.
    bool hasMavreloLink() const;

    BuddyList *buddyList = nullptr; // not owned
    GroupList *groupList = nullptr; // not owned
    QString cmn;
    QString name;
    QString nick;
    QString ticket;
    QString mvCmn = QStringLiteral("%00");
    char accountType = 0;
    QString tirnID = QStringLiteral("%00");
    QString mvID = QStringLiteral("%00");
    char status = 'O';
    bool kivraNew = false;
    bool mainPageState = false;
    QString mainPageParam;
    QString mainPageID;

    // Sign-in answer fields kept as received; nothing interprets them.
    QString loginText5;
    QString loginText6;
    int loginNumber9 = 0;
    QString loginText10;
    QString loginText11;
    QString loginText13;
    bool loginFlag16 = false;
    bool loginFlag17 = false;

Q_SIGNALS:
    void changedStatus();

private:
    explicit CurrentAccount(QObject *parent = nullptr);
    static CurrentAccount *s_instance;
};
