// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

class QWidget;

//! Every message box the shell shows goes through here, so tests can swap in a recorder
//! instead of blocking in a modal dialog.
class MessageBoxes
{
public:
    virtual ~MessageBoxes();
    virtual void information(QWidget *parent, const QString &text, const QString &title) = 0;
    virtual void error(QWidget *parent, const QString &text, const QString &title) = 0;
    //! True when the user answered yes.
    virtual bool questionYesNo(QWidget *parent, const QString &text, const QString &title) = 0;

    //! The boxes in use: the desktop's (KMessageBox) unless a test installed others.
    static MessageBoxes *instance();
    //! Installs boxes (not owned); nullptr goes back to the desktop's.
    static void setInstance(MessageBoxes *boxes);
};
