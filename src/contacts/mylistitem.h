// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QString>

//! Common base of groups and buddies: an ID and a name that list rows are keyed and labelled by.
class MyListItem : public QObject
{
    Q_OBJECT
public:
    explicit MyListItem(QObject *parent = nullptr);

    virtual void setItemId(const QString &id);
    virtual void setItemName(const QString &name);
    virtual QString itemId() const;
    virtual QString itemName() const;

private:
    QString m_itemId;
    QString m_itemName;
};
