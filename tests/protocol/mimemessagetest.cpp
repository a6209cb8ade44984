// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "mimemessage.h"

#include <QDateTime>
#include <QTest>
#include <QUuid>

class MimeMessageTest : public QObject
{
    Q_OBJECT
private:
    static QString build(const QString &text, const QString &recipients = QStringLiteral("a@x;b@x"))
    {
        return MimeMessage::buildMemo(QStringLiteral("me@x"), recipients, text, QDateTime(QDate(2026, 3, 4), QTime(17, 5, 9)),
                                      QUuid(QStringLiteral("{12345678-9abc-def0-1234-56789abcdef0}")));
    }

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        const QStringList memoNames{QStringLiteral("title"), QStringLiteral("from")};
        QTest::newRow("memo") << QByteArray("IMSG\r\ntitle:hi\r\nfrom:a@x\r\n\r\nhi\r\nthere\r\n") << memoNames << QStringLiteral("hi")
                              << QStringLiteral("hi\r\nthere\r\n");
        QTest::newRow("no blank line") << QByteArray("IMSG\r\ntitle:hi\r\nfrom:a@x") << memoNames << QStringLiteral("hi") << QString();
        QTest::newRow("blank after colon kept") << QByteArray("title: hi\r\n\r\n") << QStringList{QStringLiteral("title")}
                                                << QStringLiteral(" hi") << QString();
        QTest::newRow("value with colon") << QByteArray("title:a:b\r\n\r\n") << QStringList{QStringLiteral("title")} << QStringLiteral("a:b")
                                          << QString();
        QTest::newRow("empty name skipped") << QByteArray(":x\r\ntitle:t\r\n\r\nb") << QStringList{QStringLiteral("title")}
                                            << QStringLiteral("t") << QStringLiteral("b");
        QTest::newRow("stops at zero byte") << QByteArray("title:t\r\n\r\nab\0cd", 16) << QStringList{QStringLiteral("title")}
                                            << QStringLiteral("t") << QStringLiteral("ab");
        QTest::newRow("body holds blank lines") << QByteArray("title:t\r\n\r\n\r\n\r\nx") << QStringList{QStringLiteral("title")}
                                                << QStringLiteral("t") << QStringLiteral("\r\n\r\nx");
        QTest::newRow("empty") << QByteArray() << QStringList() << QString() << QString();
        QTest::newRow("bad UTF-8") << QByteArray("title:\xff\xfe\r\n\r\n") << QStringList{QStringLiteral("title")}
                                   << QString(QChar(QChar::ReplacementCharacter)) + QChar(QChar::ReplacementCharacter) << QString();
    }

    void parse()
    {
        QFETCH(QByteArray, payload);
        MimeMessage message(payload);
        QTEST(message.fieldNames(), "names");
        QCOMPARE(message.fieldCount(), message.fieldNames().size());
        QTEST(message.getValue(QStringLiteral("title")), "title");
        QTEST(message.getBody(), "body");
        message.print();
    }

    void nullValues()
    {
        MimeMessage message(QByteArray("IMSG\r\ntitle:\r\nref:a\r\nref:b\r\n\r\n"));
        QVERIFY(message.getValue(QStringLiteral("title")).isNull());
        QCOMPARE(message.getValue(QStringLiteral("ref")), QStringLiteral("a"));
        QVERIFY(message.getValue(QStringLiteral("missing")).isNull());
        QVERIFY(message.getValue(QStringLiteral("Ref")).isNull());
        message.addField(QStringLiteral("x"), QStringLiteral("y"));
        QCOMPARE(message.fieldCount(), 4);
        QCOMPARE(message.getValue(QStringLiteral("x")), QStringLiteral("y"));
    }

    void buildsPayload()
    {
        const QString payload = build(QStringLiteral("hello\nsecond line"));
        QCOMPARE(payload,
                 QStringLiteral("a@x b@x\r\nIMSG\r\ntitle:hello\r\nfrom:me@x\r\nref:a@x;b@x\r\ndate:20260304170509\r\n"
                                "session_id:472391\r\nuuid:12345678-9abc-def0-1234-56789abcdef0\r\ncontenttype:text\r\n"
                                "length:19\r\nfont-name:Arial\r\nfont-style:%00\r\nfont-size:9\r\nfont-color:#0a0a0a\r\n\r\n"
                                "hello\nsecond line\r\n"));
    }

    void roundTrip()
    {
        const QString text = QStringLiteral("line one\r\nline two");
        const QString payload = build(text);
        // What arrives has no recipient line.
        MimeMessage message(payload.mid(payload.indexOf(QLatin1String("IMSG"))).toUtf8());
        QCOMPARE(message.fieldNames().first(), QStringLiteral("title"));
        // A CR before the first line feed never ends up in the title.
        QCOMPARE(message.getValue(QStringLiteral("title")), QStringLiteral("line one"));
        QCOMPARE(message.getValue(QStringLiteral("from")), QStringLiteral("me@x"));
        QCOMPARE(message.getValue(QStringLiteral("ref")), QStringLiteral("a@x;b@x"));
        QCOMPARE(message.getValue(QStringLiteral("uuid")), QStringLiteral("12345678-9abc-def0-1234-56789abcdef0"));
        QCOMPARE(message.getBody(), text + QStringLiteral("\r\n"));
    }

    void singleLineTitle()
    {
        MimeMessage message(build(QStringLiteral("just this")).toUtf8());
        QCOMPARE(message.getValue(QStringLiteral("title")), QStringLiteral("just this"));
    }

    void headerInjection()
    {
        // Line breaks in IDs would start new header lines; they are dropped.
        const QString payload = MimeMessage::buildMemo(QStringLiteral("me@x\r\nref:evil"), QStringLiteral("a@x\r\nfrom:evil"),
                                                       QStringLiteral("t"), QDateTime(QDate(2026, 1, 1), QTime(0, 0)), QUuid::createUuid());
        MimeMessage message(payload.toUtf8());
        QCOMPARE(message.getValue(QStringLiteral("from")), QStringLiteral("me@xref:evil"));
        QCOMPARE(message.getValue(QStringLiteral("ref")), QStringLiteral("a@xfrom:evil"));
    }

    void koreanLengths()
    {
        const QString text = QStringLiteral("안녕하세요");
        const QString payload = build(text);
        QVERIFY(payload.contains(QLatin1String("\r\nlength:7\r\n")));
        const QString argument = MimeMessage::memoCommandArgument(payload);
        const QByteArray bytes = payload.toUtf8();
        QVERIFY(bytes.size() > payload.size());
        QCOMPARE(argument, QStringLiteral("N %1\r\n").arg(bytes.size()) + payload);
    }
};

QTEST_GUILESS_MAIN(MimeMessageTest)
#include "mimemessagetest.moc"
