// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

//! Where a member may open a chat session: the switchboard's address and the key it will accept.
struct SwitchboardTicket {
    QString host;
    quint16 port = 0;
    QString key;

    bool isValid() const
    {
        return !host.isEmpty() && port != 0 && !key.isEmpty();
    }
};
