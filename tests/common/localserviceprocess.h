// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

class QProcess;

//! The local service as a child process on 127.0.0.1 with free ports and its own temporary data
//! directory, which outlives restarts. The process ends with this object, or with the test process.
class LocalServiceProcess : public QObject
{
    Q_OBJECT
public:
    explicit LocalServiceProcess(QObject *parent = nullptr);
    ~LocalServiceProcess() override;

    //! Scripted buddies are off unless switched on before start().
    void setBots(bool on);
    //! More command line options for the next start().
    void setExtraArguments(const QStringList &arguments);
    QString dataDirectory() const;

    //! Starts the service and waits until the dispatch and session listeners are up.
    bool start(int timeoutMs = 15000);
    bool stop();
    //! Stops and starts again on the same data directory (listener ports change).
    bool restart();
    bool isRunning() const;

    //! "HOST:PORT" of a listener role ("dispatch", "session", "switchboard", "relay", "web");
    //! waits up to timeoutMs for its line; empty when the role never appeared.
    QString address(const QString &role, int timeoutMs = 5000);
    QHostAddress host(const QString &role, int timeoutMs = 5000);
    quint16 port(const QString &role, int timeoutMs = 5000);
    QString dispatch();
    QString session();

    //! Runs "zemvik-localservice --data DIR <arguments>" to completion; true on exit status 0.
    bool runCommand(const QStringList &arguments, QString *output = nullptr);
    bool addAccount(const QString &id, const QString &password, const QString &name, const QString &nick = QString());
    bool addBuddy(const QString &id, const QString &buddyId, const QString &groupName = QString());

    //! The standard error output of the service so far (for failure messages).
    QString errorOutput() const;

private:
    bool readListenerLines(int timeoutMs, const QString &role);

    QTemporaryDir m_dataDir;
    QProcess *m_pProcess = nullptr;
    QStringList m_extraArguments;
    bool m_bots = false;
    QHash<QString, QString> m_listeners;
    QByteArray m_pending;
    QByteArray m_stderr;
};
