// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DiffEngine.h"
#include "LineAlignment.h"

/// Turns the matches of an alignment into rows: equal rows for matches;
/// in each gap between matches the changed left lines face the changed
/// right lines in order, and the unpaired rest of one side follows. Then
/// applies the blank-line rule when the options ask for it.
TDiffItems BuildDiffRows(const LineMatches &matches, const QStringList &left, const QStringList &right,
                         const TDiffOptions &options);
