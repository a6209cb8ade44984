// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLineEdit>

//! Password field that tells when Return is pressed, so the login window can start a login.
class MyPasswordEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit MyPasswordEdit(QWidget *parent = nullptr);

Q_SIGNALS:
    void pressReturn();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
