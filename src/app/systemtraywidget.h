// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QString>

class KStatusNotifierItem;
class KZemvikInterface;
class QAction;

//! The tray icon: own status picture and the short menu of the main window's actions.
class SystemTrayWidget : public QObject
{
    Q_OBJECT
public:
    explicit SystemTrayWidget(KZemvikInterface *window);

    //! Builds the menu from the window's actions and the controller's own login action.
    void buildMenu(QAction *loginAction);
    //! Shows the picture of the given name ("main_list_state_...").
    void setPicture(const QString &name);
    QString pictureName() const;
    KStatusNotifierItem *item() const;

    //! The picture name for an own status letter.
    static QString pictureForStatus(char status);

public Q_SLOTS:
    void slotStatusChanged();

Q_SIGNALS:
    //! The tray's own quit entry was chosen.
    void quitSelected();

private:
    KZemvikInterface *m_pWindow;
    KStatusNotifierItem *m_pItem;
    QString m_picture;
};
