// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "bot.h"
#include "commandline.h"
#include "server_debug.h"
#include "sessionserver.h"

#include <QRandomGenerator>
#include <QTimer>

Bot::Bot(const StoredAccount &account, SessionServer *server, QObject *parent)
    : QObject(parent)
    , m_account(account)
    , m_pServer(server)
    , m_pStatusTimer(new QTimer(this))
    , m_framer(QSet<QString>{QStringLiteral("CTOC")})
{
    m_pStatusTimer->setSingleShot(true);
    connect(m_pStatusTimer, &QTimer::timeout, this, &Bot::changeStatus);
    connect(server, &SessionServer::signedOut, this, [this](const QString &userId) {
        if (!m_stopped && !m_signedIn && userId.compare(m_account.loginId, Qt::CaseInsensitive) == 0) {
            QTimer::singleShot(ResumeDelayMs, this, [this] {
                if (!m_stopped && !m_signedIn && m_pServer && !m_pServer->isOnline(m_account.cmn)) {
                    start();
                }
            });
        }
    });
}

Bot::~Bot()
{
    stop();
}

QString Bot::loginId() const
{
    return m_account.loginId;
}

bool Bot::isSignedIn() const
{
    return m_signedIn;
}

void Bot::start()
{
    if (m_signedIn || !m_pServer) {
        return;
    }
    m_stopped = false;
    m_pServer->signIn(this, m_account);
    m_signedIn = true;
    m_pServer->setStatus(m_account.cmn, QStringLiteral("O"));
    scheduleStatusChange();
}

void Bot::stop()
{
    m_stopped = true;
    m_pStatusTimer->stop();
    if (m_signedIn && m_pServer) {
        m_signedIn = false;
        m_pServer->signOut(this);
    }
    m_signedIn = false;
}

void Bot::kill()
{
    // A real client signed in with this account; it has the account now.
    m_signedIn = false;
    m_pStatusTimer->stop();
    m_buffer.clear();
}

void Bot::scheduleStatusChange()
{
    m_pStatusTimer->start(int(QRandomGenerator::global()->bounded(MinStatusIntervalMs, MaxStatusIntervalMs + 1)));
}

void Bot::changeStatus()
{
    if (!m_signedIn || !m_pServer) {
        return;
    }
    // Mostly online, sometimes away or busy for a while.
    static const char *const s_letters[] = {"O", "O", "O", "A", "B", "P", "M"};
    const QString current = m_pServer->status(m_account.cmn);
    QString next = current;
    while (next == current) {
        next = QLatin1String(s_letters[QRandomGenerator::global()->bounded(int(std::size(s_letters)))]);
    }
    m_pServer->setStatus(m_account.cmn, next);
    scheduleStatusChange();
}

void Bot::deliver(const QByteArray &bytes)
{
    m_buffer.add(bytes);
    LineFramer::Frame frame;
    for (;;) {
        const LineFramer::Result result = m_framer.next(m_buffer, frame);
        if (result == LineFramer::Result::NeedMore) {
            return;
        }
        if (result == LineFramer::Result::Error) {
            m_buffer.clear();
            return;
        }
        // Bytes arrive while the server is in the middle of another member's command: answer later.
        if (frame.hasPayload && CommandLine::field(frame.fields, 0) == QLatin1String("CTOC")) {
            const QString sender = CommandLine::field(frame.fields, 2);
            const QByteArray payload = frame.payload;
            QTimer::singleShot(0, this, [this, sender, payload] {
                handleClientMessage(sender, payload);
            });
        } else {
            const QStringList fields = frame.fields;
            QTimer::singleShot(0, this, [this, fields] {
                handleLine(fields);
            });
        }
    }
}

void Bot::handleClientMessage(const QString &senderId, const QByteArray &payload)
{
    qCDebug(KZEMVIK_SERVER) << "bot" << m_account.loginId << "got a message from" << senderId << "kind" << payload.left(4);
}

bool Bot::sendClientMessage(const QString &recipientId, const QByteArray &payload)
{
    if (!m_signedIn || !m_pServer) {
        return false;
    }
    const StoredAccount recipient = m_pServer->store()->account(recipientId);
    if (!recipient.isValid() || m_pServer->store()->entry(recipient.cmn, m_account.cmn).bl) {
        return false;
    }
    const QByteArray line = QStringLiteral("CTOC 0 %1 %2\r\n").arg(m_account.loginId).arg(payload.size()).toUtf8();
    return m_pServer->deliver(recipient.cmn, line + payload);
}

void Bot::handleLine(const QStringList &fields)
{
    Q_UNUSED(fields)
}
