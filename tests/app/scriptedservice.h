// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "../protocol/scriptedserver.h"

//! A dispatch server and a session server on 127.0.0.1 that sign one user in with one group
//! and one buddy, and answer keep-alive pings while told to.
class ScriptedService : public QObject
{
public:
    explicit ScriptedService(QObject *parent = nullptr)
        : QObject(parent)
    {
        dispatch.onLine = [this](const QString &line) {
            const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (f.size() < 2) {
                return;
            }
            if (f.at(0) == QLatin1String("PVER")) {
                dispatch.send("PVER " + f.at(1).toUtf8() + " 3.871\r\n");
            } else if (f.at(0) == QLatin1String("AUTH")) {
                dispatch.send("AUTH " + f.at(1).toUtf8() + " DES\r\n");
            } else if (f.at(0) == QLatin1String("REQS")) {
                dispatch.send("REQS " + f.at(1).toUtf8() + " SS 127.0.0.1 " + QByteArray::number(session.port()) + "\r\n");
            }
        };
        session.onLine = [this](const QString &line) {
            const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (f.isEmpty()) {
                return;
            }
            const QByteArray tid = f.value(1).toUtf8();
            const QString &word = f.at(0);
            if (word == QLatin1String("LSIN")) {
                if (!signInAnswer.isEmpty()) {
                    session.send(signInAnswer.replace("TID", tid));
                    return;
                }
                session.send("LSIN " + tid + " 1000 " + QByteArray("김철수 %00 a b TICKET 0 0 c d N e ") + ownId + " %00 N N\r\n");
            } else if (word == QLatin1String("CONF")) {
                session.send("CONF " + tid + " 2\r\nOK");
            } else if (word == QLatin1String("GLST")) {
                session.send("GLST " + tid + " 0 2 0 0 " + QByteArray("기타") + " 0\r\n");
                session.send("GLST " + tid + " 1 2 0 1001 0\r\n");
            } else if (word == QLatin1String("LIST")) {
                session.send("LIST " + tid + " 0 1 1101 lee@zemvik.example 1001 " + QByteArray("이영희") + " %00 a b 20000101 c 0 x %00 20000101 N z\r\n");
            } else if (word == QLatin1String("PONG") && answerPings) {
                session.send("PONG 0\r\n");
            }
        };
    }

    //! Lines the session server received whose command word is word.
    QStringList sessionLines(const QString &word) const
    {
        QStringList out;
        for (const QString &line : session.lines()) {
            if (line.startsWith(word + QLatin1Char(' ')) || line == word) {
                out << line;
            }
        }
        return out;
    }

    ScriptedServer dispatch;
    ScriptedServer session;
    QByteArray ownId = "kim@zemvik.example";
    //! Replaces the sign-in answer ("TID" is replaced by the request's TID), e.g. an error line.
    QByteArray signInAnswer;
    bool answerPings = true;
};
