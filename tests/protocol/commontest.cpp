// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "common.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QTest>

class CommonTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void unescapeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all three") << "a%20b%0Dc%0Ad%20" << "a b\rc\nd ";
        QTest::newRow("tab and empty stay") << "x%09y%00" << "x%09y%00";
        QTest::newRow("plain") << "plain" << "plain";
    }

    void unescapeText()
    {
        QFETCH(QString, text);
        Common::unescapeText(text);
        QTEST(text, "expected");
    }

    void elide_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("flags");
        QTest::newRow("from start") << "A rather long buddy name here" << 0;
        QTest::newRow("from end") << "A rather long buddy name here" << Common::ElideFromEnd;
        QTest::newRow("Korean") << "가나다라마바사아자차카타파하" << 0;
        QTest::newRow("other flag bits") << "A rather long buddy name here" << 1;
    }

    void elide()
    {
        QFETCH(QString, text);
        QFETCH(int, flags);
        const QFontMetrics metrics(QFont(QStringLiteral("Sans"), 10));
        const int dots = metrics.horizontalAdvance(QStringLiteral("..."));
        const int width = metrics.horizontalAdvance(text) / 2;
        const bool fromEnd = flags & Common::ElideFromEnd;

        QCOMPARE(Common::elideToWidth(text, metrics, metrics.horizontalAdvance(text), flags), text);

        const QString elided = Common::elideToWidth(text, metrics, width, flags);
        QVERIFY(fromEnd ? elided.startsWith(QLatin1String("...")) : elided.endsWith(QLatin1String("...")));
        const QString kept = fromEnd ? elided.mid(3) : elided.chopped(3);
        QVERIFY(!kept.isEmpty());
        QVERIFY(fromEnd ? text.endsWith(kept) : text.startsWith(kept));
        QVERIFY(metrics.horizontalAdvance(kept) + dots < width);
        // As much as fits is kept.
        const QString more = fromEnd ? text.right(kept.size() + 1) : text.left(kept.size() + 1);
        QVERIFY(metrics.horizontalAdvance(more) + dots >= width);

        // Too narrow for anything: one character stays.
        const QString tiny = Common::elideToWidth(text, metrics, 1, flags);
        QCOMPARE(tiny, fromEnd ? QStringLiteral("...") + text.right(1) : text.left(1) + QStringLiteral("..."));
    }

    void keepsSurrogatePairs()
    {
        const QFontMetrics metrics(QFont(QStringLiteral("Sans"), 10));
        const QString text = QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x81 smile");
        QCOMPARE(Common::elideToWidth(text, metrics, 1), text.left(2) + QStringLiteral("..."));
        const QString tail = QString::fromUtf8("end \xF0\x9F\x98\x80");
        QCOMPARE(Common::elideToWidth(tail, metrics, 1, Common::ElideFromEnd), QStringLiteral("...") + tail.right(2));
        QCOMPARE(Common::elideToWidth(QString(), metrics, 0), QString());
    }
};

int main(int argc, char **argv)
{
    // Font metrics need a GUI application; tests have no display (and the minimal platform, unlike offscreen, frees its screen).
    qputenv("QT_QPA_PLATFORM", "minimal");
    QGuiApplication app(argc, argv);
    CommonTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "commontest.moc"
