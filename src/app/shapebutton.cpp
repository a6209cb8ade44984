// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "shapebutton.h"

#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

ShapeButton::ShapeButton(QWidget *parent, const QString &normalPicture, int transparentColor)
    : ShapeWidget(parent)
    , m_transparentColor(transparentColor)
{
    setNormalPicture(normalPicture);
}

ShapeButton::ShapeButton(QWidget *parent)
    : ShapeWidget(parent)
{
}

void ShapeButton::setNormalPicture(const QString &picture)
{
    m_normal = loadPicture(picture);
    showPicture(m_normal);
}

void ShapeButton::setPressedPicture(const QString &picture)
{
    m_pressed = loadPicture(picture);
}

void ShapeButton::setHoverPicture(const QString &picture)
{
    m_hover = loadPicture(picture);
}

void ShapeButton::setFallbackText(const QString &text)
{
    m_fallbackText = text;
    update();
}

void ShapeButton::paintEvent(QPaintEvent *event)
{
    if (!shape().isNull() || m_fallbackText.isEmpty()) {
        ShapeWidget::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = m_fallbackText;
    if (!m_enabled) {
        option.state &= ~QStyle::State_Enabled;
        option.palette.setCurrentColorGroup(QPalette::Disabled);
    }
    if (m_pressedDown) {
        option.state |= QStyle::State_Sunken;
    }
    painter.drawControl(QStyle::CE_PushButton, option);
}

void ShapeButton::setButtonId(int id)
{
    m_id = id;
}

int ShapeButton::buttonId() const
{
    return m_id;
}

bool ShapeButton::isButtonEnabled() const
{
    return m_enabled;
}

void ShapeButton::enable()
{
    m_enabled = true;
    showPicture(m_normal);
}

void ShapeButton::disable()
{
    m_enabled = false;
    if (m_pressedDown) {
        m_pressedDown = false;
        releaseMouse();
    }
    showPicture(m_hover);
}

void ShapeButton::showPicture(const QPixmap &picture)
{
    if (!picture.isNull()) {
        setShape(picture, m_transparentColor);
    }
}

void ShapeButton::enterEvent(QEvent *event)
{
    if (m_enabled) {
        showPicture(m_hover);
    }
    ShapeWidget::enterEvent(event);
}

void ShapeButton::leaveEvent(QEvent *event)
{
    if (m_enabled) {
        showPicture(m_normal);
    }
    ShapeWidget::leaveEvent(event);
}

void ShapeButton::mousePressEvent(QMouseEvent *event)
{
    if (!m_enabled) {
        event->ignore();
        return;
    }
    m_pressedDown = true;
    grabMouse();
    showPicture(m_pressed);
}

void ShapeButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_enabled || !m_pressedDown) {
        event->ignore();
        return;
    }
    m_pressedDown = false;
    releaseMouse();
    showPicture(m_normal);
    Q_EMIT clicked(m_id);
    Q_EMIT clicked();
}
