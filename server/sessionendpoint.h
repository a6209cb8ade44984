// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>

//! One signed-in member as the session server sees it: a client connection or an in-process bot.
//! The server hands it complete protocol lines (with their payloads) and never asks how they travel.
class SessionEndpoint
{
public:
    virtual ~SessionEndpoint() = default;
    //! Protocol bytes for this member: one or more CR LF lines, payloads included.
    virtual void deliver(const QByteArray &bytes) = 0;
    //! Another sign-in of the same ID took over; the endpoint must let go.
    virtual void kill() = 0;
};
