// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MakerSite.h"

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

/// The version as the version check compares it: without its point, so
/// "2.4" is 24.
inline int ApplicationVersionNumber()
{
    return ApplicationVersion().remove(u'.').toInt();
}
