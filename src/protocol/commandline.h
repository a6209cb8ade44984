// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringList>

//! Line grammar shared by every server connection and by the local service.
namespace CommandLine
{
//! Longest line accepted from a peer, CR LF excluded.
constexpr int MaxLineLength = 64 * 1024;
//! Largest payload length accepted from a peer.
constexpr int MaxPayloadLength = 1024 * 1024;

//! Splits a received line on blanks; empty fields are dropped.
QStringList split(const QString &line);
//! Field escaping: blank "%20", CR "%0D", LF "%0A"; an empty text becomes "%00".
QString escape(const QString &text);
//! Reverses escape(): "%20", then "%0D", then "%0A". "%00" and other sequences stay.
QString unescape(const QString &text);
//! unescape(), with "%00" read as an empty text.
QString unescapeField(const QString &field);
//! Field i, or a null string when the line is too short.
inline QString field(const QStringList &fields, int i)
{
    return i >= 0 && i < fields.size() ? fields.at(i) : QString();
}
//! The integer value of field i; fallback when it is missing or not a number.
int intField(const QStringList &fields, int i, int fallback = 0);
//! Number of UTF-8 bytes of text, the unit of outbound payload lengths.
int byteLength(const QString &text);
}
