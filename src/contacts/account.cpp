// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "account.h"

Account::Account(QObject *parent)
    : QObject(parent)
{
}

void Account::setLoginInfo(const QString &id, const QString &password)
{
    m_loginID = id;
    m_password = password;
}

void Account::setServer(const QString &host, int port)
{
    m_serverHost = host;
    m_serverPort = port;
}

QString Account::loginID() const
{
    return m_loginID;
}

QString Account::password() const
{
    return m_password;
}

QString Account::serverHost() const
{
    return m_serverHost;
}

int Account::serverPort() const
{
    return m_serverPort;
}

int Account::awayTime() const
{
    return m_awayTime;
}

void Account::setAwayTime(int minutes)
{
    m_awayTime = minutes;
    Q_EMIT changedTimerSettings();
}

void Account::copyFrom(const Account &other)
{
    setLoginInfo(other.loginID(), other.password());
    setServer(other.serverHost(), other.serverPort());
}

CurrentAccount *CurrentAccount::s_instance = nullptr;

CurrentAccount::CurrentAccount(QObject *parent)
    : Account(parent)
{
}

CurrentAccount *CurrentAccount::instance()
{
    if (!s_instance) {
        s_instance = new CurrentAccount();
    }
    return s_instance;
}

void CurrentAccount::destroyInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

QString CurrentAccount::ownId() const
{
    return accountType == 'C' ? mvID : tirnID;
}

bool CurrentAccount::hasMavreloLink() const
{
    return !mvCmn.isEmpty() && mvCmn != QLatin1String("%00");
}
