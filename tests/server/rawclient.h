// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "commandline.h"
#include "kzemvikbuffer.h"
#include "lineframer.h"
#include "signindigest.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>

//! A bare protocol client for service tests: writes raw lines and collects what the server sends,
//! while the event loop keeps running (the service may live in the same process).
class RawClient
{
public:
    using Frame = LineFramer::Frame;

    RawClient()
        : m_framer(QSet<QString>{QStringLiteral("CTOC"), QStringLiteral("CONF")})
    {
    }

    bool connectTo(const QHostAddress &host, quint16 port)
    {
        m_socket.connectToHost(host, port);
        return QTest::qWaitFor([this] {
            return m_socket.state() == QAbstractSocket::ConnectedState;
        });
    }

    void send(const QByteArray &bytes)
    {
        m_socket.write(bytes);
        m_socket.flush();
    }

    bool isConnected()
    {
        pump();
        return m_socket.state() == QAbstractSocket::ConnectedState;
    }

    bool waitForDisconnected(int timeoutMs = 5000)
    {
        return QTest::qWaitFor(
            [this] {
                return !isConnected();
            },
            timeoutMs);
    }

    //! Waits for the first frame whose line starts with prefix and takes it out of the received ones.
    bool waitFor(const QString &prefix, Frame *frame = nullptr, int timeoutMs = 5000)
    {
        int found = -1;
        (void)QTest::qWaitFor(
            [&] {
                pump();
                found = indexOf(prefix);
                return found >= 0;
            },
            timeoutMs);
        if (found < 0) {
            return false;
        }
        const Frame f = m_frames.takeAt(found);
        if (frame) {
            *frame = f;
        }
        return true;
    }

    //! Lets the event loop run a little and tells whether a frame starting with prefix is there.
    bool hasReceived(const QString &prefix, int graceMs = 100)
    {
        QTest::qWait(graceMs);
        pump();
        return indexOf(prefix) >= 0;
    }

    QList<Frame> &frames()
    {
        pump();
        return m_frames;
    }

    //! LSIN with the digest of password; returns the answer line's fields, or the error line's.
    QStringList signIn(const QString &id, const QString &password)
    {
        send(QStringLiteral("LSIN 0 %1 %2 MD5 3.871 UTF8\r\n").arg(id, SignInDigest::digest(password, id, QStringLiteral("zemvik.example"))).toUtf8());
        (void)QTest::qWaitFor([&] {
            pump();
            return !m_frames.isEmpty();
        });
        if (m_frames.isEmpty()) {
            return {};
        }
        return m_frames.takeFirst().fields;
    }

    //! The whole sign-in as the client runs it; leaves the GLST and LIST frames in frames().
    bool signInFully(const QString &id, const QString &password, const QString &status = QStringLiteral("O"))
    {
        if (field(signIn(id, password), 0) != QLatin1String("LSIN")) {
            return false;
        }
        send("CONF 1 0 0\r\nGLST 2 0\r\nLIST 3\r\n");
        bool done = QTest::qWaitFor([this] {
            pump();
            for (const Frame &f : std::as_const(m_frames)) {
                if (field(f.fields, 0) == QLatin1String("LIST") && f.fields.size() > 3
                    && CommandLine::intField(f.fields, 2) + 1 == CommandLine::intField(f.fields, 3)) {
                    return true;
                }
            }
            return false;
        });
        if (done && !status.isEmpty()) {
            send("ONST 4 " + status.toUtf8() + " 0 %00 1\r\n");
            done = waitFor(QStringLiteral("ONST 4"));
        }
        return done;
    }

    //! Frames whose command word is command, in arrival order (they stay received).
    QList<Frame> framesOf(const QString &command)
    {
        pump();
        QList<Frame> out;
        for (const Frame &f : std::as_const(m_frames)) {
            if (field(f.fields, 0) == command) {
                out.append(f);
            }
        }
        return out;
    }

    void clear()
    {
        pump();
        m_frames.clear();
    }

    static QString field(const QStringList &fields, int i)
    {
        return CommandLine::field(fields, i);
    }

private:
    void pump()
    {
        m_buffer.add(m_socket.readAll());
        Frame frame;
        while (m_framer.next(m_buffer, frame) == LineFramer::Result::Frame) {
            m_frames.append(frame);
        }
    }

    int indexOf(const QString &prefix) const
    {
        for (int i = 0; i < m_frames.size(); ++i) {
            if (m_frames.at(i).line.startsWith(prefix)) {
                return i;
            }
        }
        return -1;
    }

    QTcpSocket m_socket;
    KZemvikBuffer m_buffer;
    LineFramer m_framer;
    QList<Frame> m_frames;
};
