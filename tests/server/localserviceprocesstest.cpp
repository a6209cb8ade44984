// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "localserviceprocess.h"
#include "rawclient.h"

#include <QFile>
#include <QTest>

//! The service as the client and the end-to-end tests meet it: a separate program.
class LocalServiceProcessTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void commandsChangeTheStoredState();
    void commandErrors_data();
    void commandErrors();
    void groupSurvivesRestart();
    void botsAreOnline();
};

void LocalServiceProcessTest::commandsChangeTheStoredState()
{
    LocalServiceProcess service;
    QVERIFY(service.addAccount(QStringLiteral("dana@zemvik.example"), QStringLiteral("s3cret"), QStringLiteral("다나"), QStringLiteral("다나 짱")));
    QVERIFY(service.addBuddy(QStringLiteral("dana@zemvik.example"), QStringLiteral("demo@zemvik.example"), QStringLiteral("회사")));
    QVERIFY2(service.start(), qPrintable(service.errorOutput()));
    QVERIFY(service.port(QStringLiteral("dispatch")) != 0);

    RawClient dana;
    QVERIFY(dana.connectTo(service.host(QStringLiteral("session")), service.port(QStringLiteral("session"))));
    QVERIFY(dana.signInFully(QStringLiteral("dana@zemvik.example"), QStringLiteral("s3cret"), QString()));
    const QList<RawClient::Frame> list = dana.framesOf(QStringLiteral("LIST"));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.first().fields.at(4), QStringLiteral("1101"));
    QCOMPARE(list.first().fields.at(5), QStringLiteral("demo@zemvik.example"));
    bool inGroup = false;
    QString groupId;
    for (const RawClient::Frame &f : dana.framesOf(QStringLiteral("GLST"))) {
        if (f.fields.size() == 8 && f.fields.at(6) == QStringLiteral("회사")) {
            groupId = f.fields.at(5);
        }
        inGroup = inGroup || (f.fields.size() == 7 && f.fields.at(6) == groupId && !groupId.isEmpty());
    }
    QVERIFY(inGroup);

    // The demo user, loaded with the demo data, got Dana as well.
    RawClient demo;
    QVERIFY(demo.connectTo(service.host(QStringLiteral("session")), service.port(QStringLiteral("session"))));
    QVERIFY(demo.signInFully(QStringLiteral("demo@zemvik.example"), QStringLiteral("demo1234"), QString()));
    bool hasDana = false;
    for (const RawClient::Frame &f : demo.framesOf(QStringLiteral("LIST"))) {
        hasDana = hasDana || f.fields.value(5) == QLatin1String("dana@zemvik.example");
    }
    QVERIFY(hasDana);

    // Only digests are kept.
    QFile db(service.dataDirectory() + QStringLiteral("/service.db"));
    QVERIFY(db.open(QIODevice::ReadOnly));
    const QByteArray bytes = db.readAll();
    QVERIFY(!bytes.contains("s3cret"));
    QVERIFY(!bytes.contains("demo1234"));
}

void LocalServiceProcessTest::commandErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("duplicate ID") << QStringList{QStringLiteral("add-account"), QStringLiteral("demo@zemvik.example"), QStringLiteral("x"), QStringLiteral("이름")};
    QTest::newRow("not an ID") << QStringList{QStringLiteral("add-account"), QStringLiteral("nodomain"), QStringLiteral("x"), QStringLiteral("이름")};
    QTest::newRow("missing name") << QStringList{QStringLiteral("add-account"), QStringLiteral("e@zemvik.example"), QStringLiteral("x")};
    QTest::newRow("unknown buddy") << QStringList{QStringLiteral("add-buddy"), QStringLiteral("demo@zemvik.example"), QStringLiteral("ghost@zemvik.example")};
    QTest::newRow("unknown command") << QStringList{QStringLiteral("remove-everything")};
}

void LocalServiceProcessTest::commandErrors()
{
    QFETCH(QStringList, arguments);
    LocalServiceProcess service;
    QString output;
    QVERIFY(!service.runCommand(arguments, &output));
    QVERIFY2(output.contains(QLatin1String("zemvik-localservice:")), qPrintable(output));
}

void LocalServiceProcessTest::groupSurvivesRestart()
{
    LocalServiceProcess service;
    QVERIFY2(service.start(), qPrintable(service.errorOutput()));
    {
        RawClient demo;
        QVERIFY(demo.connectTo(service.host(QStringLiteral("session")), service.port(QStringLiteral("session"))));
        QVERIFY(demo.signInFully(QStringLiteral("demo@zemvik.example"), QStringLiteral("demo1234")));
        demo.send("ADDG 5 1 Beta\r\n");
        QVERIFY(demo.waitFor(QStringLiteral("ADDG 5 ")));
    }
    QVERIFY2(service.restart(), qPrintable(service.errorOutput()));
    RawClient demo;
    QVERIFY(demo.connectTo(service.host(QStringLiteral("session")), service.port(QStringLiteral("session"))));
    QVERIFY(demo.signInFully(QStringLiteral("demo@zemvik.example"), QStringLiteral("demo1234")));
    bool found = false;
    for (const RawClient::Frame &f : demo.framesOf(QStringLiteral("GLST"))) {
        found = found || (f.fields.size() == 8 && f.fields.at(6) == QLatin1String("Beta"));
    }
    QVERIFY(found);
}

void LocalServiceProcessTest::botsAreOnline()
{
    LocalServiceProcess service;
    service.setBots(true);
    QVERIFY2(service.start(), qPrintable(service.errorOutput()));
    RawClient demo;
    QVERIFY(demo.connectTo(service.host(QStringLiteral("session")), service.port(QStringLiteral("session"))));
    QVERIFY(demo.signInFully(QStringLiteral("demo@zemvik.example"), QStringLiteral("demo1234")));
    QStringList online;
    for (const RawClient::Frame &f : demo.framesOf(QStringLiteral("INFY"))) {
        online << f.fields.value(2);
    }
    QVERIFY2(online.contains(QLatin1String("haeun@zemvik.example")), qPrintable(online.join(QLatin1Char(' '))));
    // The members of "동창" are never scripted: that group has nobody online.
    QVERIFY(!online.contains(QLatin1String("dohyun@zemvik.example")));
    QVERIFY(!online.contains(QLatin1String("sora@zemvik.example")));
}

QTEST_GUILESS_MAIN(LocalServiceProcessTest)
#include "localserviceprocesstest.moc"
