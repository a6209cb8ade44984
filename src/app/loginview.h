// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "loginviewinterface.h"

#include <QStringList>

class Account;
class QCheckBox;
class QComboBox;
class QLineEdit;
class MyPasswordEdit;
class ShapeButton;

namespace Ui
{
class LoginViewForm;
}

//! The signed-out window: ID, domain and password, the login options, and the start of a login.
class LoginView : public LoginViewInterface
{
    Q_OBJECT
public:
    explicit LoginView(QWidget *parent = nullptr);
    ~LoginView() override;

    //! Replaces the domain list; the last entry is always the free-typing entry.
    void setDomains(const QStringList &domains);
    //! The service's domain, the sister service's, nine common mail domains.
    static QStringList defaultDomains();
    static QString freeTypingEntry();

    //! Puts the stored ID, domain, options and (only with automatic login) the password back.
    void restoreStoredLogin();

    QString loginId() const;
    bool isAutoLogin() const;
    bool isHiddenLogin() const;
    //! Unchecks automatic login, which also forgets the stored password.
    void turnOffAutoLogin();
    //! Focuses the password field.
    void focusPassword();

    QLineEdit *idEdit() const;
    QComboBox *domainCombo() const;
    MyPasswordEdit *passwordEdit() const;
    QCheckBox *autoLoginBox() const;
    QCheckBox *hiddenLoginBox() const;
    ShapeButton *loginButton() const;

Q_SIGNALS:
    //! The receiver takes ownership of the account.
    void connectWithAccount(Account *account);
    void changeLoginID(const QString &id);

public Q_SLOTS:
    void connectToDPLserver() override;
    void slotStartLogin();
    void slotSelectCombo(int index);
    void slotLoginButtonStatusLogin(const QString &text);
    void slotLoginButtonStatusPasswd(const QString &text);
    void slotRunFindPasswordWeb();
    void slotRunRegWeb();
    void setActive(bool active);
    void show();
    void clearPassword();
    void resetForOtherID();

private:
    void slotAutoLoginToggled(bool on);
    void slotPasswordReturn();
    //! Automatic login is off: the password must not stay in the configuration file.
    void forgetStoredPassword();
    bool loginAllowed() const;
    void applyEnablingRule();

    std::unique_ptr<Ui::LoginViewForm> m_pForm;
};
