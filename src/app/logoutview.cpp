// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "logoutview.h"

#include "ui_logoutview.h"

LogoutView::LogoutView(QWidget *parent)
    : LoginViewInterface(parent)
    , m_pForm(std::make_unique<Ui::LogoutViewForm>())
{
    m_pForm->setupUi(body());
    QLabel *id = m_pForm->idLabel;
    QFont font = id->font();
    font.setBold(true);
    id->setFont(font);
    QPalette pal = id->palette();
    pal.setColor(QPalette::WindowText, QColor(34, 102, 153));
    id->setPalette(pal);
    id->setTextFormat(Qt::PlainText);
    id->setText(QStringLiteral("zemvik@zemvik.example"));

    ShapeButton *button = m_pForm->reloginButton;
    button->setFixedSize(96, 37);
    button->setNormalPicture(QStringLiteral("rogin_bt_login_nor.bmp"));
    button->setHoverPicture(QStringLiteral("rogin_bt_login_ov.bmp"));
    button->setPressedPicture(QStringLiteral("rogin_bt_login_down.bmp"));
    button->setToolTip(QStringLiteral("로그인"));
    button->setFallbackText(QStringLiteral("로그인"));

    m_pForm->otherLoginLabel->setNormalColor(QColor(34, 102, 153));
    m_pForm->otherLoginLabel->setHoverColor(Qt::gray);
}

LogoutView::~LogoutView() = default;

QString LogoutView::shownId() const
{
    return m_pForm->idLabel->text();
}

ShapeButton *LogoutView::reloginButton() const
{
    return m_pForm->reloginButton;
}

LinkLabel *LogoutView::otherLoginLabel() const
{
    return m_pForm->otherLoginLabel;
}

void LogoutView::slotChangeLoginID(const QString &id)
{
    m_pForm->idLabel->setText(id);
    m_pForm->idLabel->repaint();
}
