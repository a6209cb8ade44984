// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QFile;
class QTcpSocket;
class QTimer;

//! One file offered or accepted in a chat; filled and driven by the peer transfer, shown by the
//! transfer window. Fields are written directly by those owners.
class SendFileInfo : public QObject
{
    Q_OBJECT
public:
    //! A file offered in a chat (sender: the local path; receiver: the offered name).
    SendFileInfo(const QString &firstId, const QString &peerId, const QString &filePath, quint32 fileSize,
                 QObject *parent = nullptr);
    //! A relay request for a transfer this client has no record of.
    SendFileInfo(const QString &firstId, const QString &peerId, const QString &cookie, const QString &relayKey,
                 QObject *parent = nullptr);
    ~SendFileInfo() override;

    //! Time to wait for a direct peer connection before the relay is used.
    static constexpr int P2PTimeoutMs = 5000;

    //! The single-shot wait timer "timer", created on first use; firing emits P2PTimeout.
    QTimer *timer();

    int chunkCount = 0;
    bool connected = false;
    bool sending = false;
    QString firstId;
    QString peerId;
    QString filePath;
    quint32 fileSize = 0;
    int startOffset = 0;
    int bytesDone = 0;
    QString fileId;
    QString cookie;
    QString relayKey;
    //! The peer connection in use; not owned, may go first.
    QPointer<QTcpSocket> socket;
    bool relayRequested = false;
    int relayTid = 0;
    QString relayHost;
    int relayPort = 0;
    bool cancelled = false;
    //! The open source file on the sending side; owned.
    std::unique_ptr<QFile> sourceFile;

Q_SIGNALS:
    void P2PTimeout(SendFileInfo *info);

public Q_SLOTS:
    void slotP2PTimeout();

private:
    QTimer *m_pTimer = nullptr;
};
