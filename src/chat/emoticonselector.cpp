// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "emoticonselector.h"

#include "emoticontable.h"
#include "weblinks.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{
constexpr int s_columns = 8;
constexpr int s_buttonSize = 28;
}

EmoticonSelector::EmoticonSelector(QWidget *parent)
    : QDialog(parent)
    , m_pTabs(new QTabWidget(this))
{
    setWindowTitle(QStringLiteral("이모티콘"));
    setModal(false);
    m_pTabs->setObjectName(QStringLiteral("tabWidget"));
    m_pTabs->setDocumentMode(true);
    m_pTabs->setUsesScrollButtons(false); // all five pages at a glance

    const EmoticonTable table;
    const QVector<EmoticonPage> &pages = EmoticonTable::pickerPages();
    for (const EmoticonPage &page : pages) {
        auto *widget = new QWidget(m_pTabs);
        auto *grid = new QGridLayout(widget);
        grid->setSpacing(2);
        grid->setContentsMargins(4, 4, 4, 4);
        for (int i = 0; i < page.codes.size(); ++i) {
            const QString &code = page.codes.at(i);
            auto *button = new QToolButton(widget);
            button->setObjectName(code);
            button->setToolTip(code);
            button->setAutoRaise(true);
            button->setFixedSize(s_buttonSize, s_buttonSize);
            const QString name = code.mid(1, code.size() - 2);
            const QString picture = table.picture(name);
            const QIcon icon(picture.isEmpty() ? QString() : table.directory() + picture);
            if (icon.isNull()) {
                button->setText(name.left(2));
            } else {
                button->setIcon(icon);
                button->setIconSize(QSize(20, 20));
            }
            connect(button, &QToolButton::clicked, this, [this, code] { Q_EMIT emoticonClicked(code); });
            grid->addWidget(button, i / s_columns, i % s_columns);
        }
        grid->setRowStretch(grid->rowCount(), 1);
        grid->setColumnStretch(s_columns, 1);
        m_pTabs->addTab(widget, page.title);
    }
    connect(m_pTabs, &QTabWidget::currentChanged, this, [this](int index) { onTab(m_pTabs->widget(index)); });

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *help = buttons->addButton(QStringLiteral("도움말"), QDialogButtonBox::HelpRole);
    help->setAutoDefault(false);
    QPushButton *close = buttons->addButton(QStringLiteral("닫기"), QDialogButtonBox::RejectRole);
    close->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, &EmoticonSelector::slotHelp);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_pTabs);
    layout->addWidget(buttons);
    adjustSize();
}

QTabWidget *EmoticonSelector::tabWidget() const
{
    return m_pTabs;
}

QToolButton *EmoticonSelector::button(const QString &code) const
{
    return m_pTabs->findChild<QToolButton *>(code);
}

void EmoticonSelector::slotHelp()
{
    WebLinks::open(WebLinks::webPage(QStringLiteral("/help/guide_demo_pc_v3_014.html")));
}

void EmoticonSelector::onTab(QWidget *page)
{
    Q_UNUSED(page)
}
