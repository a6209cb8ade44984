// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "chatsession.h"
#include "account.h"
#include "buddy.h"
#include "buddylist.h"
#include "chat_debug.h"
#include "commandline.h"
#include "sendfileinfo.h"
#include "settings.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

#include <limits>

namespace
{
constexpr int DefaultTimeoutMs = 5000;
constexpr int MaxFileNameLength = 255;
const QString s_separator = QStringLiteral("%09");

//! One generator for the whole process, seeded once: two offers in the same second still differ.
QRandomGenerator &cookieGenerator()
{
    static QRandomGenerator generator(QRandomGenerator::system()->generate());
    return generator;
}

//! The offered name as something that can never leave the download folder.
QString safeBaseName(const QString &name)
{
    QString base = name.mid(qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1);
    base.remove(QLatin1Char('\0'));
    base = base.trimmed().left(MaxFileNameLength);
    if (base.isEmpty() || base == QLatin1String(".") || base == QLatin1String("..")) {
        return QStringLiteral("file");
    }
    return base;
}

ChatStyle configuredStyle()
{
    return ChatStyle::fromFont(Settings::chatFont(), Settings::chatFontColor());
}

ChatSession::AwayReply configuredAwayReply(char ownStatus)
{
    ChatSession::AwayReply reply;
    reply.enabled = (ownStatus == 'A' && Settings::useAwayMessage()) || (ownStatus == 'B' && Settings::useAwayMessageBusy());
    if (reply.enabled) {
        reply.style = ChatStyle::fromFont(Settings::awayMessageFont(), Settings::awayMessageFontColor());
        reply.text = Settings::awayMessage();
    }
    return reply;
}
}

ChatSession::ChatSession(QObject *parent)
    : QObject(parent)
    , m_framer(QSet<QString>())
    , m_pTypingTimer(new QTimer(this))
    , m_styleProvider(configuredStyle)
    , m_awayReplyProvider(configuredAwayReply)
    , m_emoticonsProvider(&Settings::useChatEmoticon)
{
    // The transfer signals carry records that queued connections and signal spies must know.
    qRegisterMetaType<SendFileInfo *>();
    m_pTypingTimer->setSingleShot(true);
    m_pTypingTimer->setInterval(DefaultTimeoutMs);
    connect(m_pTypingTimer, &QTimer::timeout, this, &ChatSession::slotTypeTimeOut);
    createSocket();
}

void ChatSession::createSocket()
{
    m_pSocket = new QTcpSocket(this);
    connect(m_pSocket, &QTcpSocket::connected, this, &ChatSession::slotConnected);
    connect(m_pSocket, &QTcpSocket::readyRead, this, &ChatSession::slotReadyRead);
    connect(m_pSocket, &QTcpSocket::disconnected, this, &ChatSession::slotDisconnected);
    connect(m_pSocket, &QAbstractSocket::errorOccurred, this, &ChatSession::slotSocketError);
}

ChatSession::~ChatSession()
{
    releaseSocket();
}

void ChatSession::setSwitchboard(const QString &host, quint16 port, const QString &key)
{
    m_host = host;
    m_port = port;
    m_key = key;
}

QString ChatSession::host() const
{
    return m_host;
}

quint16 ChatSession::port() const
{
    return m_port;
}

QString ChatSession::key() const
{
    return m_key;
}

void ChatSession::setOwnId(const QString &ownId)
{
    m_ownId = ownId;
}

QString ChatSession::ownId() const
{
    return m_ownId;
}

void ChatSession::setIdentity(const Identity &identity)
{
    m_identity = identity;
    m_hasIdentity = true;
}

ChatSession::Identity ChatSession::identity() const
{
    if (m_hasIdentity) {
        return m_identity;
    }
    const CurrentAccount *account = CurrentAccount::instance();
    return {account->name, account->nick, account->cmn, account->status};
}

void ChatSession::setBuddyList(BuddyList *buddies)
{
    m_pBuddyList = buddies;
}

BuddyList *ChatSession::buddyList() const
{
    if (m_pBuddyList) {
        return m_pBuddyList;
    }
    return CurrentAccount::instance()->buddyList;
}

void ChatSession::setFileOfferHandler(FileOfferHandler handler)
{
    m_fileOfferHandler = std::move(handler);
}

void ChatSession::setNickFitter(NickFitter fitter)
{
    m_nickFitter = std::move(fitter);
}

void ChatSession::setStyleProvider(StyleProvider provider)
{
    m_styleProvider = std::move(provider);
}

void ChatSession::setAwayReplyProvider(AwayReplyProvider provider)
{
    m_awayReplyProvider = std::move(provider);
}

void ChatSession::setEmoticonsProvider(std::function<bool()> provider)
{
    m_emoticonsProvider = std::move(provider);
}

void ChatSession::setTimeouts(int queueMs, int typingMs)
{
    if (!m_pQueueTimer) {
        m_pQueueTimer = new QTimer(this);
        m_pQueueTimer->setSingleShot(true);
        connect(m_pQueueTimer, &QTimer::timeout, this, &ChatSession::slotMessageQueueFail);
    }
    m_pQueueTimer->setInterval(queueMs);
    m_pTypingTimer->setInterval(typingMs);
}

// ---- connection

bool ChatSession::connectToSwitchboard()
{
    if (m_pSocket->state() != QAbstractSocket::UnconnectedState) {
        disconnectFromSwitchboard(false);
    }
    if (m_host.isEmpty() || m_port == 0) {
        return false;
    }
    m_pSocket->connectToHost(m_host, m_port);
    return m_pSocket->state() != QAbstractSocket::UnconnectedState;
}

void ChatSession::disconnectFromSwitchboard(bool silent)
{
    ++m_generation;
    releaseSocket();
    createSocket();
    m_buffer.clear();
    m_entered = false;
    markAllAbsent();
    if (!silent) {
        Q_EMIT disconnectedSS();
    }
}

void ChatSession::releaseSocket()
{
    // What was written (QUIT, then LOUT) is handed to the system before the socket is dropped;
    // a fresh socket takes its place, so our own close never runs the "connection dropped" path.
    QTcpSocket *old = std::exchange(m_pSocket, nullptr);
    old->disconnect(this);
    if (old->state() == QAbstractSocket::ConnectedState) {
        old->write("LOUT\r\n");
        old->flush();
    }
    old->abort();
    old->deleteLater();
}

bool ChatSession::isConnected() const
{
    return m_pSocket->state() == QAbstractSocket::ConnectedState;
}

bool ChatSession::isEntered() const
{
    return isConnected() && m_entered;
}

void ChatSession::slotConnected()
{
    const Identity me = identity();
    writeCommand(QStringLiteral("ENTR"),
                 CommandLine::escape(m_ownId) + QLatin1Char(' ') + CommandLine::escape(me.nick) + QLatin1Char(' ') + CommandLine::escape(me.name)
                     + QLatin1Char(' ') + CommandLine::escape(m_key) + QStringLiteral(" UTF8 P\r\n"));
    if (m_awayReplyProvider) {
        const AwayReply reply = m_awayReplyProvider(me.status);
        if (reply.enabled) {
            sendAwayReply(reply);
        }
    }
}

void ChatSession::slotDisconnected()
{
    // The switchboard went away: nobody is in a session with us any more, so what is typed
    // next waits in the queue and the controller invites everyone into the next session.
    ++m_generation;
    m_entered = false;
    m_buffer.clear();
    markAllAbsent();
}

void ChatSession::slotSocketError()
{
    if (m_pSocket->error() == QAbstractSocket::RemoteHostClosedError) {
        return; // the close itself is handled by slotDisconnected
    }
    qCDebug(KZEMVIK_CHAT) << "switchboard socket error" << m_pSocket->errorString();
    disconnectFromSwitchboard(false);
}

void ChatSession::markAllAbsent()
{
    bool changed = false;
    for (const QPointer<Buddy> &buddy : qAsConst(m_participants)) {
        if (buddy && !buddy->inChat) {
            buddy->inChat = true;
            changed = true;
        }
    }
    if (changed) {
        Q_EMIT participantsChanged();
    }
}

bool ChatSession::writeCommand(const QString &command, const QString &arguments)
{
    const QString line = command + QLatin1Char(' ') + QString::number(m_tid++) + QLatin1Char(' ') + arguments;
    if (!isConnected()) {
        askForSession();
        qCDebug(KZEMVIK_CHAT) << "[SS] Connection: WARNING - Attempting to write data to a disconnected socket." << command;
        return false;
    }
    if (m_writing) {
        qCWarning(KZEMVIK_CHAT) << "nested switchboard write dropped:" << command;
        return false;
    }
    m_writing = true;
    const QByteArray bytes = line.toUtf8();
    const qint64 written = m_pSocket->write(bytes);
    if (written != bytes.size()) {
        qCDebug(KZEMVIK_CHAT) << "Connection: WARNING - Wanted to write " << bytes.size() << " bytes to the socket, wrote " << written << ".";
    }
    m_writing = false;
    QString shown = line;
    shown.chop(2);
    Q_EMIT OutgoingMessage(QStringLiteral("[ Chat ] {") + shown + QLatin1Char('}'));
    return true;
}

// ---- reading

void ChatSession::slotReadyRead()
{
    // A handler may spin a nested event loop (the file offer question): the bytes that arrive
    // meanwhile wait in the socket and are read by this same loop when the handler returns.
    if (m_reading) {
        return;
    }
    m_reading = true;
    const QPointer<ChatSession> guard(this);
    const quint64 generation = m_generation;
    while (guard && generation == m_generation) {
        const QByteArray bytes = m_pSocket->readAll();
        if (!bytes.isEmpty()) {
            m_buffer.add(bytes);
        }
        LineFramer::Frame frame;
        const LineFramer::Result result = m_framer.next(m_buffer, frame);
        if (result == LineFramer::Result::Error) {
            qCWarning(KZEMVIK_CHAT) << "switchboard:" << m_framer.errorString();
            disconnectFromSwitchboard(false);
            break;
        }
        if (result == LineFramer::Result::NeedMore) {
            if (m_pSocket->bytesAvailable() > 0) {
                continue;
            }
            break;
        }
        Q_EMIT IncomingMessage(QStringLiteral("[ Chat ] {") + frame.line + QLatin1Char('}'));
        if (!frame.fields.isEmpty()) {
            dispatch(frame.fields);
        }
    }
    if (!guard) {
        return;
    }
    m_reading = false;
    if (m_pSocket->bytesAvailable() > 0) {
        // Bytes of a newer connection arrived while an older line was being handled.
        QMetaObject::invokeMethod(this, &ChatSession::slotReadyRead, Qt::QueuedConnection);
    }
}

void ChatSession::dispatch(const QStringList &fields)
{
    const QString command = fields.first();
    if (command == QLatin1String("WHSP")) {
        handleWhsp(fields);
    } else if (command == QLatin1String("MESG")) {
        handleMesg(fields);
    } else if (command == QLatin1String("ENTR")) {
        m_entered = true;
        Q_EMIT putINVT(this);
        if (allPresent()) {
            flushQueues();
        }
    } else if (command == QLatin1String("QUIT")) {
        handleQuit(fields);
    } else if (command == QLatin1String("JOIN")) {
        handleJoin(fields);
    } else if (command == QLatin1String("USER")) {
        handleUser(fields);
    }
}

void ChatSession::handleWhsp(const QStringList &fields)
{
    if (fields.size() < 5 || fields.at(3) != QLatin1String("FILE")) {
        return;
    }
    const QStringList elements = fields.at(4).split(s_separator, Qt::SkipEmptyParts);
    const QString kind = elements.value(0);
    Buddy *sender = findParticipant(fields.at(2));
    if (kind == QLatin1String("REQUEST")) {
        handleFileOffer(fields, elements);
    } else if (kind == QLatin1String("NACK")) {
        if (sender) {
            appendHtml(m_renderer.offerCancelledNotice(peerOf(sender)));
        }
        Q_EMIT cancelReceive(fields);
    } else if (kind == QLatin1String("CANCEL")) {
        if (sender) {
            appendHtml(m_renderer.offerCancelledNotice(peerOf(sender)));
            Q_EMIT cancelFileTransfer(elements.value(2));
        }
        Q_EMIT cancelReceiveAll(fields);
    }
}

void ChatSession::handleFileOffer(const QStringList &fields, const QStringList &elements)
{
    const QString senderId = fields.at(2);
    Q_EMIT showRequested();
    if (Buddy *sender = findParticipant(senderId)) {
        appendHtml(m_renderer.fileOfferedNotice(peerOf(sender)));
    }
    // The count is the peer's claim; only the specifications that are really there are read.
    const int claimed = CommandLine::intField(elements, 1, 0);
    const int count = qBound(0, claimed, qMax(0, int(elements.size()) - 2));
    const QString body = fields.at(4);
    QString refusal = body;
    refusal.replace(body.indexOf(QLatin1String("REQUEST")), int(qstrlen("REQUEST")), QStringLiteral("NACK"));
    const QPointer<ChatSession> guard(this);
    for (int i = 0; i < count; ++i) {
        const QStringList element = elements.at(i + 2).split(QLatin1Char('|'));
        if (element.size() < 3) {
            continue;
        }
        const QString fileName = safeBaseName(QString(element.at(0)).replace(QStringLiteral("%20"), QStringLiteral(" ")));
        bool ok = false;
        const quint32 size = element.at(1).toUInt(&ok); // a transfer record holds 32 bits
        if (!ok) {
            continue;
        }
        const bool accepted = m_fileOfferHandler && m_fileOfferHandler(senderId, fileName, size);
        if (!guard) {
            return;
        }
        if (accepted) {
            auto *info = new SendFileInfo(m_ownId, senderId, fileName, size, this);
            info->cookie = element.at(2);
            info->sending = false;
            m_transfers.append(info);
            Q_EMIT sendRECQNEW(this, info);
        } else {
            writeCommand(QStringLiteral("WHSP"), senderId + QStringLiteral(" FILE ") + refusal + QStringLiteral("\r\n"));
        }
    }
}

void ChatSession::handleMesg(const QStringList &fields)
{
    const QString kind = CommandLine::field(fields, 3);
    if (kind == QLatin1String("TYPING")) {
        Buddy *sender = findParticipant(CommandLine::field(fields, 2));
        if (!sender || CommandLine::field(fields, 4) != QLatin1String("1")) {
            return;
        }
        if (!m_typingShown) {
            m_savedInfoText = m_infoText;
        }
        const ChatPeer peer = peerOf(sender);
        m_infoText = ChatRenderer::typingNotice(peer, m_nickFitter ? m_nickFitter(peer.nick) : peer.nick);
        m_typingShown = true;
        m_pTypingTimer->start();
        Q_EMIT infoTextChanged(m_infoText);
        return;
    }
    const bool away = kind == QLatin1String("AWAYMSG");
    if (!away && kind != QLatin1String("MSG")) {
        return;
    }
    if (fields.size() < 5) {
        return;
    }
    if (Buddy *sender = findParticipant(fields.at(2))) {
        m_renderer.setEmoticonsEnabled(!m_emoticonsProvider || m_emoticonsProvider());
        const ChatRenderer::Message message = m_renderer.incomingMessage(peerOf(sender), fields.at(4), away);
        appendHtml(message.html);
        m_plainText += message.plain;
        m_content = true;
        Q_EMIT chatMessage(fields, away);
    } else {
        qCDebug(KZEMVIK_CHAT) << "pBuddy is 0 [" << fields.at(2) << "]";
    }
    m_infoText = ChatText::receptionTime(QDateTime::currentDateTime());
    m_typingShown = false;
    m_pTypingTimer->stop();
    Q_EMIT infoTextChanged(m_infoText);
}

void ChatSession::handleQuit(const QStringList &fields)
{
    Buddy *buddy = findParticipant(CommandLine::field(fields, 2));
    if (!buddy) {
        return;
    }
    buddy->inChat = true;
    if (fields.size() != 3 || m_participants.size() < 2) {
        Q_EMIT participantsChanged();
        return;
    }
    appendHtml(m_renderer.quitNotice(peerOf(buddy)));
    m_participants.removeAll(QPointer<Buddy>(buddy));
    if (buddy->parent() == this) {
        buddy->deleteLater();
    }
    Q_EMIT participantsChanged();
}

void ChatSession::handleJoin(const QStringList &fields)
{
    const QString loginId = CommandLine::field(fields, 2);
    if (loginId.isEmpty()) {
        return;
    }
    if (m_participants.size() > 1) {
        // "%00" stands for an empty name; the other escapes are decoded by the renderer.
        const auto shown = [&fields](int i) {
            const QString field = CommandLine::field(fields, i);
            return field == QLatin1String("%00") ? QString() : field;
        };
        appendHtml(m_renderer.joinNotice(shown(4), shown(3)));
    }
    if (Buddy *buddy = findParticipant(loginId)) {
        buddy->inChat = false;
        Q_EMIT participantsChanged();
    } else {
        addParticipant(loginId, false);
    }
    if (allPresent()) {
        flushQueues();
    }
}

void ChatSession::handleUser(const QStringList &fields)
{
    if (Buddy *buddy = findParticipant(CommandLine::field(fields, 2))) {
        buddy->inChat = false;
        Q_EMIT participantsChanged();
    } else {
        const QString loginId = CommandLine::field(fields, 4);
        if (loginId.isEmpty()) {
            return;
        }
        addParticipant(loginId, false);
    }
    if (allPresent()) {
        flushQueues();
    }
}

// ---- participants

Buddy *ChatSession::findParticipant(const QString &loginId) const
{
    if (loginId.isEmpty()) {
        return nullptr;
    }
    for (const QPointer<Buddy> &buddy : m_participants) {
        if (buddy && buddy->loginId == loginId) {
            return buddy;
        }
    }
    return nullptr;
}

QList<Buddy *> ChatSession::participants() const
{
    QList<Buddy *> out;
    for (const QPointer<Buddy> &buddy : m_participants) {
        if (buddy) {
            out.append(buddy);
        }
    }
    return out;
}

bool ChatSession::allPresent() const
{
    for (const QPointer<Buddy> &buddy : m_participants) {
        if (buddy && buddy->inChat) {
            return false;
        }
    }
    return true;
}

bool ChatSession::isNonBuddyConversation() const
{
    return m_nonBuddy;
}

Buddy *ChatSession::addParticipant(const QString &loginId, bool absent)
{
    Buddy *buddy = findParticipant(loginId);
    if (buddy) {
        buddy->inChat = absent;
    } else if (BuddyList *list = buddyList(); list && (buddy = list->findByLoginId(loginId))) {
        buddy->inChat = absent;
        m_participants.append(buddy);
    } else {
        buddy = new Buddy(this);
        buddy->status = QStringLiteral("X");
        buddy->setItemId(QStringLiteral("9999"));
        buddy->loginId = loginId;
        buddy->handle = QStringLiteral("9999999999");
        buddy->inChat = absent;
        qCDebug(KZEMVIK_CHAT) << "비버디 대화 ID : [" << loginId << "]";
        m_participants.append(buddy);
        m_nonBuddy = true;
        Q_EMIT nonBuddyParticipant(loginId);
    }
    Q_EMIT participantsChanged();
    Q_EMIT BuddyAdded(buddy);
    return buddy;
}

ChatPeer ChatSession::peerOf(const Buddy *buddy) const
{
    return {buddy->loginId, buddy->name, buddy->nick, buddy->status != QLatin1String("X")};
}

// ---- sending

void ChatSession::sendMessage(const QString &text)
{
    m_typingSent = false;
    if (text.isEmpty()) {
        return;
    }
    if (allPresent() && isEntered() && sendNow(text)) {
        return;
    }
    // Nobody must lose a message: it waits for the session, and the queue timer ends the wait.
    m_pendingMessages.append(text);
    if (!isConnected()) {
        qCDebug(KZEMVIK_CHAT) << "XXX>> Socket is Not Connected!!! [" << m_host << "] [" << m_port << "]";
    }
    startQueueTimer();
    if (!allPresent()) {
        Q_EMIT newConnectSS(this);
    } else {
        askForSession();
    }
}

void ChatSession::askForSession()
{
    // While a connection is being made the session is already on its way.
    if (m_pSocket->state() == QAbstractSocket::UnconnectedState) {
        Q_EMIT newConnectSS(this);
    }
}

bool ChatSession::sendNow(const QString &text)
{
    const ChatStyle style = m_styleProvider ? m_styleProvider() : ChatStyle();
    if (!writeCommand(QStringLiteral("MESG"), QStringLiteral("MSG ") + ChatText::encodeBody(style, text) + QStringLiteral("\r\n"))) {
        return false;
    }
    const Identity me = identity();
    m_renderer.setEmoticonsEnabled(!m_emoticonsProvider || m_emoticonsProvider());
    const ChatRenderer::Message echo = m_renderer.ownMessage(me.name, me.nick, style, text);
    appendHtml(echo.html);
    m_plainText += echo.plain;
    m_content = true;
    return true;
}

void ChatSession::sendAwayReply(const AwayReply &reply)
{
    const ChatStyle &style = reply.style;
    const QString &text = reply.text;
    if (!writeCommand(QStringLiteral("MESG"), QStringLiteral("AWAYMSG ") + ChatText::encodeBody(style, text) + QStringLiteral("\r\n"))) {
        qCDebug(KZEMVIK_CHAT) << "XXX>> Socket is Not Connected!!! [" << m_host << "] [" << m_port << "]";
        return;
    }
    const Identity me = identity();
    const ChatRenderer::Message echo = m_renderer.ownMessage(me.name, me.nick, style, text);
    appendHtml(echo.html);
    m_plainText += echo.plain;
    m_content = true;
}

void ChatSession::sendTyping()
{
    if (m_typingSent) {
        return;
    }
    m_typingSent = true;
    writeCommand(QStringLiteral("MESG"), QStringLiteral("TYPING 1\r\n"));
}

void ChatSession::startQueueTimer()
{
    if (!m_pQueueTimer) {
        setTimeouts(DefaultTimeoutMs, m_pTypingTimer->interval());
    }
    m_pQueueTimer->start();
}

void ChatSession::flushQueues()
{
    if (m_pQueueTimer) {
        m_pQueueTimer->stop();
    }
    if (!isConnected()) {
        return;
    }
    QStringList messages = std::exchange(m_pendingMessages, {});
    while (!messages.isEmpty()) {
        if (!sendNow(messages.first())) {
            // The connection broke while flushing: the rest waits for the next session.
            m_pendingMessages = messages + m_pendingMessages;
            startQueueTimer();
            return;
        }
        messages.removeFirst();
    }
    const QStringList files = std::exchange(m_pendingFiles, {});
    if (!files.isEmpty()) {
        offerNow(files);
    }
}

void ChatSession::slotMessageQueueFail()
{
    QStringList missing;
    for (const QPointer<Buddy> &buddy : qAsConst(m_participants)) {
        if (buddy && buddy->inChat) {
            missing.append(buddy->name.isEmpty() ? buddy->loginId : buddy->name);
        }
    }
    if (isEntered()) {
        // Whoever is in the session gets what was queued; the window names the others.
        if (!missing.isEmpty()) {
            Q_EMIT participantsUnavailable(missing);
        }
        flushQueues();
        return;
    }
    // No session came up: stop waiting and say what did not go out.
    const QStringList messages = std::exchange(m_pendingMessages, {});
    const QStringList files = std::exchange(m_pendingFiles, {});
    if (!missing.isEmpty()) {
        Q_EMIT participantsUnavailable(missing);
    }
    if (!messages.isEmpty()) {
        Q_EMIT messagesFailed(messages);
    }
    if (!files.isEmpty()) {
        Q_EMIT filesFailed(files);
    }
}

void ChatSession::offerFiles(const QStringList &paths)
{
    if (paths.isEmpty()) {
        return;
    }
    if (allPresent() && isEntered()) {
        offerNow(paths);
        return;
    }
    if (!isConnected()) {
        qCDebug(KZEMVIK_CHAT) << "XXX>> Socket is Not Connected!!! [" << m_host << "] [" << m_port << "]";
    }
    m_pendingFiles = paths;
    startQueueTimer();
    if (!allPresent()) {
        Q_EMIT newConnectSS(this);
    } else {
        askForSession();
    }
}

QString ChatSession::newCookie(int k) const
{
    QRandomGenerator &generator = cookieGenerator();
    const int a = int(generator.bounded(1000)) + k;
    const int b = int(generator.bounded(1000)) + k;
    return QString::number(a) + QLatin1Char(':') + identity().cmn + QLatin1Char(':') + QString::number(b);
}

void ChatSession::offerNow(const QStringList &paths)
{
    QStringList tooLarge;
    int k = 2;
    for (const QString &path : paths) {
        const QString cookie = newCookie(k++);
        const qint64 size = QFileInfo(path).size();
        if (size > qint64(std::numeric_limits<quint32>::max())) {
            tooLarge.append(path);
            continue;
        }
        QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        name.replace(QLatin1Char('|'), QLatin1Char('_'));
        name = ChatText::wireText(name);
        for (Buddy *buddy : participants()) {
            if (!writeCommand(QStringLiteral("WHSP"),
                              buddy->loginId + QStringLiteral(" FILE REQUEST%091%09") + name + QLatin1Char('|') + QString::number(size) + QLatin1Char('|')
                                  + cookie + QStringLiteral("\r\n"))) {
                continue;
            }
            auto *info = new SendFileInfo(m_ownId, buddy->loginId, path, quint32(size), this);
            info->cookie = cookie;
            info->sending = true;
            appendHtml(m_renderer.ownFileOfferNotice(peerOf(buddy)));
            m_transfers.append(info);
            Q_EMIT sendFile(info);
        }
    }
    if (!tooLarge.isEmpty()) {
        Q_EMIT filesFailed(tooLarge);
    }
}

void ChatSession::sendFileCancel(const QString &fileSpec)
{
    for (Buddy *buddy : participants()) {
        writeCommand(QStringLiteral("WHSP"), buddy->loginId + QStringLiteral(" FILE CANCEL%091%09") + fileSpec + QStringLiteral("\r\n"));
    }
}

void ChatSession::closeConversation()
{
    if (!m_content) {
        return;
    }
    writeCommand(QStringLiteral("MESG"), m_ownId + QStringLiteral(" TYPING 2\r\n"));
    writeCommand(QStringLiteral("QUIT"), m_ownId + QStringLiteral("\r\n"));
}

void ChatSession::slotTypeTimeOut()
{
    if (m_typingShown) {
        m_typingShown = false;
        m_infoText = m_savedInfoText;
        Q_EMIT infoTextChanged(m_infoText);
    }
}

void ChatSession::appendHtml(const QString &html)
{
    Q_EMIT htmlAppended(html);
}

// ---- accessors

bool ChatSession::hasContent() const
{
    return m_content;
}

QString ChatSession::plainText() const
{
    return m_plainText;
}

QString ChatSession::infoText() const
{
    return m_infoText;
}

QStringList ChatSession::pendingMessages() const
{
    return m_pendingMessages;
}

QStringList ChatSession::pendingFiles() const
{
    return m_pendingFiles;
}

QList<SendFileInfo *> ChatSession::transfers() const
{
    QList<SendFileInfo *> out;
    for (const QPointer<SendFileInfo> &info : m_transfers) {
        if (info) {
            out.append(info);
        }
    }
    return out;
}

ChatRenderer &ChatSession::renderer()
{
    return m_renderer;
}

QStringList ChatSession::idsFromPickedText(const QString &text)
{
    static const QRegularExpression bracketed(QStringLiteral("<([^<>@\\s]+@[^<>\\s]+)>"));
    QStringList ids;
    auto it = bracketed.globalMatch(text);
    while (it.hasNext()) {
        const QString id = it.next().captured(1);
        if (!ids.contains(id)) {
            ids.append(id);
        }
    }
    return ids;
}
