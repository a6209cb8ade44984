// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "clicklabel.h"

ClickLabel::ClickLabel(QWidget *parent)
    : QLabel(parent)
{
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    grabMouse();
    Q_EMIT clicked();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    releaseMouse();
}
