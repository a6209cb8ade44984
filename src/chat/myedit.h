// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QTextEdit>

//! The chat input field: Return sends, Shift/Control/Alt+Return breaks the line, at most MaxLength characters.
//! A syllable still being composed by an input method is committed before Return sends.
class MyEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit MyEdit(QWidget *parent = nullptr);

    static constexpr int MaxLength = 4095;

    //! Text being composed by the input method, not yet part of the document.
    QString preeditText() const;

public Q_SLOTS:
    //! Cuts the text to MaxLength characters, cursor at the end.
    void slotCheckLength();

Q_SIGNALS:
    //! Return without a modifier on a field that holds text.
    void onlyReturn();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    //! Turns the syllable being composed into text, so Return never sends without it.
    void commitPreedit();

    QString m_preedit;
};
