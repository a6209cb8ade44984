// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "messageboxes.h"

#include <QStringList>

//! Message boxes that only remember what they were asked to show.
class RecordingBoxes : public MessageBoxes
{
public:
    RecordingBoxes()
    {
        MessageBoxes::setInstance(this);
    }
    ~RecordingBoxes() override
    {
        MessageBoxes::setInstance(nullptr);
    }

    void information(QWidget *, const QString &text, const QString &title) override
    {
        texts << text;
        titles << title;
    }
    void error(QWidget *, const QString &text, const QString &title) override
    {
        texts << text;
        titles << title;
    }
    bool questionYesNo(QWidget *, const QString &text, const QString &title) override
    {
        texts << text;
        titles << title;
        return answer;
    }

    QStringList texts;
    QStringList titles;
    bool answer = true;
};
