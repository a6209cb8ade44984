// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

//! Stands in for the message viewer: one "/MessageBox*" object on its own bus connection.
class FakeViewer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.messageviewer.MessageBox")
public:
    explicit FakeViewer(QObject *parent = nullptr)
        : QObject(parent)
    {
    }

    QStringList commands;
    QStringList dbPaths;

public Q_SLOTS:
    void dcopCommand(const QString &s)
    {
        commands << s;
        Q_EMIT received();
    }
    void setDBPath(const QString &path)
    {
        dbPaths << path;
        Q_EMIT received();
    }

Q_SIGNALS:
    void received();
};

//! A second connection to the session bus that owns the viewer's name.
inline QDBusConnection viewerBus()
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-viewer"));
}
