// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "localserviceprocess.h"
#include "testutil.h"

#include <QDeadlineTimer>
#include <QProcess>

LocalServiceProcess::LocalServiceProcess(QObject *parent)
    : QObject(parent)
{
}

LocalServiceProcess::~LocalServiceProcess()
{
    stop();
}

void LocalServiceProcess::setBots(bool on)
{
    m_bots = on;
}

void LocalServiceProcess::setExtraArguments(const QStringList &arguments)
{
    m_extraArguments = arguments;
}

QString LocalServiceProcess::dataDirectory() const
{
    return m_dataDir.path();
}

bool LocalServiceProcess::isRunning() const
{
    return m_pProcess && m_pProcess->state() == QProcess::Running;
}

bool LocalServiceProcess::start(int timeoutMs)
{
    stop();
    m_listeners.clear();
    m_pending.clear();
    m_stderr.clear();
    m_pProcess = new QProcess(this);
    QStringList args{QStringLiteral("--data"),
                     m_dataDir.path(),
                     QStringLiteral("--listen"),
                     QStringLiteral("127.0.0.1"),
                     QStringLiteral("--dispatch-port"),
                     QStringLiteral("0"),
                     QStringLiteral("--web-port"),
                     QStringLiteral("0"),
                     // The pipe to our side closes when the test dies, and the service with it.
                     QStringLiteral("--watch-stdin")};
    if (!m_bots) {
        args << QStringLiteral("--no-bots");
    }
    args << m_extraArguments;
    m_pProcess->start(TestUtil::localServicePath(), args);
    if (!m_pProcess->waitForStarted(timeoutMs)) {
        return false;
    }
    return readListenerLines(timeoutMs, QStringLiteral("dispatch")) && readListenerLines(timeoutMs, QStringLiteral("session"));
}

bool LocalServiceProcess::readListenerLines(int timeoutMs, const QString &role)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!m_listeners.contains(role)) {
        if (!m_pProcess) {
            return false;
        }
        m_stderr += m_pProcess->readAllStandardError();
        m_pending += m_pProcess->readAllStandardOutput();
        int nl;
        while ((nl = m_pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(m_pending.left(nl)).trimmed();
            m_pending.remove(0, nl + 1);
            const int blank = line.indexOf(QLatin1Char(' '));
            if (blank > 0) {
                m_listeners.insert(line.left(blank), line.mid(blank + 1));
            }
        }
        if (m_listeners.contains(role)) {
            break;
        }
        if (m_pProcess->state() != QProcess::Running || deadline.hasExpired()) {
            m_stderr += m_pProcess->readAllStandardError();
            return false;
        }
        m_pProcess->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    return true;
}

bool LocalServiceProcess::stop()
{
    if (!m_pProcess) {
        return true;
    }
    if (m_pProcess->state() != QProcess::NotRunning) {
        m_pProcess->closeWriteChannel();
        if (!m_pProcess->waitForFinished(5000)) {
            m_pProcess->kill();
            m_pProcess->waitForFinished(5000);
        }
    }
    m_stderr += m_pProcess->readAllStandardError();
    delete m_pProcess;
    m_pProcess = nullptr;
    return true;
}

bool LocalServiceProcess::restart()
{
    return stop() && start();
}

QString LocalServiceProcess::address(const QString &role, int timeoutMs)
{
    if (!m_listeners.contains(role) && isRunning()) {
        readListenerLines(timeoutMs, role);
    }
    return m_listeners.value(role);
}

QHostAddress LocalServiceProcess::host(const QString &role, int timeoutMs)
{
    const QString a = address(role, timeoutMs);
    return QHostAddress(a.left(a.lastIndexOf(QLatin1Char(':'))));
}

quint16 LocalServiceProcess::port(const QString &role, int timeoutMs)
{
    const QString a = address(role, timeoutMs);
    return quint16(a.mid(a.lastIndexOf(QLatin1Char(':')) + 1).toUInt());
}

QString LocalServiceProcess::dispatch()
{
    return address(QStringLiteral("dispatch"));
}

QString LocalServiceProcess::session()
{
    return address(QStringLiteral("session"));
}

bool LocalServiceProcess::runCommand(const QStringList &arguments, QString *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(TestUtil::localServicePath(), QStringList{QStringLiteral("--data"), m_dataDir.path()} + arguments);
    const bool finished = process.waitForFinished(15000);
    if (output) {
        *output = QString::fromUtf8(process.readAll());
    }
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool LocalServiceProcess::addAccount(const QString &id, const QString &password, const QString &name, const QString &nick)
{
    QStringList args{QStringLiteral("add-account"), id, password, name};
    if (!nick.isEmpty()) {
        args << nick;
    }
    return runCommand(args);
}

bool LocalServiceProcess::addBuddy(const QString &id, const QString &buddyId, const QString &groupName)
{
    QStringList args{QStringLiteral("add-buddy"), id, buddyId};
    if (!groupName.isEmpty()) {
        args << groupName;
    }
    return runCommand(args);
}

QString LocalServiceProcess::errorOutput() const
{
    return QString::fromUtf8(m_stderr);
}
