// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "mylistitem.h"

MyListItem::MyListItem(QObject *parent)
    : QObject(parent)
{
}

void MyListItem::setItemId(const QString &id)
{
    m_itemId = id;
}

void MyListItem::setItemName(const QString &name)
{
    m_itemName = name;
}

QString MyListItem::itemId() const
{
    return m_itemId;
}

QString MyListItem::itemName() const
{
    return m_itemName;
}
