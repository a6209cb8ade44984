// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QPixmap>
#include <QWidget>

//! A widget that takes the size, background and outline of one picture; pixels of the key colour
//! are see-through and let clicks pass.
class ShapeWidget : public QWidget
{
    Q_OBJECT
public:
    //! picture is a name under the picture directory (or an absolute path).
    ShapeWidget(QWidget *parent, const QString &picture, int transparentColor = 0xffffff);
    ShapeWidget(QWidget *parent, const QPixmap &picture, int transparentColor = 0xffffff);
    explicit ShapeWidget(QWidget *parent = nullptr);

    //! Shows the picture; transparentColor -1 takes the top-left pixel's colour as the key.
    void setShape(const QPixmap &picture, int transparentColor);
    QPixmap shape() const;

    //! Loads a picture by name under the picture directory, or by absolute path.
    static QPixmap loadPicture(const QString &picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};
