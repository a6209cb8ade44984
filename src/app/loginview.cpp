// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "loginview.h"

#include "account.h"
#include "settings.h"
#include "ui_loginview.h"
#include "weblinks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

LoginView::LoginView(QWidget *parent)
    : LoginViewInterface(parent)
    , m_pForm(std::make_unique<Ui::LoginViewForm>())
{
    m_pForm->setupUi(body());

    const QColor blue(34, 102, 153);
    for (QCheckBox *box : {m_pForm->hiddenLoginBox, m_pForm->autoLoginBox}) {
        QFont font = box->font();
        font.setBold(true);
        box->setFont(font);
        QPalette pal = box->palette();
        pal.setColor(QPalette::WindowText, blue);
        box->setPalette(pal);
    }
    m_pForm->loginButton->setFixedSize(96, 37);
    m_pForm->loginButton->setNormalPicture(QStringLiteral("rogin_bt_login_nor.bmp"));
    m_pForm->loginButton->setHoverPicture(QStringLiteral("rogin_bt_login_ov.bmp"));
    m_pForm->loginButton->setPressedPicture(QStringLiteral("rogin_bt_login_down.bmp"));
    m_pForm->loginButton->setToolTip(QStringLiteral("로그인"));
    m_pForm->loginButton->setFallbackText(QStringLiteral("로그인"));
    m_pForm->findLabel->setNormalColor(blue);
    m_pForm->findLabel->setHoverColor(Qt::black);
    m_pForm->registerLabel->setNormalColor(blue);
    m_pForm->registerLabel->setHoverColor(Qt::black);

    setDomains(defaultDomains());

    connect(m_pForm->loginButton, qOverload<>(&ShapeButton::clicked), this, &LoginView::connectToDPLserver);
    connect(m_pForm->passwordEdit, &MyPasswordEdit::pressReturn, this, &LoginView::slotPasswordReturn);
    connect(m_pForm->idEdit, &QLineEdit::textChanged, this, &LoginView::slotLoginButtonStatusLogin);
    connect(m_pForm->domainCombo, &QComboBox::editTextChanged, this, &LoginView::slotLoginButtonStatusLogin);
    connect(m_pForm->domainCombo, qOverload<int>(&QComboBox::activated), this, &LoginView::slotSelectCombo);
    connect(m_pForm->passwordEdit, &QLineEdit::textChanged, this, &LoginView::slotLoginButtonStatusPasswd);
    connect(m_pForm->autoLoginBox, &QCheckBox::toggled, this, &LoginView::slotAutoLoginToggled);
    connect(m_pForm->findLabel, &LinkLabel::clicked, this, &LoginView::slotRunFindPasswordWeb);
    connect(m_pForm->registerLabel, &LinkLabel::clicked, this, &LoginView::slotRunRegWeb);

    applyEnablingRule();
}

LoginView::~LoginView() = default;

QString LoginView::freeTypingEntry()
{
    return QStringLiteral("직접입력");
}

QStringList LoginView::defaultDomains()
{
    return {Settings::serviceDomain(),
            Settings::mavreloDomain(),
            QStringLiteral("gmail.com"),
            QStringLiteral("naver.com"),
            QStringLiteral("daum.net"),
            QStringLiteral("hanmail.net"),
            QStringLiteral("nate.com"),
            QStringLiteral("kakao.com"),
            QStringLiteral("outlook.com"),
            QStringLiteral("yahoo.co.kr"),
            QStringLiteral("korea.com")};
}

void LoginView::setDomains(const QStringList &domains)
{
    QComboBox *combo = m_pForm->domainCombo;
    combo->clear();
    combo->addItems(domains);
    combo->addItem(freeTypingEntry());
    combo->setCurrentIndex(0);
}

void LoginView::restoreStoredLogin()
{
    m_pForm->idEdit->setFocus();
    const QString id = Settings::loginId();
    if (!id.isEmpty()) {
        m_pForm->idEdit->setText(id);
        m_pForm->domainCombo->setFocus();
    }
    const QString domain = Settings::loginDomain();
    if (!domain.isEmpty()) {
        const int index = m_pForm->domainCombo->findText(domain);
        if (index >= 0) {
            m_pForm->domainCombo->setCurrentIndex(index);
        } else {
            m_pForm->domainCombo->setEditText(domain);
        }
        m_pForm->passwordEdit->setFocus();
    }
    const bool autoLogin = Settings::autoLogin();
    {
        // Restoring the box must not look like the user switching it (which forgets the password).
        const QSignalBlocker blocker(m_pForm->autoLoginBox);
        m_pForm->autoLoginBox->setChecked(autoLogin);
    }
    const QString password = Settings::loginPassword();
    if (autoLogin && !password.isEmpty()) {
        m_pForm->passwordEdit->setText(password);
    }
    m_pForm->hiddenLoginBox->setChecked(Settings::hiddenLogin());
    applyEnablingRule();
}

QString LoginView::loginId() const
{
    return m_pForm->idEdit->text() + QLatin1Char('@') + m_pForm->domainCombo->currentText();
}

bool LoginView::isAutoLogin() const
{
    return m_pForm->autoLoginBox->isChecked();
}

bool LoginView::isHiddenLogin() const
{
    return m_pForm->hiddenLoginBox->isChecked();
}

void LoginView::turnOffAutoLogin()
{
    m_pForm->autoLoginBox->setChecked(false);
    // Also when the box was already clear: the stored state must say off.
    forgetStoredPassword();
}

void LoginView::focusPassword()
{
    m_pForm->passwordEdit->setFocus();
}

QLineEdit *LoginView::idEdit() const
{
    return m_pForm->idEdit;
}

QComboBox *LoginView::domainCombo() const
{
    return m_pForm->domainCombo;
}

MyPasswordEdit *LoginView::passwordEdit() const
{
    return m_pForm->passwordEdit;
}

QCheckBox *LoginView::autoLoginBox() const
{
    return m_pForm->autoLoginBox;
}

QCheckBox *LoginView::hiddenLoginBox() const
{
    return m_pForm->hiddenLoginBox;
}

ShapeButton *LoginView::loginButton() const
{
    return m_pForm->loginButton;
}

bool LoginView::loginAllowed() const
{
    return !m_pForm->idEdit->text().isEmpty() && !m_pForm->domainCombo->currentText().isEmpty() && !m_pForm->passwordEdit->text().isEmpty();
}

void LoginView::connectToDPLserver()
{
    m_pForm->passwordEdit->setFocus();
    auto *account = new Account;
    const QString id = loginId();
    account->setLoginInfo(id, m_pForm->passwordEdit->text());
    Q_EMIT changeLoginID(id);
    setActive(false);

    // The password stays on disk only for automatic login.
    const bool autoLogin = m_pForm->autoLoginBox->isChecked();
    Settings::setLogin(m_pForm->idEdit->text(), m_pForm->domainCombo->currentText(), autoLogin ? m_pForm->passwordEdit->text() : QString());
    Settings::setAutoLogin(autoLogin);
    Settings::setHiddenLogin(m_pForm->hiddenLoginBox->isChecked());

    Q_EMIT connectWithAccount(account);
}

void LoginView::slotStartLogin()
{
    connectToDPLserver();
}

void LoginView::slotPasswordReturn()
{
    // Return does what a click on the button would do, and nothing while the button is off.
    if (isEnabled() && loginAllowed()) {
        connectToDPLserver();
    }
}

void LoginView::slotAutoLoginToggled(bool on)
{
    if (!on) {
        forgetStoredPassword();
    }
}

void LoginView::forgetStoredPassword()
{
    Settings::setAutoLogin(false);
    if (!Settings::loginPassword().isEmpty()) {
        Settings::setLogin(Settings::loginId(), Settings::loginDomain(), QString());
    }
}

void LoginView::slotSelectCombo(int index)
{
    if (m_pForm->domainCombo->itemText(index) == freeTypingEntry()) {
        m_pForm->domainCombo->clearEditText();
        m_pForm->domainCombo->setFocus();
    }
}

void LoginView::slotLoginButtonStatusLogin(const QString &text)
{
    Q_UNUSED(text)
    applyEnablingRule();
}

void LoginView::slotLoginButtonStatusPasswd(const QString &text)
{
    if (m_pForm->passwordEdit->isEnabled() && !text.isEmpty()) {
        m_pForm->loginButton->enable();
    } else {
        m_pForm->loginButton->disable();
    }
}

void LoginView::applyEnablingRule()
{
    const bool haveId = !m_pForm->idEdit->text().isEmpty() && !m_pForm->domainCombo->currentText().isEmpty();
    m_pForm->passwordEdit->setEnabled(haveId);
    m_pForm->autoLoginBox->setEnabled(haveId);
    slotLoginButtonStatusPasswd(m_pForm->passwordEdit->text());
}

void LoginView::slotRunFindPasswordWeb()
{
    WebLinks::openPortalCode(QStringLiteral("A018"));
}

void LoginView::slotRunRegWeb()
{
    WebLinks::openPortalCode(QStringLiteral("A019"));
}

void LoginView::setActive(bool active)
{
    setEnabled(active);
    if (active) {
        applyEnablingRule();
    } else {
        m_pForm->loginButton->disable();
    }
}

void LoginView::show()
{
    setActive(true);
    LoginViewInterface::show();
}

void LoginView::clearPassword()
{
    show();
    m_pForm->passwordEdit->clear();
    m_pForm->passwordEdit->setFocus();
}

void LoginView::resetForOtherID()
{
    show();
    m_pForm->idEdit->clear();
    m_pForm->idEdit->setFocus();
    m_pForm->domainCombo->setCurrentIndex(0);
    m_pForm->passwordEdit->clear();
}
