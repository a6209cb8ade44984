// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "shapewidget.h"

#include "pics.h"

#include <QBitmap>
#include <QDir>
#include <QImage>
#include <QPainter>

ShapeWidget::ShapeWidget(QWidget *parent, const QString &picture, int transparentColor)
    : QWidget(parent)
{
    setShape(loadPicture(picture), transparentColor);
}

ShapeWidget::ShapeWidget(QWidget *parent, const QPixmap &picture, int transparentColor)
    : QWidget(parent)
{
    setShape(picture, transparentColor);
}

ShapeWidget::ShapeWidget(QWidget *parent)
    : QWidget(parent)
{
}

QPixmap ShapeWidget::loadPicture(const QString &picture)
{
    if (QDir::isAbsolutePath(picture)) {
        return QPixmap(picture);
    }
    return Pics::pixmap(picture);
}

QPixmap ShapeWidget::shape() const
{
    return m_picture;
}

void ShapeWidget::setShape(const QPixmap &picture, int transparentColor)
{
    const QImage image = picture.toImage().convertToFormat(QImage::Format_RGB32);
    m_picture = QPixmap::fromImage(image);
    if (image.isNull()) {
        clearMask();
        update();
        return;
    }
    setFixedSize(image.size());

    const QRgb key = transparentColor == -1 ? (image.pixel(0, 0) & 0x00ffffff) : (static_cast<QRgb>(transparentColor) & 0x00ffffff);
    // Start all set (opaque), clear the key-coloured pixels.
    QImage mask(image.size(), QImage::Format_MonoLSB);
    mask.setColorCount(2);
    mask.setColor(0, qRgb(255, 255, 255));
    mask.setColor(1, qRgb(0, 0, 0));
    mask.fill(1);
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0x00ffffff) == key) {
                mask.setPixel(x, y, 0);
            }
        }
    }
    setMask(QBitmap::fromImage(mask));
    update();
}

void ShapeWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    if (!m_picture.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_picture);
    }
}
