// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The maker's web site over plain HTTP, without a trailing slash: its
/// pages are opened in the browser and the updates are fetched from it.
inline QString MakerSiteAddress()
{
    return QStringLiteral("http://lunavist.example");
}
