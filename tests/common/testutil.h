// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace TestUtil
{
//! Path of the local service executable built with the tests.
QString localServicePath();
}
