// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "myedit.h"

#include "chat_debug.h"

#include <QDir>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QUrl>

MyEdit::MyEdit(QWidget *parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
    setTabChangesFocus(true);
    connect(this, &QTextEdit::textChanged, this, &MyEdit::slotCheckLength);
}

QString MyEdit::preeditText() const
{
    return m_preedit;
}

void MyEdit::slotCheckLength()
{
    QTextDocument *doc = document();
    // The document counts one position per character and one per paragraph break, as the plain text does.
    if (doc->characterCount() - 1 <= MaxLength) {
        return;
    }
    QTextCursor cut(doc);
    cut.setPosition(MaxLength);
    cut.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    QTextCursor end = textCursor();
    end.movePosition(QTextCursor::End);
    setTextCursor(end);
}

void MyEdit::commitPreedit()
{
    if (m_preedit.isEmpty()) {
        return;
    }
    // A real input method commits on request; when it does not (or there is none), we do it,
    // and tell it to forget the syllable so it is not committed a second time.
    QGuiApplication::inputMethod()->commit();
    if (m_preedit.isEmpty()) {
        return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(m_preedit);
    inputMethodEvent(&commit);
    QGuiApplication::inputMethod()->reset();
}

void MyEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QTextEdit::keyPressEvent(event);
        return;
    }
    commitPreedit();
    if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
        textCursor().insertText(QStringLiteral("\n"));
        ensureCursorVisible();
        return;
    }
    event->accept();
    if (!toPlainText().isEmpty()) {
        Q_EMIT onlyReturn();
    }
}

void MyEdit::inputMethodEvent(QInputMethodEvent *event)
{
    m_preedit = event->preeditString();
    QTextEdit::inputMethodEvent(event);
}

bool MyEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasUrls() || source->hasImage() || QTextEdit::canInsertFromMimeData(source);
}

void MyEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasUrls()) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    qCDebug(KZEMVIK_CHAT) << "XXXXXXXXXXXXXXXXXXXXX";
    QString text = QStringLiteral("Full URLs:\n");
    QString files;
    const QList<QUrl> urls = source->urls();
    for (const QUrl &url : urls) {
        text += QStringLiteral("   ") + url.toString() + QLatin1Char('\n');
        if (url.isLocalFile()) {
            files += QStringLiteral("   ") + QDir::toNativeSeparators(url.toLocalFile()) + QLatin1Char('\n');
        }
    }
    if (!files.isEmpty()) {
        text += QStringLiteral("Files:\n") + files;
    }
    setPlainText(text);
}
