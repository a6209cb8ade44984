// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "shapewidget.h"

//! A picture button: normal, pressed and hover pictures, each with its own outline.
class ShapeButton : public ShapeWidget
{
    Q_OBJECT
public:
    ShapeButton(QWidget *parent, const QString &normalPicture, int transparentColor = 0xffffff);
    explicit ShapeButton(QWidget *parent = nullptr);

    void setNormalPicture(const QString &picture);
    void setPressedPicture(const QString &picture);
    void setHoverPicture(const QString &picture);
    //! Text drawn on a plain button face while the pictures are missing.
    void setFallbackText(const QString &text);
    void setButtonId(int id);
    int buttonId() const;
    bool isButtonEnabled() const;

public Q_SLOTS:
    //! Accepts the mouse again and shows the normal picture.
    void enable();
    //! Ignores the mouse and shows the hover picture, which the windows draw as the greyed look.
    void disable();

Q_SIGNALS:
    void clicked(int id);
    void clicked();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showPicture(const QPixmap &picture);

    QPixmap m_normal;
    QPixmap m_pressed;
    QPixmap m_hover;
    int m_transparentColor = 0xffffff;
    bool m_enabled = true;
    bool m_pressedDown = false;
    int m_id = 0;
    QString m_fallbackText;
};
