// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>

//! The pending received bytes of one connection; lines and payloads are cut from its front.
class KZemvikBuffer
{
public:
    void add(const char *data, int count);
    void add(const QByteArray &bytes);
    int length() const;
    //! Position of the first CR that is followed by LF, or -1. A trailing CR does not end a line yet.
    int findNewline() const;
    int find(const QByteArray &text) const;
    //! A copy of the first n bytes; empty (and logged) when fewer are held.
    QByteArray left(int n) const;
    //! A copy of n bytes starting at pos; empty when they are not all held.
    QByteArray mid(int pos, int n) const;
    //! Drops the first n bytes; nothing changes (and it is logged) when fewer are held.
    bool remove(int n);
    void clear();
    const char *constData() const;

private:
    QByteArray m_data;
    int m_start = 0; // bytes before this offset are consumed
    mutable int m_scanFrom = 0; // no line end starts before this offset (relative to m_start)
};
