// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "localservice.h"
#include "bot.h"
#include "dispatchserver.h"
#include "server_debug.h"
#include "sessionserver.h"

#include <QDir>
#include <QStandardPaths>

LocalService::LocalService(QObject *parent)
    : QObject(parent)
{
}

LocalService::~LocalService()
{
    qDeleteAll(m_bots);
    m_bots.clear();
    // The session server's clients sign out into the store while it is still open.
    delete m_pSession;
    delete m_pDispatch;
}

QString LocalService::defaultDataDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString LocalService::demoDataPath()
{
    return QStringLiteral(ZEMVIK_SERVICE_DATA_DIR "/demo.json");
}

bool LocalService::openStore(ServiceStore &store, const QString &directory, QString *error)
{
    if (!store.open(directory)) {
        *error = store.errorString();
        return false;
    }
    if (!store.hasAccounts() && !store.importFile(demoDataPath())) {
        *error = QStringLiteral("cannot load the demo data: %1").arg(store.errorString());
        return false;
    }
    return true;
}

bool LocalService::start(const Options &options)
{
    m_options = options;
    if (m_options.dataDirectory.isEmpty()) {
        m_options.dataDirectory = defaultDataDirectory();
    }
    if (!openStore(m_store, m_options.dataDirectory, &m_error)) {
        return false;
    }
    m_pSession = new SessionServer(&m_store);
    if (!m_pSession->listen(m_options.address, 0)) {
        m_error = QStringLiteral("session server: %1").arg(m_pSession->errorString());
        return false;
    }
    m_pDispatch = new DispatchServer;
    m_pDispatch->setSessionServer(QString(), m_pSession->port());
    if (!m_pDispatch->listen(m_options.address, m_options.dispatchPort)) {
        m_error = QStringLiteral("dispatch server on port %1: %2").arg(m_options.dispatchPort).arg(m_pDispatch->errorString());
        return false;
    }
    announceListener(QStringLiteral("dispatch"), m_pDispatch->address(), m_pDispatch->port());
    announceListener(QStringLiteral("session"), m_pSession->address(), m_pSession->port());

    if (m_options.bots) {
        const QList<StoredAccount> accounts = m_store.botAccounts();
        for (const StoredAccount &account : accounts) {
            auto *bot = new Bot(account, m_pSession);
            m_bots.append(bot);
            bot->start();
        }
    }
    return true;
}

void LocalService::announceListener(const QString &role, const QHostAddress &address, quint16 port)
{
    Q_EMIT listening(role, QStringLiteral("%1:%2").arg(address.toString()).arg(port));
}

QString LocalService::errorString() const
{
    return m_error;
}

ServiceStore *LocalService::store()
{
    return &m_store;
}

DispatchServer *LocalService::dispatchServer() const
{
    return m_pDispatch;
}

SessionServer *LocalService::sessionServer() const
{
    return m_pSession;
}

const LocalService::Options &LocalService::options() const
{
    return m_options;
}

QList<Bot *> LocalService::bots() const
{
    return m_bots;
}
