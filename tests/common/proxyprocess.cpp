// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "proxyprocess.h"

#include <QFile>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

namespace
{
const QString s_localHost = QStringLiteral("127.0.0.1");
}

ProxyProcess::ProxyProcess() = default;

ProxyProcess::~ProxyProcess()
{
    stop();
}

QString ProxyProcess::findProgram(const QString &program)
{
    return QStandardPaths::findExecutable(program, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
}

QString ProxyProcess::missingMessage(const QString &program)
{
    return program + QStringLiteral(" is not installed (apt-get install microsocks dante-server)");
}

quint16 ProxyProcess::freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress(s_localHost), 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

bool ProxyProcess::isListening(quint16 port)
{
    QTcpSocket probe;
    probe.connectToHost(s_localHost, port);
    return probe.waitForConnected(200);
}

bool ProxyProcess::writeDantedConfig(const QString &path, quint16 port)
{
    QFile conf(path);
    if (!conf.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray text = QStringLiteral("logoutput: stderr\n"
                                           "internal: 127.0.0.1 port = %1\n"
                                           "external: 127.0.0.1\n"
                                           "socksmethod: none\n"
                                           "clientmethod: none\n"
                                           "user.privileged: root\n"
                                           "user.unprivileged: nobody\n"
                                           "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n"
                                           "socks pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n")
                                .arg(port)
                                .toLatin1();
    return conf.write(text) == text.size();
}

bool ProxyProcess::start(const QString &program, const QString &user, const QString &password)
{
    const QString path = findProgram(program);
    if (path.isEmpty() || !m_dir.isValid()) {
        return false;
    }
    m_port = freePort();
    QStringList arguments;
    if (program == QLatin1String("microsocks")) {
        arguments << QStringLiteral("-i") << s_localHost << QStringLiteral("-p") << QString::number(m_port);
        if (!user.isEmpty()) {
            arguments << QStringLiteral("-u") << user << QStringLiteral("-P") << password;
        }
    } else if (program == QLatin1String("danted")) {
        const QString conf = m_dir.filePath(QStringLiteral("danted.conf"));
        if (!writeDantedConfig(conf, m_port)) {
            return false;
        }
        // In the foreground (no -D), one process, its pid file kept out of /run.
        arguments << QStringLiteral("-f") << conf << QStringLiteral("-p") << m_dir.filePath(QStringLiteral("danted.pid")) << QStringLiteral("-N")
                  << QStringLiteral("1");
    } else {
        return false;
    }
    return startCommand(path, arguments);
}

bool ProxyProcess::startCommand(const QString &path, const QStringList &arguments)
{
    const QString timeout = QStandardPaths::findExecutable(QStringLiteral("timeout"));
    if (timeout.isEmpty()) {
        m_process.start(path, arguments);
    } else {
        m_process.start(timeout, QStringList{QStringLiteral("30"), path} + arguments);
    }
    return m_process.waitForStarted(5000);
}

void ProxyProcess::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate(); // `timeout` passes it on to the proxy's whole process group
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

quint16 ProxyProcess::port() const
{
    return m_port;
}

bool ProxyProcess::isListening() const
{
    return m_port != 0 && isListening(m_port);
}

QString ProxyProcess::output()
{
    return QString::fromLocal8Bit(m_process.readAllStandardError() + m_process.readAllStandardOutput());
}
