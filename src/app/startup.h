// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

class KZemvik;

namespace Startup
{
//! Initialises the main window and runs the event loop; the result is the process status.
//! When initialisation fails the program ends at once with status 1 instead of idling
//! without a window. Takes ownership of window.
int runMainWindow(KZemvik *window, bool showNetworkLog);
}
