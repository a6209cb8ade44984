// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <KMainWindow>

#include <QStringList>

class KActionCollection;
class KSelectAction;
class KToggleAction;
class QAction;
class QLabel;

//! The main window's shell: menu bar, actions, status-bar label; the controller derives from it.
class KZemvikInterface : public KMainWindow
{
    Q_OBJECT
public:
    explicit KZemvikInterface(QWidget *parent = nullptr);
    ~KZemvikInterface() override;

    //! Builds the status label, the menus and the standard actions; once.
    bool initInterface();

    KActionCollection *actions() const;
    QAction *action(const QString &name) const;
    KSelectAction *selectAction(const QString &name) const;
    KToggleAction *toggleAction(const QString &name) const;
    QLabel *statusLabel() const;

    //! Signed out: the session actions are off and only the settings stay usable among them.
    void setSignedInMenus(bool signedIn);
    //! The names of the actions that only work while signed in.
    static QStringList sessionActionNames();

public Q_SLOTS:
    void slotSetGroupList(const QStringList &names);
    void slotUpdateStatusText(const QString &text);
    virtual void slotChangeStatusNumber(int status);
    void slotMenuHide();
    void slotAppClose();
    void slotOpenFileBox();
    void slotGoTirnHome();
    void slotGoMvHome();
    void slotGoTirnDotCom();
    void slotZemvikUsage();
    void slotGoZemvikMiniKivra();
    void slotGoHotTip();
    void slotFAQ();

    //! Window size and position as stored (group "General").
    virtual void readWindowProperties();
    void saveWindowProperties();

private:
    QAction *addAction(const QString &name, const QString &text, const QKeySequence &shortcut = QKeySequence());
    KSelectAction *addSelectAction(const QString &name, const QString &text, const QStringList &items);

    KActionCollection *m_pActions = nullptr;
    QLabel *m_pStatusLabel = nullptr;
    bool m_bBuilt = false;
};
