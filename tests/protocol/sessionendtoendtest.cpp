// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Two clients against the real local service: dispatch, sign-in, presence, client messages,
// and a second sign-in of the same ID.
#include "account.h"
#include "buddylist.h"
#include "localserviceprocess.h"
#include "settings.h"
#include "zemvikdpconnection.h"
#include "zemvikdplconnection.h"

#include <KConfigGroup>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace
{
const QString s_password = QStringLiteral("pw-1234");
const QString s_hana = QStringLiteral("hana@zemvik.example");
const QString s_dool = QStringLiteral("dool@zemvik.example");
}

class SessionEndToEndTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void presenceAndClientMessages();
    void secondSignInEndsTheFirst();

private:
    //! Asks the dispatch server, then signs in on the session server it names.
    std::unique_ptr<ZemvikDPConnection> signIn(const QString &id);

    LocalServiceProcess *m_pService = nullptr;
};

void SessionEndToEndTest::initTestCase()
{
    qRegisterMetaType<Account *>();
    QStandardPaths::setTestModeEnabled(true);
    Settings::reset();
    Settings::setUseProxy(false);
}

void SessionEndToEndTest::init()
{
    m_pService = new LocalServiceProcess;
    QVERIFY(m_pService->addAccount(s_hana, s_password, QStringLiteral("Hana"), QStringLiteral("하나")));
    QVERIFY(m_pService->addAccount(s_dool, s_password, QStringLiteral("Dool"), QStringLiteral("둘")));
    QVERIFY(m_pService->addBuddy(s_hana, s_dool));
    QVERIFY(m_pService->addBuddy(s_dool, s_hana));
    QVERIFY2(m_pService->start(), qPrintable(m_pService->errorOutput()));
    KConfigGroup service = Settings::config()->group(QStringLiteral("Config_Service"));
    service.writeEntry("Dispatch_Host", m_pService->host(QStringLiteral("dispatch")).toString());
    service.writeEntry("Dispatch_Port", int(m_pService->port(QStringLiteral("dispatch"))));
}

void SessionEndToEndTest::cleanup()
{
    delete m_pService;
    m_pService = nullptr;
}

std::unique_ptr<ZemvikDPConnection> SessionEndToEndTest::signIn(const QString &id)
{
    // Every connection shares the one current account; each sign-in runs to its end before the next.
    CurrentAccount *account = CurrentAccount::instance();
    account->setLoginInfo(id, s_password);

    ZemvikDPLConnection dispatch;
    dispatch.initialize();
    QSignalSpy answer(&dispatch, &ZemvikDPLConnection::connectDPWithAccount);
    if (!dispatch.connectToServer() || !answer.wait(5000)) {
        qWarning() << "no dispatch answer" << m_pService->errorOutput();
        return nullptr;
    }
    std::unique_ptr<Account> address(answer.first().first().value<Account *>());
    account->copyFrom(*address);
    dispatch.closeConnection(true);

    auto session = std::make_unique<ZemvikDPConnection>();
    session->initialize();
    QSignalSpy connected(session.get(), &ZemvikDPConnection::connected);
    if (!session->connectToServer() || !connected.wait(5000)) {
        qWarning() << "no sign-in for" << id << m_pService->errorOutput();
        return nullptr;
    }
    session->slotChangeStatusOnline();
    return session;
}

void SessionEndToEndTest::presenceAndClientMessages()
{
    std::unique_ptr<ZemvikDPConnection> hana = signIn(s_hana);
    QVERIFY(hana);
    QVERIFY(hana->buddyList()->findByLoginId(s_dool));
    QSignalSpy hanaSees(hana.get(), &ZemvikDPConnection::receivedINFY);

    std::unique_ptr<ZemvikDPConnection> dool = signIn(s_dool);
    QVERIFY(dool);
    auto lastLetterFor = [&hanaSees](const QString &id) {
        QString letter;
        for (const QList<QVariant> &args : qAsConst(hanaSees)) {
            const QStringList line = args.at(0).toStringList();
            if (line.value(2) == id) {
                letter = line.value(3);
            }
        }
        return letter;
    };
    QTRY_COMPARE(lastLetterFor(s_dool), QStringLiteral("O"));

    dool->slotChangeStatusAway();
    QTRY_COMPARE(lastLetterFor(s_dool), QStringLiteral("A"));

    QSignalSpy invitation(dool.get(), &ZemvikDPConnection::receivedINVT);
    hana->sendClientPayload(s_dool, QStringLiteral("INVT %1 127.0.0.1 5010 key42\r\n").arg(s_hana));
    QVERIFY(invitation.wait());
    const QStringList words = invitation.first().first().toStringList();
    QCOMPARE(words.value(0), QStringLiteral("INVT"));
    QCOMPARE(words.value(1), s_hana);
    QCOMPARE(words.value(4).trimmed(), QStringLiteral("key42"));

    dool->disconnectFromServer();
    QTRY_COMPARE(lastLetterFor(s_dool), QStringLiteral("F"));
}

void SessionEndToEndTest::secondSignInEndsTheFirst()
{
    std::unique_ptr<ZemvikDPConnection> first = signIn(s_hana);
    QVERIFY(first);
    QSignalSpy killed(first.get(), &ZemvikDPConnection::kill);
    QSignalSpy closed(first.get(), &ZemvikDPConnection::disconnected);

    std::unique_ptr<ZemvikDPConnection> second = signIn(s_hana);
    QVERIFY(second);
    QTRY_COMPARE(killed.size(), 1);
    QTRY_COMPARE(closed.size(), 1); // the service hangs up after the notice
    QVERIFY(!first->isConnected());
    QVERIFY(second->isConnected());
}

QTEST_GUILESS_MAIN(SessionEndToEndTest)
#include "sessionendtoendtest.moc"
