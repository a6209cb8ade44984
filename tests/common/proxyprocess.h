// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

//! A real SOCKS proxy ("microsocks" or "danted") on 127.0.0.1, run under `timeout` so that it
//! goes away by itself even if the test dies; it is stopped with this object.
class ProxyProcess
{
public:
    ProxyProcess();
    ~ProxyProcess();
    ProxyProcess(const ProxyProcess &) = delete;
    ProxyProcess &operator=(const ProxyProcess &) = delete;

    //! Full path of the proxy program, empty when it is not installed.
    static QString findProgram(const QString &program);
    //! The reason to give when a test has to skip for want of the program.
    static QString missingMessage(const QString &program);
    //! A port on 127.0.0.1 that nobody listened on a moment ago.
    static quint16 freePort();
    static bool isListening(quint16 port);
    //! Writes a danted configuration for a proxy without authentication on 127.0.0.1:port.
    static bool writeDantedConfig(const QString &path, quint16 port);

    //! Starts microsocks (asking for user name and password when user is not empty) or danted
    //! (no authentication; SOCKS 4 and 5) on a free port. Wait for isListening() before use.
    bool start(const QString &program, const QString &user = QString(), const QString &password = QString());
    //! Starts any program with the given arguments under `timeout`.
    bool startCommand(const QString &path, const QStringList &arguments);
    //! Ends the proxy, and with it every tunnel through it.
    void stop();
    quint16 port() const;
    bool isListening() const;
    //! What the proxy wrote so far (for failure messages).
    QString output();

private:
    QProcess m_process;
    QTemporaryDir m_dir;
    quint16 m_port = 0;
};
