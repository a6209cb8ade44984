// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Placeholder translation unit so the window library always has a source.
namespace KZemvikUi
{
int version()
{
    return 9;
}
}
