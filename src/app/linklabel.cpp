// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "linklabel.h"

LinkLabel::LinkLabel(QWidget *parent)
    : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    applyColor(m_normal);
}

void LinkLabel::setNormalColor(const QColor &color)
{
    m_normal = color;
    applyColor(m_normal);
}

void LinkLabel::setHoverColor(const QColor &color)
{
    m_hover = color;
}

QColor LinkLabel::normalColor() const
{
    return m_normal;
}

QColor LinkLabel::hoverColor() const
{
    return m_hover;
}

void LinkLabel::applyColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
    update();
}

void LinkLabel::enterEvent(QEvent *event)
{
    applyColor(m_hover);
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent *event)
{
    applyColor(m_normal);
    QLabel::leaveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    Q_EMIT clicked();
}
