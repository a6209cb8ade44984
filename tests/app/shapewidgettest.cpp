// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "linklabel.h"
#include "shapebutton.h"

#include <QBitmap>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class ShapeWidgetTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    //! A 10x10 picture of colour fill with a one-pixel white border.
    QString picture(const char *name, QRgb fill)
    {
        QImage image(10, 10, QImage::Format_RGB32);
        image.fill(qRgb(255, 255, 255));
        for (int y = 1; y < 9; ++y) {
            for (int x = 1; x < 9; ++x) {
                image.setPixel(x, y, fill);
            }
        }
        const QString path = m_dir.filePath(QString::fromLatin1(name));
        image.save(path, "PNG");
        return path;
    }

private Q_SLOTS:
    void whiteBorderIsMaskedOut()
    {
        ShapeWidget widget(nullptr, picture("red.png", qRgb(200, 0, 0)), 0xffffff);
        QCOMPARE(widget.size(), QSize(10, 10));
        const QRegion mask = widget.mask();
        QVERIFY(!mask.contains(QPoint(0, 0)));
        QVERIFY(!mask.contains(QPoint(9, 5)));
        QVERIFY(mask.contains(QPoint(1, 1)));
        QVERIFY(mask.contains(QPoint(5, 5)));
    }

    void topLeftPixelAsKey()
    {
        ShapeWidget widget(nullptr, picture("green.png", qRgb(0, 200, 0)), -1);
        QVERIFY(!widget.mask().contains(QPoint(0, 0)));
        QVERIFY(widget.mask().contains(QPoint(4, 4)));
    }

    void clickEmitsBothSignalsInOrder()
    {
        ShapeButton button(nullptr, picture("normal.png", qRgb(0, 0, 200)));
        button.setButtonId(7);
        QStringList order;
        connect(&button, qOverload<int>(&ShapeButton::clicked), this, [&order](int id) {
            order << QStringLiteral("id %1").arg(id);
        });
        connect(&button, qOverload<>(&ShapeButton::clicked), this, [&order] {
            order << QStringLiteral("plain");
        });
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
        // Released outside: still a click.
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(50, 50));
        QCOMPARE(order, (QStringList{QStringLiteral("id 7"), QStringLiteral("plain")}));
    }

    void disabledButtonShowsHoverAndStaysQuiet()
    {
        const QString normal = picture("n.png", qRgb(0, 0, 200));
        const QString hover = picture("h.png", qRgb(0, 200, 200));
        ShapeButton button(nullptr, normal);
        button.setHoverPicture(hover);
        QSignalSpy clicked(&button, qOverload<>(&ShapeButton::clicked));
        button.disable();
        QCOMPARE(button.shape().toImage().pixel(5, 5), qRgb(0, 200, 200));
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicked.count(), 0);
        button.enable();
        QCOMPARE(button.shape().toImage().pixel(5, 5), qRgb(0, 0, 200));
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicked.count(), 1);
    }

    void linkLabelColours()
    {
        LinkLabel label;
        QCOMPARE(label.normalColor(), QColor(Qt::white));
        QCOMPARE(label.hoverColor(), QColor(Qt::black));
        QSignalSpy clicked(&label, &LinkLabel::clicked);
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(&label, &enter);
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(Qt::black));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&label, &leave);
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(Qt::white));
        QTest::mouseRelease(&label, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }
};

QTEST_MAIN(ShapeWidgetTest)

#include "shapewidgettest.moc"
