// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineAlignment.h"

LineMatches AlignLines(const QStringList &leftKeys, const QStringList &rightKeys)
{
    return TPlainLineAligner<QStringList>(leftKeys, rightKeys).AlignLines();
}
