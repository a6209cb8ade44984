// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

class QTabWidget;
class QToolButton;

//! The emoticon picker: five pages of picture buttons; a press hands the code to the owner,
//! which inserts it. Non-modal, so several emoticons can be picked in a row.
class EmoticonSelector : public QDialog
{
    Q_OBJECT
public:
    explicit EmoticonSelector(QWidget *parent = nullptr);

    QTabWidget *tabWidget() const;
    //! The button of a code, for tests and keyboard focus; nullptr when the picker has none.
    QToolButton *button(const QString &code) const;

public Q_SLOTS:
    void slotHelp();
    //! Page changes change nothing else.
    void onTab(QWidget *page);

Q_SIGNALS:
    void emoticonClicked(const QString &code);

private:
    QTabWidget *m_pTabs;
};
