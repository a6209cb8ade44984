// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>
#include <QSet>
#include <memory>

class BuddyList;
class Buddy;
class GroupList;
namespace Ui
{
class AddForm;
}

//! The buddy picker of invitations and memo recipients: candidates by group or search on the left,
//! the picked buddies on the right; OK hands over "\"name\" <id>;…".
class AddBuddySelector : public QDialog
{
    Q_OBJECT
public:
    explicit AddBuddySelector(QWidget *parent = nullptr);
    ~AddBuddySelector() override;

    //! Keeps the groups and offers them in the group box after "all".
    void setGroups(GroupList *groups);
    void setBuddies(BuddyList *buddies);
    //! Buddies never offered, by handle or by service ID.
    void setExcluded(const QStringList &handlesOrIds);
    //! Fills the picked list from the IDs in a recipients text.
    void preselect(const QString &text);
    //! Every buddy not left out and not picked yet.
    void fillAllBuddies();
    QStringList candidateIds() const;
    QStringList selectedIds() const;
    //! The text OK hands over.
    QString selectedText() const;

public Q_SLOTS:
    void slotSelectGroup(const QString &name);
    void slotSelectBuddies();
    void slotRemoveBuddies();
    void slotSearchBuddies();
    void slotSelectedOK();

Q_SIGNALS:
    void updateList(const QString &groupName);
    void selectedBuddies(const QString &text);

private:
    bool isExcluded(const Buddy *buddy) const;
    bool isSelected(const QString &loginId) const;
    void addCandidate(const Buddy *buddy);
    void addSelected(const QString &name, const QString &loginId);
    void rebuildCandidates();

    std::unique_ptr<Ui::AddForm> m_pForm;
    QPointer<GroupList> m_pGroups;
    QPointer<BuddyList> m_pBuddies;
    QSet<QString> m_excluded;
};
