// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "networkwindow.h"

#include "settings.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{
const QString s_mask = QStringLiteral("********");

//! Replaces field index (0-based, blank separated) of line; the spacing stays as it was.
QString maskField(const QString &line, int index)
{
    int field = -1;
    int i = 0;
    const int n = line.size();
    while (i < n) {
        while (i < n && line.at(i) == QLatin1Char(' ')) {
            ++i;
        }
        if (i >= n) {
            break;
        }
        int end = i;
        while (end < n && line.at(end) != QLatin1Char(' ') && line.at(end) != QLatin1Char('\r') && line.at(end) != QLatin1Char('\n')) {
            ++end;
        }
        if (++field == index) {
            return line.left(i) + s_mask + line.mid(end);
        }
        if (end < n && line.at(end) != QLatin1Char(' ')) {
            break;
        }
        i = end;
    }
    return line;
}
}

NetworkWindow::NetworkWindow(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Network Window"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    m_pLog = new QPlainTextEdit(this);
    m_pLog->setObjectName(QStringLiteral("log"));
    m_pLog->setReadOnly(true);
    m_pLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pLog->setUndoRedoEnabled(false);
    layout->addWidget(m_pLog);
    m_pShowIncoming = new QCheckBox(QStringLiteral("Show incoming server messages"), this);
    m_pShowIncoming->setObjectName(QStringLiteral("showIncoming"));
    m_pShowOutgoing = new QCheckBox(QStringLiteral("Show outgoing server messages"), this);
    m_pShowOutgoing->setObjectName(QStringLiteral("showOutgoing"));
    layout->addWidget(m_pShowIncoming);
    layout->addWidget(m_pShowOutgoing);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    layout->addWidget(buttons);

    setLogCapacity(m_nCapacity);
    m_pShowIncoming->setChecked(true);
    m_pShowOutgoing->setChecked(true);
    connect(m_pShowIncoming, &QCheckBox::toggled, this, &NetworkWindow::adjustFilters);
    connect(m_pShowOutgoing, &QCheckBox::toggled, this, &NetworkWindow::adjustFilters);
    addLogEntry(0, QStringLiteral("kzemvik started."));
}

int NetworkWindow::logCapacity() const
{
    return m_nCapacity;
}

QString NetworkWindow::logText() const
{
    const QString shown = m_pLog->toPlainText();
    if (m_pending.isEmpty()) {
        return shown;
    }
    const QString waiting = m_pending.join(QLatin1Char('\n'));
    return shown.isEmpty() ? waiting : shown + QLatin1Char('\n') + waiting;
}

void NetworkWindow::showEvent(QShowEvent *event)
{
    // Lines that came in while hidden are laid out only now, in one go.
    if (!m_pending.isEmpty()) {
        m_pLog->appendPlainText(m_pending.join(QLatin1Char('\n')));
        m_pending.clear();
    }
    QDialog::showEvent(event);
}

void NetworkWindow::setLogCapacity(int lines)
{
    m_nCapacity = lines;
    m_pLog->setMaximumBlockCount(lines);
    while (m_pending.size() > m_nCapacity) {
        m_pending.removeFirst();
    }
}

void NetworkWindow::adjustFilters()
{
    m_bShowIncoming = m_pShowIncoming->isChecked();
    m_bShowOutgoing = m_pShowOutgoing->isChecked();
}

void NetworkWindow::addLogEntry(int kind, const QString &text)
{
    Q_UNUSED(kind)
    const QString entry = QLatin1Char('(') + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QStringLiteral(") ") + text;
    if (!isVisible()) {
        // A hidden log only keeps its last lines; laying out every line of a large sign-in
        // in a window nobody sees would cost more than the sign-in itself.
        m_pending.append(entry);
        if (m_pending.size() > m_nCapacity) {
            m_pending.removeFirst();
        }
        return;
    }
    m_pLog->appendPlainText(entry);
}

void NetworkWindow::addIncomingServerMessage(const QString &line)
{
    if (m_bShowIncoming) {
        addServerMessage(QStringLiteral("<-- "), line);
    }
}

void NetworkWindow::addOutgoingServerMessage(const QString &line)
{
    if (m_bShowOutgoing) {
        addServerMessage(QStringLiteral("--> "), line);
    }
}

void NetworkWindow::addServerMessage(const QString &prefix, const QString &line)
{
    // The log is plain text, so server text needs no escaping to be shown literally.
    QString text = prefix + maskSecrets(line, Settings::proxyPassword());
    while (text.endsWith(QLatin1Char('\r')) || text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    addLogEntry(0, text);
}

QString NetworkWindow::maskSecrets(const QString &line, const QString &proxyPassword)
{
    QString text = line;
    if (text.startsWith(QLatin1String("LSIN "))) {
        // Outgoing: "LSIN tid id digest ..."; the answer: field 7 is the session ticket.
        const QStringList fields = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        text = fields.size() > 8 ? maskField(text, 7) : maskField(text, 3);
    } else if (text.startsWith(QLatin1String("TICK "))) {
        text = maskField(text, 2);
    }
    if (!proxyPassword.isEmpty()) {
        text.replace(proxyPassword, s_mask);
    }
    return text;
}
