// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "servicestore.h"

#include <QHostAddress>
#include <QList>
#include <QObject>

class Bot;
class DispatchServer;
class SessionServer;

//! The bundled Zemvik service: owns the store and every server role, and keeps the scripted buddies going.
class LocalService : public QObject
{
    Q_OBJECT
public:
    struct Options {
        QString dataDirectory; //!< empty: defaultDataDirectory()
        QHostAddress address = QHostAddress::LocalHost;
        quint16 dispatchPort = 5004;
        quint16 webPort = 5080; //!< kept for the web pages role
        bool bots = true;
    };

    explicit LocalService(QObject *parent = nullptr);
    ~LocalService() override;

    //! Opens the store (loading the demo data into an empty one) and starts every listener.
    bool start(const Options &options);
    QString errorString() const;

    ServiceStore *store();
    DispatchServer *dispatchServer() const;
    SessionServer *sessionServer() const;
    const Options &options() const;
    QList<Bot *> bots() const;

    static QString defaultDataDirectory();
    //! The shipped demo accounts, groups and lists.
    static QString demoDataPath();
    //! Opens the store in directory, loading the demo data when it holds no account yet.
    static bool openStore(ServiceStore &store, const QString &directory, QString *error);
    //! Reports a listener that is up (emits listening()); every role calls it once it listens.
    void announceListener(const QString &role, const QHostAddress &address, quint16 port);

Q_SIGNALS:
    //! A listener is up: role ("dispatch", "session", ...) and "HOST:PORT".
    void listening(const QString &role, const QString &hostPort);

private:
    Options m_options;
    ServiceStore m_store;
    DispatchServer *m_pDispatch = nullptr;
    SessionServer *m_pSession = nullptr;
    QList<Bot *> m_bots;
    QString m_error;
};
