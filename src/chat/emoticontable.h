// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

//! One tab of the emoticon picker: its title and its codes in button order.
struct EmoticonPage {
    QString title;
    QStringList codes;
};

//! The emoticon definitions, and the conversion of "/name/" codes in a text to pictures.
class EmoticonTable
{
public:
    //! Uses the installed "kzemvik/emoticons/" directory.
    EmoticonTable();
    //! Uses the given directory (tests, other installations).
    explicit EmoticonTable(const QString &directory);

    //! The emoticon directory, ending in "/" (empty when none was found).
    QString directory() const;
    //! Picture file of an emoticon name (the code without its slashes); empty when unknown.
    QString picture(const QString &name) const;
    int count() const;

    //! Codes become pictures, then "%20" a blank, "%0D" nothing and "%0A" "<br>".
    //! The text must already be HTML-escaped: the result is rich text.
    QString convert(const QString &text) const;
    //! Only the display escapes of convert(), for when emoticons are switched off.
    static QString decodeEscapes(const QString &text);

    //! The picker's five pages, 144 codes in all.
    static const QVector<EmoticonPage> &pickerPages();

private:
    void load();

    QString m_directory;
    QMap<QString, QString> m_pictures;
};
