// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "bot.h"
#include "buddy.h"
#include "chatsession.h"
#include "chattext.h"
#include "commandline.h"
#include "server_debug.h"
#include "sessionserver.h"

#include <QHostAddress>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>

namespace
{
//! What a scripted buddy says; some answers carry an emoticon code.
const char *const s_replies[] = {
    "안녕하세요! 반가워요.",
    "네, 그렇게 해요.",
    "ㅎㅎ 재밌네요 /방긋/",
    "잠시만요, 금방 올게요.",
    "좋아요! /짱/",
    "음... 생각해 볼게요.",
    "오늘 날씨 정말 좋네요 /해/",
    "저도 그렇게 생각해요.",
};
}

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

void Bot::setChatDelays(int typingMs, int replyMs)
{
    m_typingDelayMs = qMax(0, typingMs);
    m_replyDelayMs = qMax(0, replyMs);
}

int Bot::chatCount() const
{
    int count = 0;
    for (const QPointer<ChatSession> &chat : m_chats) {
        count += chat ? 1 : 0;
    }
    return count;
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
    if (payload.startsWith("INVT ")) {
        joinChat(senderId, CommandLine::split(QString::fromUtf8(payload)));
    }
}

void Bot::joinChat(const QString &inviterId, const QStringList &fields)
{
    // INVT inviter host port key
    if (fields.size() < 5 || !m_signedIn || !m_pServer) {
        return;
    }
    m_chats.removeAll(QPointer<ChatSession>());
    if (m_chats.size() >= MaxChats) {
        return;
    }
    // Only our own switchboard: an invitation must not make the service connect anywhere else.
    const QHostAddress host(fields.at(2));
    const int port = CommandLine::intField(fields, 3, 0);
    if (host.isNull() || !(host.isLoopback() || host == m_pServer->address()) || port <= 0 || port > 65535) {
        qCDebug(KZEMVIK_SERVER) << "bot" << m_account.loginId << "ignores an invitation to" << fields.at(2);
        return;
    }
    auto *chat = new ChatSession(this);
    ChatSession::Identity me;
    me.name = m_account.name;
    me.nick = m_account.nick.isEmpty() ? m_account.name : m_account.nick;
    me.cmn = QString::number(m_account.cmn);
    chat->setIdentity(me);
    chat->setOwnId(m_account.loginId);
    chat->setSwitchboard(fields.at(2), quint16(port), fields.at(4));
    chat->setStyleProvider([] {
        ChatStyle style;
        style.family = QStringLiteral("굴림");
        style.color = QColor(0, 0, 160);
        return style;
    });
    chat->setAwayReplyProvider([this](char) {
        ChatSession::AwayReply reply;
        const QString status = m_pServer ? m_pServer->status(m_account.cmn) : QString();
        reply.enabled = status == QLatin1String("A") || status == QLatin1String("B");
        reply.style.family = QStringLiteral("굴림");
        reply.text = QStringLiteral("지금은 자리에 없어요. 돌아오면 답할게요.");
        return reply;
    });
    chat->setEmoticonsProvider([] {
        return false;
    });
    connect(chat, &ChatSession::chatMessage, this, [this, chat](const QStringList &line, bool away) {
        if (!away) {
            answer(chat, ChatText::decodeBody(CommandLine::field(line, 4)).text);
        }
    });
    connect(chat, &ChatSession::participantsChanged, this, [this, chat] {
        // Once somebody was here and now nobody is, the conversation is over.
        const QList<Buddy *> people = chat->participants();
        const bool anybody = std::any_of(people.cbegin(), people.cend(), [](const Buddy *buddy) {
            return !buddy->inChat;
        });
        if (anybody) {
            chat->setProperty("kzemvikBotTalking", true);
        } else if (chat->property("kzemvikBotTalking").toBool()) {
            QTimer::singleShot(0, this, [this, chat] {
                endChat(chat);
            });
        }
    });
    chat->addParticipant(inviterId, true);
    m_chats.append(chat);
    if (!chat->connectToSwitchboard()) {
        endChat(chat);
    }
}

void Bot::answer(ChatSession *chat, const QString &text)
{
    Q_UNUSED(text)
    const QPointer<ChatSession> target(chat);
    QTimer::singleShot(m_typingDelayMs, chat, [this, target] {
        if (!target) {
            return;
        }
        target->sendTyping();
        QTimer::singleShot(m_replyDelayMs, target, [target] {
            if (target) {
                target->sendMessage(QString::fromUtf8(s_replies[QRandomGenerator::global()->bounded(int(std::size(s_replies)))]));
            }
        });
    });
}

void Bot::endChat(ChatSession *chat)
{
    if (!m_chats.contains(chat)) {
        return;
    }
    m_chats.removeAll(chat);
    chat->closeConversation();
    chat->disconnectFromSwitchboard(true);
    chat->deleteLater();
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
