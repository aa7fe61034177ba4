// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The application title: names the settings folder and the per-user store.
inline QString ApplicationTitle()
{
    return QStringLiteral("Lunavist");
}

/// The version shown in the caption and the About box.
inline QString ApplicationVersion()
{
    return QStringLiteral("2.4");
}

/// The maker's web site, without a trailing slash; its pages are opened in
/// the browser and the updates are fetched from it.
inline QString MakerSiteAddress()
{
    return QStringLiteral("http://lunavist.example");
}
