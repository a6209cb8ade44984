// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "mypasswordedit.h"

#include <QKeyEvent>

MyPasswordEdit::MyPasswordEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setEchoMode(QLineEdit::Password);
}

void MyPasswordEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT pressReturn();
    }
    QLineEdit::keyPressEvent(event);
}
