// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "account.h"
#include "loginview.h"
#include "mypasswordedit.h"
#include "settings.h"
#include "shapebutton.h"

#include <KConfigGroup>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <memory>

class LoginViewTest : public QObject
{
    Q_OBJECT
private:
    static KConfigGroup loginGroup()
    {
        Settings::config()->reparseConfiguration();
        return Settings::config()->group("Login");
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qRegisterMetaType<Account *>();
    }

    void init()
    {
        Settings::reset();
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kzemvikrc"));
        Settings::reset();
    }

    void enablingRule_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("domain");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("fieldsOn");
        QTest::addColumn<bool>("buttonOn");
        QTest::newRow("empty") << QString() << QStringLiteral("zemvik.example") << QString() << false << false;
        QTest::newRow("password without id") << QString() << QStringLiteral("zemvik.example") << QStringLiteral("pw") << false << false;
        QTest::newRow("id without domain") << QStringLiteral("kim") << QString() << QStringLiteral("pw") << false << false;
        QTest::newRow("id, no password") << QStringLiteral("kim") << QStringLiteral("zemvik.example") << QString() << true << false;
        QTest::newRow("all") << QStringLiteral("kim") << QStringLiteral("zemvik.example") << QStringLiteral("pw") << true << true;
    }

    void enablingRule()
    {
        QFETCH(QString, id);
        QFETCH(QString, domain);
        QFETCH(QString, password);
        QFETCH(bool, fieldsOn);
        QFETCH(bool, buttonOn);
        LoginView view;
        view.passwordEdit()->setText(password);
        view.idEdit()->setText(id);
        view.domainCombo()->setEditText(domain);
        QCOMPARE(view.passwordEdit()->isEnabled(), fieldsOn);
        QCOMPARE(view.autoLoginBox()->isEnabled(), fieldsOn);
        QVERIFY(view.hiddenLoginBox()->isEnabled());
        QCOMPARE(view.loginButton()->isButtonEnabled(), buttonOn);
    }

    void domainList()
    {
        LoginView view;
        QComboBox *combo = view.domainCombo();
        QCOMPARE(combo->count(), 12);
        QCOMPARE(combo->itemText(0), Settings::serviceDomain());
        QCOMPARE(combo->itemText(1), Settings::mavreloDomain());
        QCOMPARE(combo->itemText(11), QStringLiteral("직접입력"));
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(combo->currentText(), Settings::serviceDomain());

        view.slotSelectCombo(11);
        QCOMPARE(combo->currentText(), QString());
        combo->setCurrentIndex(1);
        view.slotSelectCombo(1);
        QCOMPARE(combo->currentText(), Settings::mavreloDomain());
    }

    void returnStartsLoginOnlyInPasswordField()
    {
        LoginView view;
        QSignalSpy accounts(&view, &LoginView::connectWithAccount);
        QSignalSpy ids(&view, &LoginView::changeLoginID);
        view.idEdit()->setText(QStringLiteral("kim"));
        view.passwordEdit()->setText(QStringLiteral("secret"));

        QTest::keyClick(view.idEdit(), Qt::Key_Return);
        QCOMPARE(accounts.count(), 0);

        QTest::keyClick(view.passwordEdit(), Qt::Key_Return);
        QCOMPARE(accounts.count(), 1);
        std::unique_ptr<Account> account(accounts.at(0).at(0).value<Account *>());
        QCOMPARE(account->loginID(), QStringLiteral("kim@") + Settings::serviceDomain());
        QCOMPARE(account->password(), QStringLiteral("secret"));
        QCOMPARE(ids.at(0).at(0).toString(), account->loginID());
        // A login in progress leaves the window inactive.
        QVERIFY(!view.isEnabled());
        QVERIFY(!view.loginButton()->isButtonEnabled());
    }

    void returnWithEmptyPasswordDoesNothing()
    {
        LoginView view;
        QSignalSpy accounts(&view, &LoginView::connectWithAccount);
        view.idEdit()->setText(QStringLiteral("kim"));
        QTest::keyClick(view.passwordEdit(), Qt::Key_Return);
        QCOMPARE(accounts.count(), 0);
        QVERIFY(view.isEnabled());
    }

    void storesLoginKeys_data()
    {
        QTest::addColumn<bool>("autoLogin");
        QTest::newRow("automatic login") << true;
        QTest::newRow("manual login") << false;
    }

    void storesLoginKeys()
    {
        QFETCH(bool, autoLogin);
        Settings::setLogin(QStringLiteral("old"), QStringLiteral("old.example"), QStringLiteral("old"));
        LoginView view;
        QSignalSpy accounts(&view, &LoginView::connectWithAccount);
        view.idEdit()->setText(QStringLiteral("lee"));
        view.domainCombo()->setEditText(QStringLiteral("mail.example"));
        view.passwordEdit()->setText(QStringLiteral("pw 1"));
        view.autoLoginBox()->setChecked(autoLogin);
        view.hiddenLoginBox()->setChecked(true);
        view.connectToDPLserver();
        QCOMPARE(accounts.count(), 1);
        delete accounts.at(0).at(0).value<Account *>();

        const KConfigGroup g = loginGroup();
        QCOMPARE(g.readEntry("ID", QString()), QStringLiteral("lee"));
        QCOMPARE(g.readEntry("Domain", QString()), QStringLiteral("mail.example"));
        QCOMPARE(g.readEntry("AutoLogin", !autoLogin), autoLogin);
        QCOMPARE(g.readEntry("HidenLogin", false), true);
        // The password stays on disk only for automatic login.
        QCOMPARE(g.readEntry("Password", QString()), autoLogin ? QStringLiteral("pw 1") : QString());
    }

    void switchingAutoLoginOffForgetsPassword()
    {
        Settings::setAutoLogin(true);
        Settings::setLogin(QStringLiteral("kim"), Settings::serviceDomain(), QStringLiteral("pw"));
        LoginView view;
        view.restoreStoredLogin();
        QVERIFY(view.autoLoginBox()->isChecked());
        QCOMPARE(loginGroup().readEntry("Password", QString()), QStringLiteral("pw"));
        view.autoLoginBox()->setChecked(false);
        QCOMPARE(loginGroup().readEntry("Password", QString()), QString());
        QCOMPARE(loginGroup().readEntry("ID", QString()), QStringLiteral("kim"));
        QCOMPARE(loginGroup().readEntry("AutoLogin", true), false);
    }

    void restoreStoredLogin_data()
    {
        QTest::addColumn<bool>("autoLogin");
        QTest::addColumn<QString>("shownPassword");
        QTest::newRow("automatic") << true << QStringLiteral("pw");
        QTest::newRow("manual") << false << QString();
    }

    void restoreStoredLogin()
    {
        QFETCH(bool, autoLogin);
        QFETCH(QString, shownPassword);
        Settings::setLogin(QStringLiteral("park"), Settings::mavreloDomain(), QStringLiteral("pw"));
        Settings::setAutoLogin(autoLogin);
        Settings::setHiddenLogin(true);
        LoginView view;
        view.restoreStoredLogin();
        QCOMPARE(view.idEdit()->text(), QStringLiteral("park"));
        QCOMPARE(view.domainCombo()->currentIndex(), 1);
        QCOMPARE(view.autoLoginBox()->isChecked(), autoLogin);
        QCOMPARE(view.hiddenLoginBox()->isChecked(), true);
        QCOMPARE(view.passwordEdit()->text(), shownPassword);
    }

    void resetForOtherId()
    {
        LoginView view;
        view.idEdit()->setText(QStringLiteral("kim"));
        view.domainCombo()->setCurrentIndex(2);
        view.passwordEdit()->setText(QStringLiteral("pw"));
        view.resetForOtherID();
        QCOMPARE(view.idEdit()->text(), QString());
        QCOMPARE(view.domainCombo()->currentIndex(), 0);
        QCOMPARE(view.passwordEdit()->text(), QString());
        QVERIFY(view.isEnabled());
    }
};

QTEST_MAIN(LoginViewTest)

#include "loginviewtest.moc"
