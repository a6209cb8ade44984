// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QWidget>

#include <memory>

namespace Ui
{
class LoginViewInterface;
}

//! Common frame of the login and logout windows: the title picture and a body for the subclass.
class LoginViewInterface : public QWidget
{
    Q_OBJECT
public:
    explicit LoginViewInterface(QWidget *parent = nullptr);
    ~LoginViewInterface() override;

public Q_SLOTS:
    virtual void connectToDPLserver();
    virtual void languageChange();

protected:
    //! Where the subclass sets up its own form.
    QWidget *body() const;

private:
    std::unique_ptr<Ui::LoginViewInterface> m_pFrame;
};
