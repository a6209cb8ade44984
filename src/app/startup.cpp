// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "startup.h"
#include "kzemvik.h"

#include <QApplication>
#include <QPointer>

namespace Startup
{
int runMainWindow(KZemvik *window, bool showNetworkLog)
{
    // The main window may delete itself when it finally closes.
    QPointer<KZemvik> guard(window);
    if (!window->initialize()) {
        delete guard;
        return 1;
    }
    window->show();
    if (showNetworkLog) {
        window->showNetworkWindow();
    }
    const int status = QApplication::exec();
    delete guard;
    return status;
}
}
