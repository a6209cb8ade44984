// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "chatrenderer.h"
#include "chattext.h"
#include "emoticontable.h"

#include <QDateTime>
#include <QFile>
#include <QFont>
#include <QTest>

namespace
{
const QString s_emoticons = QStringLiteral(KZEMVIK_TEST_DATA_DIR "/emoticons/");
const QString s_pics = QStringLiteral("/pics/");

QString img(const QString &file)
{
    return QStringLiteral("<IMG src=\"") + s_emoticons + file + QStringLiteral("\" width=16 height=16 /> ");
}
}

class ChatTextTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void encodeBody_data();
    void encodeBody();
    void incomingMessage_data();
    void incomingMessage();
    void decodeShortBodies_data();
    void decodeShortBodies();
    void ownEcho();
    void hostileNames();
    void notices();
    void receptionTime_data();
    void receptionTime();
    void sizeText_data();
    void sizeText();
    void emoticonTable();
    void convert_data();
    void convert();
    void pickerPages();
    void shippedEmoticons();
};

void ChatTextTest::encodeBody_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("body");

    QTest::newRow("black, plain") << QColor(Qt::black) << QString() << QStringLiteral("hi there")
                                  << QStringLiteral("Noto%20Sans%090%09%09hi%20there");
    QTest::newRow("red, bold italic") << QColor(255, 0, 0) << QStringLiteral("BI") << QStringLiteral("a")
                                      << QStringLiteral("Noto%20Sans%09000000255%09BI%09a");
    QTest::newRow("all styles") << QColor(1, 2, 3) << QStringLiteral("BIUS") << QStringLiteral("x")
                                << QStringLiteral("Noto%20Sans%09003002001%09BIUS%09x");
    QTest::newRow("< and & unchanged") << QColor(Qt::black) << QString() << QStringLiteral("a<b & c%")
                                       << QStringLiteral("Noto%20Sans%090%09%09a<b%20&%20c%");
    QTest::newRow("two lines") << QColor(Qt::black) << QString() << QStringLiteral("one\r\ntwo")
                               << QStringLiteral("Noto%20Sans%090%09%09one%0D%0Atwo");
}

void ChatTextTest::encodeBody()
{
    QFETCH(QColor, color);
    QFETCH(QString, style);
    QFETCH(QString, text);
    QFETCH(QString, body);

    QFont font(QStringLiteral("Noto Sans"));
    font.setBold(style.contains(QLatin1Char('B')));
    font.setItalic(style.contains(QLatin1Char('I')));
    font.setUnderline(style.contains(QLatin1Char('U')));
    font.setStrikeOut(style.contains(QLatin1Char('S')));
    QCOMPARE(ChatText::encodeBody(ChatStyle::fromFont(font, color), text), body);
}

void ChatTextTest::incomingMessage_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("message"); // what follows the header

    const QString p = QStringLiteral("<p style=\"margin-left:15px\">");
    QTest::newRow("255 is red") << QStringLiteral("Arial%09255%09%09hi")
                                << p + QStringLiteral("<font face=\"Arial\" size=\"3\" color=\"#ff0000\">hi</font></p>");
    QTest::newRow("65280 is green") << QStringLiteral("Arial%0965280%09%09hi")
                                    << p + QStringLiteral("<font face=\"Arial\" size=\"3\" color=\"#00ff00\">hi</font></p>");
    QTest::newRow("16711680 is blue") << QStringLiteral("Arial%0916711680%09%09hi")
                                      << p + QStringLiteral("<font face=\"Arial\" size=\"3\" color=\"#0000ff\">hi</font></p>");
    QTest::newRow("0 has no colour") << QStringLiteral("Arial%090%09%09hi") << p + QStringLiteral("<font face=\"Arial\" size=\"3\">hi</font></p>");
    QTest::newRow("not a number") << QStringLiteral("Arial%09red%09%09hi")
                                  << p + QStringLiteral("<font face=\"Arial\" size=\"3\" color=\"#000000\">hi</font></p>");
    QTest::newRow("B and U") << QStringLiteral("Arial%090%09BU%09hi") << p + QStringLiteral("<font face=\"Arial\" size=\"3\"><b><u>hi</u></b></font></p>");
    QTest::newRow("I and S") << QStringLiteral("Arial%090%09SI%09hi") << p + QStringLiteral("<font face=\"Arial\" size=\"3\"><i><s>hi</s></i></font></p>");
    QTest::newRow("< and &") << QStringLiteral("Arial%090%09%09a<b>&c") << p + QStringLiteral("<font face=\"Arial\" size=\"3\">a&lt;b&gt;&amp;c</font></p>");
    QTest::newRow("two lines and blanks") << QStringLiteral("Arial%090%09%09one%20a%0D%0Atwo")
                                          << p + QStringLiteral("<font face=\"Arial\" size=\"3\">one a<br>two</font></p>");
    QTest::newRow("empty face") << QStringLiteral("%090%09%09hi") << p + QStringLiteral("<font face=\"굴림\" size=\"3\">hi</font></p>");
    QTest::newRow("hostile face") << QStringLiteral("x\"><script>%090%09%09hi") << p + QStringLiteral("<font face=\"xscript\" size=\"3\">hi</font></p>");
    QTest::newRow("face with blank") << QStringLiteral("Noto%20Sans%090%09%09hi") << p + QStringLiteral("<font face=\"Noto Sans\" size=\"3\">hi</font></p>");
    QTest::newRow("flashcon") << QStringLiteral("Arial%090%09%09<FLCON abc FLCON>")
                              << p + QStringLiteral("<font face=\"Arial\" size=\"3\">플래시콘을 보내셨습니다.<br>현재 리눅스 버전은 플래시콘을 지원하지 않습니다.</font></p>");
    QTest::newRow("emoticon") << QStringLiteral("Arial%090%09%09a%20/윙크/") << p + QStringLiteral("<font face=\"Arial\" size=\"3\">a ") + img(QStringLiteral("wink.png")) + QStringLiteral("</font></p>");
}

void ChatTextTest::incomingMessage()
{
    QFETCH(QString, body);
    QFETCH(QString, message);

    ChatRenderer renderer(s_pics, s_emoticons);
    const ChatPeer peer{QStringLiteral("kim@zemvik.example"), QStringLiteral("Kim"), QStringLiteral("Bear"), true};
    const ChatRenderer::Message out = renderer.incomingMessage(peer, body, false);
    QCOMPARE(out.html, QStringLiteral("<p style=\"margin-left:3px\">Kim(Bear)님의 말 :</p>") + message);
}

void ChatTextTest::decodeShortBodies_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<QString>("text");

    QTest::newRow("no separator keeps all text") << QStringLiteral("hello") << QString() << QStringLiteral("0") << QStringLiteral("hello");
    QTest::newRow("face and text") << QStringLiteral("Arial%09hello") << QStringLiteral("Arial") << QStringLiteral("0") << QStringLiteral("hello");
    QTest::newRow("tab in text stays") << QStringLiteral("A%09255%09B%09x\ty%") << QStringLiteral("A") << QStringLiteral("255") << QStringLiteral("x\ty%");
}

void ChatTextTest::decodeShortBodies()
{
    QFETCH(QString, body);
    const ChatBody parts = ChatText::decodeBody(body);
    QTEST(parts.face, "face");
    QTEST(parts.colour, "colour");
    QTEST(parts.text, "text");
}

void ChatTextTest::ownEcho()
{
    ChatRenderer renderer(s_pics, s_emoticons);
    ChatStyle style;
    style.family = QStringLiteral("Noto Sans");
    style.color = QColor(255, 0, 0);
    style.bold = true;
    style.italic = true;
    const ChatRenderer::Message out = renderer.ownMessage(QStringLiteral("Me"), QStringLiteral("my nick"), style, QStringLiteral("a<b\n/취함/"));
    QCOMPARE(out.html,
             QStringLiteral("<p style=\"margin-left:3px\">Me(my nick)님의 말 :</p><p style=\"margin-left:15px\"><font face=\"Noto Sans\" size=\"3\" "
                            "color=\"#ff0000\"><b><i>a&lt;b<br>")
                 + img(QStringLiteral("drunk.png")) + QStringLiteral("</i></b></font></p>"));
    QCOMPARE(out.plain, QStringLiteral("Me ( my nick ) 님의 말 :\na<b\n/취함/\n"));

    style.color = QColor(Qt::black);
    style.bold = style.italic = false;
    QVERIFY(!renderer.ownMessage(QStringLiteral("Me"), QStringLiteral("n"), style, QStringLiteral("x")).html.contains(QLatin1String("color=")));
}

void ChatTextTest::hostileNames()
{
    ChatRenderer renderer(s_pics, s_emoticons);
    const QString evil = QStringLiteral("<img src=x onerror=alert(1)>&");
    const ChatPeer buddy{QStringLiteral("a@b"), evil, evil, true};
    const ChatPeer stranger{evil, QString(), QString(), false};
    const QStringList htmls{
        renderer.incomingMessage(buddy, QStringLiteral("A%090%09%09hi"), false).html,
        renderer.incomingMessage(buddy, QStringLiteral("A%090%09%09hi"), true).html,
        renderer.incomingMessage(stranger, QStringLiteral("A%090%09%09hi"), false).html,
        renderer.joinNotice(evil, evil),
        renderer.quitNotice(buddy),
        renderer.fileOfferedNotice(buddy),
        renderer.ownFileOfferNotice(buddy),
        renderer.offerCancelledNotice(buddy),
        renderer.transferFinishedNotice(QStringLiteral("/tmp/") + evil, 10),
    };
    for (const QString &html : htmls) {
        QVERIFY2(!html.contains(QLatin1String("<img src=x")), qPrintable(html));
        QVERIFY2(html.contains(QLatin1String("&lt;img src=x onerror=alert(1)&gt;&amp;")), qPrintable(html));
    }
    QCOMPARE(renderer.incomingMessage(stranger, QStringLiteral("A%090%09%09hi"), false).plain,
             QStringLiteral("&lt;img src=x onerror=alert(1)&gt;&amp; 님의 말 :\nhi\n"));
}

void ChatTextTest::notices()
{
    ChatRenderer renderer(s_pics, s_emoticons);
    const ChatPeer peer{QStringLiteral("kim@z"), QStringLiteral("Kim"), QStringLiteral("/윙크/"), true};
    QCOMPARE(renderer.joinNotice(QStringLiteral("Lee"), QStringLiteral("big%20bear")),
             QStringLiteral("<p style=\"margin-left:15px\"><font color=\"#008000\"><img src='/pics/main_list_state_online.png'/>Lee(big bear) 님이 대화에 "
                            "참여했습니다.</font></p>"));
    QCOMPARE(renderer.quitNotice(peer),
             QStringLiteral("<p style=\"margin-left:15px\"><font color=\"#FF0000\"><img src='/pics/main_list_state_online.png'/>Kim(") + img(QStringLiteral("wink.png"))
                 + QStringLiteral(") 님이 대화방을 나갔습니다.</font></p>"));
    QCOMPARE(renderer.transferFinishedNotice(QStringLiteral("/home/u/a b.txt"), 500),
             QStringLiteral("<img src='/pics/chat_fileroom_private_btn.png'/>a b.txt(500Byte)전송을 완료했습니다."));
    QCOMPARE(renderer.incomingMessage(peer, QStringLiteral("A%090%09%09hi"), true).plain, QStringLiteral("Kim ( ") + img(QStringLiteral("wink.png")) + QStringLiteral(" ) 님의 부재중 메시지 :\nhi\n"));
    QCOMPARE(ChatRenderer::typingNotice({QStringLiteral("x@y"), QString(), QString(), false}, QString()), QStringLiteral("x@y 님이 메세지를 입력하고 있습니다."));
    QCOMPARE(ChatRenderer::typingNotice(peer, QStringLiteral("ni...")), QStringLiteral("Kim (ni...) 님이 메세지를 입력하고 있습니다."));

    renderer.setEmoticonsEnabled(false);
    QCOMPARE(renderer.convert(QStringLiteral("/윙크/%20<")), QStringLiteral("/윙크/ &lt;"));
}

void ChatTextTest::receptionTime_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("morning") << QTime(9, 5) << QStringLiteral("마지막 메시지 받은 시각 : 2026-03-07 오전 09:05");
    QTest::newRow("noon") << QTime(12, 30) << QStringLiteral("마지막 메시지 받은 시각 : 2026-03-07 오후 12:30");
    QTest::newRow("afternoon") << QTime(15, 0) << QStringLiteral("마지막 메시지 받은 시각 : 2026-03-07 오후 03:00");
    QTest::newRow("midnight") << QTime(0, 1) << QStringLiteral("마지막 메시지 받은 시각 : 2026-03-07 오전 00:01");
}

void ChatTextTest::receptionTime()
{
    QFETCH(QTime, time);
    QTEST(ChatText::receptionTime(QDateTime(QDate(2026, 3, 7), time)), "text");
}

void ChatTextTest::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("500") << qint64(500) << QStringLiteral("500Byte");
    QTest::newRow("999") << qint64(999) << QStringLiteral("999Byte");
    QTest::newRow("1000") << qint64(1000) << QStringLiteral("1KB");
    QTest::newRow("500000") << qint64(500000) << QStringLiteral("489KB");
    QTest::newRow("1000000") << qint64(1000000) << QStringLiteral("977KB");
    QTest::newRow("3000000") << qint64(3000000) << QStringLiteral("2MB");
}

void ChatTextTest::sizeText()
{
    QFETCH(qint64, bytes);
    QTEST(ChatText::sizeText(bytes), "text");
}

void ChatTextTest::emoticonTable()
{
    const EmoticonTable table(s_emoticons);
    QCOMPARE(table.count(), 3); // items outside a "tab" and non-item children are skipped
    QCOMPARE(table.picture(QStringLiteral("윙크")), QStringLiteral("wink.png")); // the later item wins
    QCOMPARE(table.picture(QStringLiteral("숨김")), QString());

    const EmoticonTable missing(QStringLiteral(KZEMVIK_TEST_DATA_DIR "/no-such-dir"));
    QCOMPARE(missing.count(), 0);
    QCOMPARE(missing.convert(QStringLiteral("/윙크/%20x")), QStringLiteral("/윙크/ x"));
}

void ChatTextTest::convert_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html");
    QTest::newRow("one code") << QStringLiteral("a/윙크/b") << QStringLiteral("a") + img(QStringLiteral("wink.png")) + QStringLiteral("b");
    QTest::newRow("back to back") << QStringLiteral("/윙크//취함/") << img(QStringLiteral("wink.png")) + img(QStringLiteral("drunk.png"));
    QTest::newRow("unknown code stays") << QStringLiteral("/없음/ /밥/") << QStringLiteral("/없음/ ") + img(QStringLiteral("rice.png"));
    QTest::newRow("closing slash is not reused") << QStringLiteral("/윙크/취함/") << img(QStringLiteral("wink.png")) + QStringLiteral("취함/");
    QTest::newRow("unknown code eats the slash") << QStringLiteral("/x/윙크/") << QStringLiteral("/x/윙크/");
    QTest::newRow("line break ends a code") << QStringLiteral("/윙\n크/") << QStringLiteral("/윙\n크/");
    QTest::newRow("display escapes") << QStringLiteral("a%20b%0D%0Ac") << QStringLiteral("a b<br>c");
}

void ChatTextTest::convert()
{
    QFETCH(QString, text);
    const EmoticonTable table(s_emoticons);
    QTEST(table.convert(text), "html");
}

void ChatTextTest::pickerPages()
{
    const QVector<EmoticonPage> &pages = EmoticonTable::pickerPages();
    QCOMPARE(pages.size(), 5);
    int total = 0;
    for (const EmoticonPage &page : pages) {
        total += page.codes.size();
        for (const QString &code : page.codes) {
            QVERIFY(code.size() > 2 && code.startsWith(QLatin1Char('/')) && code.endsWith(QLatin1Char('/')));
        }
    }
    QCOMPARE(total, 144);
    QCOMPARE(pages.first().title, QStringLiteral("감정"));
    QCOMPARE(pages.first().codes.first(), QStringLiteral("/윙크/"));
    QCOMPARE(pages.last().codes.last(), QStringLiteral("/빨간양말/"));
}

void ChatTextTest::shippedEmoticons()
{
    // The picker and the conversation view show the same pictures: every picker code is defined.
    const EmoticonTable table(QStringLiteral(KZEMVIK_TEST_DATA_DIR "/../../data/emoticons"));
    for (const EmoticonPage &page : EmoticonTable::pickerPages()) {
        for (const QString &code : page.codes) {
            const QString picture = table.picture(code.mid(1, code.size() - 2));
            QVERIFY2(!picture.isEmpty(), qPrintable(code));
            QVERIFY2(QFile::exists(table.directory() + picture), qPrintable(picture));
        }
    }
}

QTEST_GUILESS_MAIN(ChatTextTest)
#include "chattexttest.moc"
