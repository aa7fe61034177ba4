// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The character a named HTML entity stands for (`name` without '&' and
/// ';', case-sensitive: "Agrave" and "agrave" differ); 0 when unknown.
char32_t HtmlEntityCodePoint(const QString &name);
