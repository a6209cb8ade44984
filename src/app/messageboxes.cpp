// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "messageboxes.h"

#include <KMessageBox>

namespace
{
class DesktopMessageBoxes : public MessageBoxes
{
public:
    void information(QWidget *parent, const QString &text, const QString &title) override
    {
        KMessageBox::information(parent, text, title);
    }
    void error(QWidget *parent, const QString &text, const QString &title) override
    {
        KMessageBox::error(parent, text, title);
    }
    bool questionYesNo(QWidget *parent, const QString &text, const QString &title) override
    {
        return KMessageBox::questionTwoActions(parent, text, title, KGuiItem(QStringLiteral("예")), KGuiItem(QStringLiteral("아니오")))
            == KMessageBox::PrimaryAction;
    }
};

MessageBoxes *s_installed = nullptr;
}

MessageBoxes::~MessageBoxes() = default;

MessageBoxes *MessageBoxes::instance()
{
    static DesktopMessageBoxes desktop;
    return s_installed ? s_installed : &desktop;
}

void MessageBoxes::setInstance(MessageBoxes *boxes)
{
    s_installed = boxes;
}
