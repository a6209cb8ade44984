// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class ChatView;

//! The open chat windows in creation order, found by chat number or participant. Owns nothing:
//! a window that is deleted drops out by itself.
class ChatList : public QObject
{
    Q_OBJECT
public:
    explicit ChatList(QObject *parent = nullptr);

    //! The window with this chat number, or a new hidden one with that number, appended.
    ChatView *chatFor(int chatID);
    ChatView *findChatByKey(int chatID) const;
    //! The first window that has a participant with this service ID.
    ChatView *findChatByParticipant(const QString &loginId) const;
    void append(ChatView *view);
    //! False when the window was not listed.
    bool remove(ChatView *view);
    int count() const;
    QList<ChatView *> views() const;

private:
    QList<QPointer<ChatView>> m_views;
};
