// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QColor>
#include <QLabel>

//! A label that behaves like a web link: another colour under the pointer, clicked() on release.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(QWidget *parent = nullptr);

    void setNormalColor(const QColor &color);
    void setHoverColor(const QColor &color);
    QColor normalColor() const;
    QColor hoverColor() const;

Q_SIGNALS:
    void clicked();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void applyColor(const QColor &color);

    QColor m_normal = Qt::white;
    QColor m_hover = Qt::black;
};
