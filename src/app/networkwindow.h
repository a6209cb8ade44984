// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QPlainTextEdit;

//! Diagnostic log of every line exchanged with the servers, time-stamped; secrets are masked.
class NetworkWindow : public QDialog
{
    Q_OBJECT
public:
    explicit NetworkWindow(QWidget *parent = nullptr);

    int logCapacity() const;
    //! The log text as shown, one entry a line.
    QString logText() const;
    //! The line with the sign-in digest, ticket and any proxy password replaced by "********".
    static QString maskSecrets(const QString &line, const QString &proxyPassword = QString());

public Q_SLOTS:
    void setLogCapacity(int lines);
    void addLogEntry(int kind, const QString &text);
    void addIncomingServerMessage(const QString &line);
    void addOutgoingServerMessage(const QString &line);
    void adjustFilters();

private:
    void addServerMessage(const QString &prefix, const QString &line);
    void showEvent(QShowEvent *event) override;

    QPlainTextEdit *m_pLog = nullptr;
    QCheckBox *m_pShowIncoming = nullptr;
    QCheckBox *m_pShowOutgoing = nullptr;
    bool m_bShowIncoming = true;
    bool m_bShowOutgoing = true;
    int m_nCapacity = 10240;
    QStringList m_pending; // lines that arrived while the window was hidden
};
