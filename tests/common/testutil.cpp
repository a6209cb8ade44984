// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "testutil.h"

namespace TestUtil
{
QString localServicePath()
{
    return QStringLiteral(ZEMVIK_LOCALSERVICE_PATH);
}
}
