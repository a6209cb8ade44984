// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "chatlist.h"

#include "chatsession.h"
#include "chatview.h"

ChatList::ChatList(QObject *parent)
    : QObject(parent)
{
}

ChatView *ChatList::chatFor(int chatID)
{
    if (ChatView *view = findChatByKey(chatID)) {
        return view;
    }
    auto *view = new ChatView(chatID);
    append(view);
    return view;
}

ChatView *ChatList::findChatByKey(int chatID) const
{
    for (const QPointer<ChatView> &view : m_views) {
        if (view && view->chatID() == chatID) {
            return view;
        }
    }
    return nullptr;
}

ChatView *ChatList::findChatByParticipant(const QString &loginId) const
{
    for (const QPointer<ChatView> &view : m_views) {
        if (view && view->session()->findParticipant(loginId)) {
            return view;
        }
    }
    return nullptr;
}

void ChatList::append(ChatView *view)
{
    if (view && !m_views.contains(view)) {
        m_views.append(view);
    }
}

bool ChatList::remove(ChatView *view)
{
    return m_views.removeAll(view) > 0;
}

int ChatList::count() const
{
    return views().size();
}

QList<ChatView *> ChatList::views() const
{
    QList<ChatView *> out;
    for (const QPointer<ChatView> &view : m_views) {
        if (view) {
            out.append(view);
        }
    }
    return out;
}
