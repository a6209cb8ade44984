// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "loginviewinterface.h"

#include "app_debug.h"
#include "pics.h"
#include "ui_loginviewinterface.h"

LoginViewInterface::LoginViewInterface(QWidget *parent)
    : QWidget(parent)
    , m_pFrame(std::make_unique<Ui::LoginViewInterface>())
{
    m_pFrame->setupUi(this);
    m_pFrame->titleLabel->setPixmap(Pics::pixmap(QStringLiteral("rogin_title_img.bmp")));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

LoginViewInterface::~LoginViewInterface() = default;

QWidget *LoginViewInterface::body() const
{
    return m_pFrame->bodyWidget;
}

void LoginViewInterface::connectToDPLserver()
{
    qCWarning(KZEMVIK_APP) << "LoginViewInterface::connectToDPLserver(): not implemented";
}

void LoginViewInterface::languageChange()
{
    m_pFrame->retranslateUi(this);
}
