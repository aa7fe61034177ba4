// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ComparisonSession.h"

#include <QColor>

class QPalette;

/// The colour that `value` stands for: 0x00BBGGRR gives that RGB colour;
/// a system colour reference 0xFF0000nn gives the matching colour of
/// `palette` (0xFF000008, window text, is QPalette::Text), black for an
/// index with no counterpart.
QColor ColorFromValue(TColorValue value, const QPalette &palette);

/// The 0x00BBGGRR value of `color` (alpha dropped).
TColorValue ValueFromColor(const QColor &color);
