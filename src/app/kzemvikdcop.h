// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

//! The client's session-bus face: owns "org.kde.kzemvik" with "/kzemvikdcop", hands incoming commands
//! to the controller, and sends one-way calls to every object of the message viewer.
class KZemvikDCOP : public QObject
{
    Q_OBJECT
public:
    explicit KZemvikDCOP(QObject *parent = nullptr);
    ~KZemvikDCOP() override;

    //! Registers the object and the bus name; false without a session bus or when the name is taken.
    bool registerOnBus();
    bool isRegistered() const;

    //! Sends method(argument) to every "/MessageBox*" object of the viewer, without waiting for a reply.
    //! With wait, blocks until the viewer's objects are known (used while quitting).
    //! False (after "Error with DCOP") when the viewer is not running.
    bool sendToViewer(const QString &method, const QString &argument, bool wait = false);

    static QString serviceName();
    static QString objectPath();
    static QString viewerService();
    static QString viewerInterface();

public Q_SLOTS:
    //! Called through the bus adaptor.
    void dcopCommand(const QString &s);

Q_SIGNALS:
    void commandReceived(const QString &s);
    //! A call reached the viewer's objects (count of objects); for diagnostics and tests.
    void viewerCallSent(const QString &method, const QString &argument, int objects);

private:
    void deliver(QDBusPendingCallWatcher *watcher, const QString &method, const QString &argument);

    bool m_bRegistered = false;
};
