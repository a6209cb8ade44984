// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "zemvikdpconnection.h"
#include "account.h"
#include "buddy.h"
#include "buddylist.h"
#include "commandline.h"
#include "group.h"
#include "grouplist.h"
#include "mimemessage.h"
#include "protocol_debug.h"
#include "settings.h"
#include "signindigest.h"
#include "ssconnection.h"

using CommandLine::field;

namespace
{
const QString s_crlf = QStringLiteral("\r\n");

bool isWord(const QStringList &command, int i, const char *word)
{
    return field(command, i) == QLatin1String(word);
}

//! A decimal field; ok is false when it is missing or not a number.
int number(const QStringList &command, int i, bool *ok)
{
    *ok = false;
    return i < command.size() ? command.at(i).toInt(ok) : 0;
}

//! Index and count of a list line say whether it was the last one.
bool isLastLine(const QStringList &command)
{
    bool indexOk = false;
    bool countOk = false;
    const int index = number(command, 2, &indexOk);
    const int count = number(command, 3, &countOk);
    return indexOk && countOk && index >= 0 && index + 1 == count;
}
}

ZemvikDPConnection::ZemvikDPConnection(QObject *parent)
    : ZemvikConnection(QStringLiteral("zemvikdpconnection"), parent)
    , m_pBuddyList(new BuddyList(this))
    , m_pGroupList(new GroupList(this))
{
}

ZemvikDPConnection::~ZemvikDPConnection()
{
    if (m_pCurrentAccount) {
        if (m_pCurrentAccount->buddyList == m_pBuddyList) {
            m_pCurrentAccount->buddyList = nullptr;
        }
        if (m_pCurrentAccount->groupList == m_pGroupList) {
            m_pCurrentAccount->groupList = nullptr;
        }
    }
    // Buddies and groups are children of their lists and go with them.
}

bool ZemvikDPConnection::initialize()
{
    if (!ZemvikConnection::initialize()) {
        return false;
    }
    m_pCurrentAccount->buddyList = m_pBuddyList;
    m_pCurrentAccount->groupList = m_pGroupList;
    return true;
}

bool ZemvikDPConnection::connectToServer()
{
    if (!m_pCurrentAccount) {
        qCWarning(KZEMVIK_PROTOCOL) << "session connection used before initialize()";
        return false;
    }
    return connectToServer(m_pCurrentAccount->serverHost(), m_pCurrentAccount->serverPort());
}

void ZemvikDPConnection::disconnectFromServer()
{
    setSendPings(false);
    closeConnection(false);
}

BuddyList *ZemvikDPConnection::buddyList() const
{
    return m_pBuddyList;
}

GroupList *ZemvikDPConnection::groupList() const
{
    return m_pGroupList;
}

int ZemvikDPConnection::groupListVersion() const
{
    return m_groupListVersion;
}

QStringList ZemvikDPConnection::ungroupedList() const
{
    return m_ungroupedList;
}

int ZemvikDPConnection::requestSwitchboard()
{
    return sendCommand(QStringLiteral("RESS"), s_crlf);
}

void ZemvikDPConnection::addToDefaultGroup(const QString &cmn)
{
    if (m_memberSet.contains(cmn)) {
        return;
    }
    if (Group *group = m_pGroupList->findGroupById(QStringLiteral("0"))) {
        group->addBuddy(cmn);
    }
    qCDebug(KZEMVIK_PROTOCOL) << "Add New Buddy on 0-Group :" << cmn;
}

int ZemvikDPConnection::sendAddGroup(const QString &name)
{
    if (name.trimmed().isEmpty()) {
        qCWarning(KZEMVIK_PROTOCOL) << "a group needs a name; nothing sent";
        return -1;
    }
    return sendCommand(QStringLiteral("ADDG"), QString::number(m_groupListVersion) + QLatin1Char(' ') + CommandLine::escape(name) + s_crlf);
}

int ZemvikDPConnection::sendRemoveGroup(const QString &groupId)
{
    return sendCommand(QStringLiteral("RMVG"), QString::number(m_groupListVersion) + QLatin1Char(' ') + CommandLine::escape(groupId) + s_crlf);
}

int ZemvikDPConnection::sendRenameGroup(const QString &groupId, const QString &name)
{
    if (name.trimmed().isEmpty()) {
        qCWarning(KZEMVIK_PROTOCOL) << "a group needs a name; nothing sent";
        return -1;
    }
    return sendCommand(QStringLiteral("RENG"),
                       QString::number(m_groupListVersion) + QLatin1Char(' ') + CommandLine::escape(groupId) + QLatin1Char(' ') + CommandLine::escape(name)
                           + s_crlf);
}

int ZemvikDPConnection::sendBuddyRequest(const QString &id, const QString &message)
{
    // Every line break travels as CR LF.
    QString text = message;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return sendCommand(QStringLiteral("ADSB"), QStringLiteral("REQST %00 ") + CommandLine::escape(id) + QStringLiteral(" 0 ") + CommandLine::escape(text) + s_crlf);
}

int ZemvikDPConnection::sendClientMessage(const QString &argument)
{
    return sendCommand(QStringLiteral("CTOC"), argument);
}

int ZemvikDPConnection::sendClientPayload(const QString &recipient, const QString &payload)
{
    return sendPayloadCommand(QStringLiteral("CTOC"), recipient + QStringLiteral(" N"), payload);
}

void ZemvikDPConnection::sendClientLine(const QString &text)
{
    sendCommand(QStringLiteral("CTOC"), text + s_crlf);
}

void ZemvikDPConnection::changeStatus(const QString &letter)
{
    sendCommand(QStringLiteral("ONST"), letter + QStringLiteral(" 0 %00 1\r\n"));
}

void ZemvikDPConnection::slotChangeStatusOnline()
{
    changeStatus(QStringLiteral("O"));
}

void ZemvikDPConnection::slotChangeStatusAway()
{
    changeStatus(QStringLiteral("A"));
}

void ZemvikDPConnection::slotChangeStatusBusy()
{
    changeStatus(QStringLiteral("B"));
}

void ZemvikDPConnection::slotChangeStatusPhone()
{
    changeStatus(QStringLiteral("P"));
}

void ZemvikDPConnection::slotChangeStatusMeeting()
{
    changeStatus(QStringLiteral("M"));
}

void ZemvikDPConnection::slotChangeStatusOffline()
{
    changeStatus(QStringLiteral("F"));
}

void ZemvikDPConnection::slotPutLockList(const QStringList &entries)
{
    for (const QString &entry : entries) {
        sendCommand(QStringLiteral("ADDB"), QStringLiteral("BL ") + entry + s_crlf);
    }
}

void ZemvikDPConnection::slotPutUnlockList(const QStringList &entries)
{
    for (const QString &entry : entries) {
        sendCommand(QStringLiteral("ADDB"), QStringLiteral("AL ") + entry + s_crlf);
    }
}

void ZemvikDPConnection::slotRealDelete(const QString &id)
{
    sendCommand(QStringLiteral("RMVB"), QStringLiteral("BL %00 ") + id + s_crlf);
    if (Buddy *buddy = m_pBuddyList->findByLoginId(id)) {
        m_pBuddyList->remove(buddy);
    }
}

void ZemvikDPConnection::slotSendLock(const QString &id)
{
    if (Buddy *buddy = m_pBuddyList->findByLoginId(id)) {
        sendCommand(QStringLiteral("ADDB"), QStringLiteral("BL ") + buddy->handle + QLatin1Char(' ') + id + s_crlf);
    }
}

void ZemvikDPConnection::slotSendUnlock(const QString &id)
{
    if (Buddy *buddy = m_pBuddyList->findByLoginId(id)) {
        sendCommand(QStringLiteral("ADDB"), QStringLiteral("AL ") + buddy->handle + QLatin1Char(' ') + id + s_crlf);
    }
}

void ZemvikDPConnection::connectionSuccess()
{
    stopConnectionTimer();
    if (!m_pCurrentAccount) {
        qCWarning(KZEMVIK_PROTOCOL) << "session connection used before initialize()";
        return;
    }
    const QString loginId = m_pCurrentAccount->loginID();
    const QString digest = SignInDigest::digest(m_pCurrentAccount->password(), loginId, Settings::serviceDomain());
    sendCommand(QStringLiteral("LSIN"), loginId + QLatin1Char(' ') + digest + QStringLiteral(" MD5 3.871 UTF8\r\n"));
}

void ZemvikDPConnection::slotAddAccept(const QString &cmn, const QString &id)
{
    sendCommand(QStringLiteral("ADSB"), QStringLiteral("ACCPT ") + cmn + QLatin1Char(' ') + id + QStringLiteral(" 0 %00 \r\n"));
    if (Group *group = m_pGroupList->findGroupById(QStringLiteral("0"))) {
        group->addBuddy(cmn);
    }
}

void ZemvikDPConnection::slotAddReject(const QString &cmn, const QString &id)
{
    sendCommand(QStringLiteral("ADSB"), QStringLiteral("REJCT ") + cmn + QLatin1Char(' ') + id + QStringLiteral(" 0 %00 \r\n"));
}

void ZemvikDPConnection::slotChangeNick(const QString &nick)
{
    sendCommand(QStringLiteral("CNIK"), CommandLine::escape(nick) + s_crlf);
}

bool ZemvikDPConnection::isShort(const QStringList &command, int needed) const
{
    if (command.size() >= needed) {
        return false;
    }
    qCWarning(KZEMVIK_PROTOCOL) << "ignoring a short" << field(command, 0) << "line:" << command.size() << "fields, needs" << needed;
    return true;
}

void ZemvikDPConnection::parseCommand(const QStringList &command)
{
    const QString word = field(command, 0);
    if (word.isEmpty()) {
        return;
    }
    if (word == QLatin1String("LSIN")) {
        handleSignIn(command);
    } else if (word == QLatin1String("GLST")) {
        handleGroupLine(command);
    } else if (word == QLatin1String("LIST")) {
        handleBuddyLine(command);
    } else if (word == QLatin1String("PING")) {
        sendCommand(QStringLiteral("PING"), s_crlf);
    } else if (word == QLatin1String("PACK")) {
        bool ok = false;
        number(command, 1, &ok);
        if (!ok) {
            qCWarning(KZEMVIK_PROTOCOL) << "PACK without a transaction number";
            return;
        }
        writeLine(QStringLiteral("PNAK "), command.at(1) + s_crlf);
    } else if (word == QLatin1String("RESS")) {
        handleSwitchboard(command);
    } else if (word == QLatin1String("INFY") || word == QLatin1String("NTFY")) {
        if (!isShort(command, 4)) {
            Q_EMIT receivedINFY(command);
        }
    } else if (word == QLatin1String("ADDG") || word == QLatin1String("RMVG") || word == QLatin1String("RENG")) {
        if (isShort(command, 3)) {
            return;
        }
        m_groupListVersion = CommandLine::intField(command, 2, m_groupListVersion);
        if (word == QLatin1String("ADDG")) {
            Q_EMIT receivedADDG(command);
        } else if (word == QLatin1String("RMVG")) {
            Q_EMIT receivedRMVG(command);
        } else {
            Q_EMIT receivedRENG(command);
        }
    } else if (word == QLatin1String("ADSB")) {
        handleBuddyRequest(command);
    } else if (word == QLatin1String("ADDB")) {
        handleListAddition(command);
    } else if (word == QLatin1String("200")) {
        Q_EMIT err200();
    } else if (word == QLatin1String("201")) {
        Q_EMIT err201();
    } else if (word == QLatin1String("202")) {
        Q_EMIT err202();
    } else if (word == QLatin1String("300")) {
        Q_EMIT err300();
    } else if (word == QLatin1String("301")) {
        Q_EMIT err301(command);
    } else if (word == QLatin1String("302")) {
        Q_EMIT err302();
    } else if (word == QLatin1String("304")) {
        Q_EMIT err304();
    } else if (word == QLatin1String("306")) {
        Q_EMIT err306();
    } else if (word == QLatin1String("309")) {
        Q_EMIT err309();
    } else if (word == QLatin1String("421")) {
        Q_EMIT err421();
    } else if (word == QLatin1String("500")) {
        Q_EMIT err500(command);
    } else if (word == QLatin1String("REFR")) {
        Q_EMIT receivedREFR(command);
    } else if (word == QLatin1String("CPRF")) {
        Q_EMIT receivedCPRF(command);
    } else if (word == QLatin1String("NNIK")) {
        if (!isShort(command, 4)) {
            Q_EMIT receivedNNIK(command);
        }
    } else if (word == QLatin1String("NPRF")) {
        Q_EMIT receivedNPRF(command);
    } else if (word == QLatin1String("ALRM")) {
        Q_EMIT receivedALRM(command);
    } else if (word == QLatin1String("CALM")) {
        Q_EMIT receivedCALM(command);
    } else if (word == QLatin1String("TICK")) {
        if (!isShort(command, 3) && m_pCurrentAccount) {
            m_pCurrentAccount->ticket = command.at(2);
        }
    } else if (word == QLatin1String("KILL")) {
        Q_EMIT kill();
    } else if (word == QLatin1String("RMVB")) {
        if (isWord(command, 1, "0")) {
            handleListRemoval(command);
        }
    }
}

void ZemvikDPConnection::handleSignIn(const QStringList &command)
{
    if (isShort(command, 16) || !m_pCurrentAccount) {
        return;
    }
    CurrentAccount *account = m_pCurrentAccount;
    account->cmn = command.at(2);
    account->name = CommandLine::unescape(command.at(3));
    account->nick = command.at(4) == QLatin1String("%00") ? account->name : CommandLine::unescape(command.at(4));
    account->loginText5 = command.at(5);
    account->loginText6 = command.at(6);
    account->ticket = command.at(7);
    account->mvCmn = command.at(8);
    account->loginNumber9 = CommandLine::intField(command, 9);
    account->loginText10 = command.at(10);
    account->loginText11 = command.at(11);
    const QChar type = command.at(12).isEmpty() ? QChar() : command.at(12).at(0);
    account->accountType = type.unicode() < 256 ? char(type.unicode()) : 0;
    account->loginText13 = command.at(13);
    account->tirnID = command.at(14);
    account->mvID = command.at(15);
    account->loginFlag16 = isWord(command, 16, "Y");
    account->loginFlag17 = isWord(command, 17, "Y");
    account->kivraNew = false;

    sendCommand(QStringLiteral("CONF"), QStringLiteral("0 0\r\n"));
    Q_EMIT receivedLSIN();
    Q_EMIT updateStatusText(QStringLiteral("인증 성공"));
}

void ZemvikDPConnection::startGroupDownload()
{
    m_memberSet.clear();
    m_ungroupedList.clear();
    // The old entries may still be shown somewhere: forget them, do not delete them here.
    m_pBuddyList->clear();
    m_pGroupList->clear();
    sendCommand(QStringLiteral("GLST"), QStringLiteral("0\r\n"));
}

void ZemvikDPConnection::handleGroupLine(const QStringList &command)
{
    Q_EMIT updateStatusText(QStringLiteral("그룹 목록 받음"));
    switch (command.size()) {
    case 3:
        m_groupListVersion = CommandLine::intField(command, 2, m_groupListVersion);
        break;
    case 8:
        if (Group *group = m_pGroupList->appendGroup(command.at(5), CommandLine::unescape(command.at(6)))) {
            group->setParent(m_pGroupList);
        }
        break;
    case 7:
        if (Group *group = m_pGroupList->findGroupById(command.at(6))) {
            group->addBuddy(command.at(5));
            m_memberSet.insert(command.at(5));
        } else {
            qCDebug(KZEMVIK_PROTOCOL) << "membership line for an unknown group" << command.at(6);
        }
        break;
    default:
        qCDebug(KZEMVIK_PROTOCOL) << "GLST line with" << command.size() << "fields ignored";
        break;
    }
    if (command.size() > 3 && isLastLine(command)) {
        sendCommand(QStringLiteral("LIST"), s_crlf);
    }
}

void ZemvikDPConnection::handleBuddyLine(const QStringList &command)
{
    Q_EMIT updateStatusText(QStringLiteral("버디 목록 받음"));
    if (Buddy *buddy = Buddy::fromListLine(command)) {
        buddy->setParent(m_pBuddyList);
        if (command.at(4) == QLatin1String("0001")) {
            Q_EMIT addCommandQueue(command);
        }
        if (!m_memberSet.contains(buddy->handle)) {
            qCDebug(KZEMVIK_PROTOCOL) << "Error No Group :" << buddy->handle;
            if (Group *group = m_pGroupList->findGroupById(QStringLiteral("0"))) {
                group->addBuddy(buddy->handle);
            }
            m_ungroupedList.append(buddy->handle);
        }
        m_pBuddyList->append(buddy);
    }
    if (isLastLine(command)) {
        Q_EMIT connected();
        setSendPings(true);
    }
}

void ZemvikDPConnection::handleSwitchboard(const QStringList &command)
{
    if (isShort(command, 5)) {
        return;
    }
    bool tidOk = false;
    bool portOk = false;
    const int tid = number(command, 1, &tidOk);
    const int port = number(command, 3, &portOk);
    if (!tidOk || !portOk || port < 1 || port > 65535) {
        qCWarning(KZEMVIK_PROTOCOL) << "RESS answer without a usable address ignored";
        return;
    }
    auto *switchboard = new SSConnection;
    switchboard->tid = tid;
    switchboard->serverHost = command.at(2);
    switchboard->serverPort = port;
    switchboard->key = command.at(4);
    m_pSwitchboard = switchboard;
    Q_EMIT ReceiveRESS(switchboard);
}

Buddy *ZemvikDPConnection::requestedBuddy(const QStringList &command) const
{
    // "ADSB 0 ACCPT|REJCT <CMN> <ID> ...": a request in flight has a provisional CMN, so
    // fall back to the ID.
    if (Buddy *buddy = m_pBuddyList->findByHandle(field(command, 3))) {
        return buddy;
    }
    const QString id = field(command, 4);
    return id.isEmpty() ? nullptr : m_pBuddyList->findByLoginId(id);
}

void ZemvikDPConnection::handleBuddyRequest(const QStringList &command)
{
    if (isShort(command, 3)) {
        return;
    }
    const QString kind = command.at(2);
    const bool serverInitiated = command.at(1) == QLatin1String("0");
    if (kind == QLatin1String("REQST")) {
        Q_EMIT receivedREQST(command);
    } else if (kind == QLatin1String("ACCPT") && serverInitiated) {
        if (Buddy *buddy = requestedBuddy(command)) {
            const QString cmn = field(command, 3);
            if (buddy->handle.startsWith(QLatin1String("TID:")) && !cmn.isEmpty()) {
                buddy->handle = cmn;
                m_pBuddyList->reindex();
            }
            Q_EMIT allowAccept(buddy);
        }
    } else if (kind == QLatin1String("ACCPT")) {
        if (isShort(command, 5)) {
            return;
        }
        if (Buddy *buddy = m_pBuddyList->findByHandle(command.at(3))) {
            buddy->name = CommandLine::unescape(command.at(4));
            Q_EMIT refreshBuddyList();
        }
    } else if (kind == QLatin1String("REJCT") && serverInitiated) {
        if (Buddy *buddy = requestedBuddy(command)) {
            buddy->loginId = QStringLiteral("XXX");
            m_pBuddyList->reindex();
        }
        Q_EMIT receivedREJCT(command);
    } else if (kind != QLatin1String("REJCT")) {
        qCDebug(KZEMVIK_PROTOCOL) << "ADSB of an unknown kind:" << kind;
    }
}

void ZemvikDPConnection::handleListAddition(const QStringList &command)
{
    if (!isWord(command, 1, "0") || isShort(command, 5)) {
        return;
    }
    const QString list = command.at(2);
    Buddy *buddy = m_pBuddyList->findByLoginId(command.at(4));
    if (!buddy) {
        if (list == QLatin1String("RL")) {
            Q_EMIT showAddConfirm(command);
        }
        return;
    }
    if (list == QLatin1String("RL")) {
        buddy->onReverseList = true;
    } else if (list == QLatin1String("BL")) {
        buddy->blocked = true;
        buddy->onAllowList = false;
    } else if (list == QLatin1String("AL")) {
        buddy->onAllowList = true;
        buddy->blocked = false;
    } else if (list == QLatin1String("FL")) {
        buddy->onForwardList = true;
    }
}

void ZemvikDPConnection::handleListRemoval(const QStringList &command)
{
    if (isShort(command, 5)) {
        return;
    }
    Buddy *buddy = m_pBuddyList->findByLoginId(command.at(4));
    if (!buddy) {
        return;
    }
    const QString list = command.at(2);
    if (list == QLatin1String("RL")) {
        buddy->onReverseList = false;
    } else if (list == QLatin1String("BL")) {
        buddy->blocked = false;
        buddy->onAllowList = true;
    } else if (list == QLatin1String("AL")) {
        buddy->onAllowList = false;
        buddy->blocked = true;
    } else if (list == QLatin1String("FL")) {
        buddy->onForwardList = false;
    }
}

void ZemvikDPConnection::parseMimeMessage(const QString &kind, const QStringList &command, const QByteArray &payload)
{
    const QString word = field(command, 0);
    if (word == QLatin1String("CONF")) {
        startGroupDownload(); // the configuration itself is not interpreted
        return;
    }
    if (word != QLatin1String("CTOC") || isShort(command, 3)) {
        return;
    }
    if (kind == QLatin1String("IMSG")) {
        const MimeMessage message(payload);
        qCDebug(KZEMVIK_PROTOCOL) << "memo from" << command.at(2) << payload.size() << "bytes";
        Q_EMIT receivedMemoCTOC(message);
    } else {
        qCDebug(KZEMVIK_PROTOCOL) << "MESSAGE : [" << kind << "]";
    }
}

void ZemvikDPConnection::parsePayloadMessage(const QStringList &command, const QString &payload)
{
    if (!isWord(command, 0, "CTOC") || isShort(command, 3)) {
        return;
    }
    if (payload.startsWith(QLatin1String("INVT"))) {
        Q_EMIT receivedINVT(payload.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    } else if (payload.startsWith(QLatin1String("REQC"))) {
        handleFileRequest(command, payload);
    }
}

void ZemvikDPConnection::handleFileRequest(const QStringList &command, const QString &payload)
{
    // The line's fields, then the payload's words: 2 the sender, 4 "REQC", 5 the kind.
    QStringList combined = command;
    const QStringList words = payload.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &word : words) {
        const QString trimmed = word.trimmed();
        if (!trimmed.isEmpty()) {
            combined << trimmed;
        }
    }
    if (!isWord(combined, 4, "REQC") || isShort(combined, 6)) {
        qCWarning(KZEMVIK_PROTOCOL) << "malformed file transfer request ignored";
        return;
    }
    const QString kind = combined.at(5);
    if (kind == QLatin1String("NEW")) {
        if (isShort(combined, 8)) {
            return;
        }
        const QString ip = getLocalIp();
        if (ip.isEmpty()) {
            qCWarning(KZEMVIK_PROTOCOL) << "no local address to offer for a file transfer";
            return;
        }
        sendClientPayload(combined.at(2), QStringLiteral("REQC RES ") + ip + QLatin1Char(':') + QString::number(Settings::p2pPort()) + QLatin1Char(' ') + combined.at(7) + s_crlf);
        Q_EMIT connectToP2P(combined);
    } else if (kind == QLatin1String("FR")) {
        Q_EMIT connectP2PFR(combined);
    } else if (kind == QLatin1String("RES")) {
        Q_EMIT connectToP2P(combined);
    }
}
