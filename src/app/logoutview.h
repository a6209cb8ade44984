// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "loginviewinterface.h"

class LinkLabel;
class QLabel;
class ShapeButton;

namespace Ui
{
class LogoutViewForm;
}

//! Shown after a sign-out or a lost session: the last ID, sign in again, or with another ID.
class LogoutView : public LoginViewInterface
{
    Q_OBJECT
public:
    explicit LogoutView(QWidget *parent = nullptr);
    ~LogoutView() override;

    QString shownId() const;
    ShapeButton *reloginButton() const;
    LinkLabel *otherLoginLabel() const;

public Q_SLOTS:
    void slotChangeLoginID(const QString &id);

private:
    std::unique_ptr<Ui::LogoutViewForm> m_pForm;
};
