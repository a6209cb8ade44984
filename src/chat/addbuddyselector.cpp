// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "addbuddyselector.h"

#include "buddy.h"
#include "buddylist.h"
#include "chat_debug.h"
#include "group.h"
#include "grouplist.h"
#include "ui_addbuddyselector.h"

#include <QRegularExpression>

namespace
{
enum Column { NameColumn = 0, IdColumn = 1 };

//! A name in the picked text is decoration only: it must not look like an ID in "<…>" or end its quotes.
QString quotableName(QString name)
{
    name.remove(QLatin1Char('"'));
    name.remove(QLatin1Char('<'));
    name.remove(QLatin1Char('>'));
    return name;
}
}

AddBuddySelector::AddBuddySelector(QWidget *parent)
    : QDialog(parent)
    , m_pForm(std::make_unique<Ui::AddForm>())
{
    m_pForm->setupUi(this);
    m_pForm->selectedList->setColumnHidden(IdColumn, true);
    m_pForm->candidateList->header()->setStretchLastSection(true);
    m_pForm->candidateList->setColumnWidth(NameColumn, 100);
    m_pForm->groupCombo->addItem(QStringLiteral("전체"));
    connect(m_pForm->groupCombo, &QComboBox::textActivated, this, &AddBuddySelector::slotSelectGroup);
    connect(this, &AddBuddySelector::updateList, this, &AddBuddySelector::slotSelectGroup);
    connect(m_pForm->addButton, &QPushButton::clicked, this, &AddBuddySelector::slotSelectBuddies);
    connect(m_pForm->removeButton, &QPushButton::clicked, this, &AddBuddySelector::slotRemoveBuddies);
    connect(m_pForm->searchButton, &QPushButton::clicked, this, &AddBuddySelector::slotSearchBuddies);
    connect(m_pForm->searchEdit, &QLineEdit::returnPressed, this, &AddBuddySelector::slotSearchBuddies);
    connect(m_pForm->okButton, &QPushButton::clicked, this, &AddBuddySelector::slotSelectedOK);
    connect(m_pForm->cancelButton, &QPushButton::clicked, this, &QDialog::close);
    connect(m_pForm->candidateList, &QTreeWidget::itemDoubleClicked, this, &AddBuddySelector::slotSelectBuddies);
    connect(m_pForm->selectedList, &QTreeWidget::itemDoubleClicked, this, &AddBuddySelector::slotRemoveBuddies);
}

AddBuddySelector::~AddBuddySelector() = default;

void AddBuddySelector::setGroups(GroupList *groups)
{
    m_pGroups = groups;
    QComboBox *combo = m_pForm->groupCombo;
    while (combo->count() > 1) {
        combo->removeItem(1);
    }
    if (!groups) {
        return;
    }
    for (const Group *group : *groups) {
        combo->addItem(group->itemName());
    }
}

void AddBuddySelector::setBuddies(BuddyList *buddies)
{
    m_pBuddies = buddies;
}

void AddBuddySelector::setExcluded(const QStringList &handlesOrIds)
{
    m_excluded = QSet<QString>(handlesOrIds.begin(), handlesOrIds.end());
}

bool AddBuddySelector::isExcluded(const Buddy *buddy) const
{
    // Callers name participants by ID and others by handle; either keeps the buddy out.
    return m_excluded.contains(buddy->handle) || m_excluded.contains(buddy->loginId);
}

bool AddBuddySelector::isSelected(const QString &loginId) const
{
    const QTreeWidget *list = m_pForm->selectedList;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(IdColumn) == loginId) {
            return true;
        }
    }
    return false;
}

void AddBuddySelector::addCandidate(const Buddy *buddy)
{
    if (isSelected(buddy->loginId)) {
        return;
    }
    QTreeWidget *list = m_pForm->candidateList;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(IdColumn) == buddy->loginId) {
            return;
        }
    }
    new QTreeWidgetItem(list, {buddy->name, buddy->loginId});
}

void AddBuddySelector::addSelected(const QString &name, const QString &loginId)
{
    if (!isSelected(loginId)) {
        new QTreeWidgetItem(m_pForm->selectedList, {name, loginId});
    }
}

void AddBuddySelector::fillAllBuddies()
{
    m_pForm->candidateList->clear();
    if (!m_pBuddies) {
        return;
    }
    for (const Buddy *buddy : *m_pBuddies) {
        if (!isExcluded(buddy)) {
            addCandidate(buddy);
        }
    }
}

void AddBuddySelector::slotSelectGroup(const QString &name)
{
    if (m_pForm->groupCombo->currentIndex() <= 0) {
        fillAllBuddies();
        return;
    }
    const Group *group = m_pGroups ? m_pGroups->findGroupByName(name) : nullptr;
    if (!group || !m_pBuddies) {
        qCDebug(KZEMVIK_CHAT) << "Select Error [" << name << "]";
        return;
    }
    // A group shows its own members only.
    m_pForm->candidateList->clear();
    for (const QString &handle : group->members()) {
        const Buddy *buddy = m_pBuddies->findByHandle(handle);
        if (buddy && !isExcluded(buddy)) {
            addCandidate(buddy);
        }
    }
}

void AddBuddySelector::rebuildCandidates()
{
    Q_EMIT updateList(m_pForm->groupCombo->currentText());
}

void AddBuddySelector::slotSelectBuddies()
{
    const QList<QTreeWidgetItem *> picked = m_pForm->candidateList->selectedItems();
    for (const QTreeWidgetItem *item : picked) {
        addSelected(item->text(NameColumn), item->text(IdColumn));
    }
    rebuildCandidates();
}

void AddBuddySelector::slotRemoveBuddies()
{
    qDeleteAll(m_pForm->selectedList->selectedItems());
    rebuildCandidates();
}

void AddBuddySelector::slotSearchBuddies()
{
    const QString text = m_pForm->searchEdit->text();
    // The text works as a pattern; one that is not a valid pattern is looked for as typed.
    QRegularExpression pattern(QStringLiteral(".*") + text + QStringLiteral(".*"));
    const bool literal = !pattern.isValid();
    auto matches = [&](const QString &value) { return literal ? value.contains(text) : pattern.match(value).hasMatch(); };
    m_pForm->candidateList->clear();
    if (!m_pBuddies) {
        return;
    }
    for (const Buddy *buddy : *m_pBuddies) {
        if (!isExcluded(buddy) && (matches(buddy->name) || matches(buddy->loginId))) {
            addCandidate(buddy);
        }
    }
}

void AddBuddySelector::preselect(const QString &text)
{
    m_pForm->selectedList->clear();
    if (!m_pBuddies) {
        return;
    }
    static const QRegularExpression ids(QStringLiteral("<?([^@\\s<>;,\"]+@[^<>\\s;,\"]+)>?"));
    auto it = ids.globalMatch(text);
    while (it.hasNext()) {
        if (const Buddy *buddy = m_pBuddies->findByLoginId(it.next().captured(1))) {
            addSelected(buddy->name, buddy->loginId);
        }
    }
}

QStringList AddBuddySelector::candidateIds() const
{
    QStringList out;
    const QTreeWidget *list = m_pForm->candidateList;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        out.append(list->topLevelItem(i)->text(IdColumn));
    }
    return out;
}

QStringList AddBuddySelector::selectedIds() const
{
    QStringList out;
    const QTreeWidget *list = m_pForm->selectedList;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        out.append(list->topLevelItem(i)->text(IdColumn));
    }
    return out;
}

QString AddBuddySelector::selectedText() const
{
    QStringList entries;
    const QTreeWidget *list = m_pForm->selectedList;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list->topLevelItem(i);
        entries.append(QLatin1Char('"') + quotableName(item->text(NameColumn)) + QStringLiteral("\" <") + item->text(IdColumn) + QLatin1Char('>'));
    }
    return entries.join(QLatin1Char(';'));
}

void AddBuddySelector::slotSelectedOK()
{
    Q_EMIT selectedBuddies(selectedText());
    close();
}
