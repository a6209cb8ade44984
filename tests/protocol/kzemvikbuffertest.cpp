// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "commandline.h"
#include "kzemvikbuffer.h"
#include "lineframer.h"

#include <QTest>

class KZemvikBufferTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void framing_data();
    void framing();
    void overLongLine();
    void escaping_data();
    void escaping();
};

// Each row feeds the chunks one after another and expects the frames in order;
// "line|payload" for payload frames, "!" for a framing error.
void KZemvikBufferTest::framing_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("frames");

    QTest::newRow("two lines in one read") << QList<QByteArray>{"PING 0\r\nLIST 1 0 1\r\n"} << QStringList{QStringLiteral("PING 0"), QStringLiteral("LIST 1 0 1")};
    QTest::newRow("split in the command word") << QList<QByteArray>{"PI", "NG 0\r\nLIST 1\r\n"} << QStringList{QStringLiteral("PING 0"), QStringLiteral("LIST 1")};
    QTest::newRow("CR at the end") << QList<QByteArray>{"PING 0\r", "\n"} << QStringList{QStringLiteral("PING 0")};
    QTest::newRow("lone CR inside") << QList<QByteArray>{"A\rB 0\r\n"} << QStringList{QStringLiteral("A\rB 0")};
    QTest::newRow("payload in pieces") << QList<QByteArray>{"CTOC 0 a@b N 10\r\nINVT ", "abc", "de", "PING 0\r\n"}
                                       << QStringList{QStringLiteral("CTOC 0 a@b N 10|INVT abcde"), QStringLiteral("PING 0")};
    QTest::newRow("empty payload") << QList<QByteArray>{"CONF 3 0\r\nPING 0\r\n"} << QStringList{QStringLiteral("CONF 3 0|"), QStringLiteral("PING 0")};
    QTest::newRow("negative length") << QList<QByteArray>{"CTOC 0 a N -5\r\nxx"} << QStringList{QStringLiteral("!")};
    QTest::newRow("over-long length") << QList<QByteArray>{"CTOC 0 a N 1048577\r\n"} << QStringList{QStringLiteral("!")};
    QTest::newRow("length not a number") << QList<QByteArray>{"CONF 0 x\r\n"} << QStringList{QStringLiteral("!")};
    QTest::newRow("Korean payload counts bytes") << QList<QByteArray>{QByteArray("CTOC 0 a N 6\r\n") + QString::fromUtf8("가나").toUtf8()}
                                                 << QStringList{QString::fromUtf8("CTOC 0 a N 6|가나")};
}

void KZemvikBufferTest::framing()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, frames);

    KZemvikBuffer buffer;
    LineFramer framer({QStringLiteral("CONF"), QStringLiteral("CTOC")});
    QStringList got;
    for (const QByteArray &chunk : chunks) {
        buffer.add(chunk);
        LineFramer::Frame frame;
        for (;;) {
            const auto r = framer.next(buffer, frame);
            if (r == LineFramer::Result::NeedMore) {
                break;
            }
            if (r == LineFramer::Result::Error) {
                got << QStringLiteral("!");
                break;
            }
            got << (frame.hasPayload ? frame.line + QLatin1Char('|') + QString::fromUtf8(frame.payload) : frame.line);
        }
        if (!got.isEmpty() && got.last() == QLatin1String("!")) {
            break;
        }
    }
    QCOMPARE(got, frames);
}

void KZemvikBufferTest::overLongLine()
{
    KZemvikBuffer buffer;
    LineFramer framer({});
    LineFramer::Frame frame;
    buffer.add(QByteArray(CommandLine::MaxLineLength, 'x'));
    QCOMPARE(framer.next(buffer, frame), LineFramer::Result::NeedMore);
    buffer.add("\r");
    QCOMPARE(framer.next(buffer, frame), LineFramer::Result::NeedMore);
    buffer.add("x");
    QCOMPARE(framer.next(buffer, frame), LineFramer::Result::Error);
}

void KZemvikBufferTest::escaping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("blank") << QStringLiteral("a b") << QStringLiteral("a%20b");
    QTest::newRow("CR LF") << QStringLiteral("a\r\nb") << QStringLiteral("a%0D%0Ab");
    QTest::newRow("empty") << QString() << QStringLiteral("%00");
    QTest::newRow("percent kept") << QStringLiteral("100%") << QStringLiteral("100%");
}

void KZemvikBufferTest::escaping()
{
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(CommandLine::escape(text), escaped);
    QCOMPARE(CommandLine::unescapeField(escaped), text);
    QCOMPARE(CommandLine::split(QStringLiteral("LSIN 0  a")), (QStringList{QStringLiteral("LSIN"), QStringLiteral("0"), QStringLiteral("a")}));
}

QTEST_GUILESS_MAIN(KZemvikBufferTest)
#include "kzemvikbuffertest.moc"
