// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FuzzSupport.h"

#include <QString>

// What the document readers' targets share.

/// The layout every reader's text has: empty, or lines each ended by a LF
/// with no blank line at the start and no line breaks but LF.
inline void CheckTextLayout(const QString &text)
{
    if (text.isEmpty())
        return;
    FUZZ_CHECK(text.endsWith(u'\n'), "the text does not end with a line end:" << Shown(text.right(200)));
    FUZZ_CHECK(!text.startsWith(u'\n'), "the text starts with a blank line:" << Shown(text));
}
