// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TextFile.h"

#include <QStringList>

// The one splitting rule, over decoded text (QStringView) or over the bytes
// of an encoding whose CR and LF bytes are always those characters
// (QByteArrayView): CR LF, a lone LF and a lone CR each end a line; a break
// at the very end adds no empty line; no text gives no lines.

/// The lines of `text`, each made into a string by `toString(piece)`.
template<typename View, typename ToString>
QStringList SplitLines(View text, ToString toString)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype start = i;
        while (i < n && text[i] != u'\r' && text[i] != u'\n')
            ++i;
        lines.append(toString(text.sliced(start, i - start)));
        if (i < n && text[i] == u'\r')
            ++i;
        if (i < n && text[i] == u'\n')
            ++i;
    }
    return lines;
}

/// The first break of `text` (LF when it has none) and whether it ends
/// with a break (true for an empty text).
template<typename View>
TLineBreakStyle LineBreakStyleOf(View text)
{
    TLineBreakStyle style;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            break; // lbLf, the default
        if (text[i] == u'\r') {
            style.LineBreak = i + 1 < text.size() && text[i + 1] == u'\n' ? lbCrLf : lbCr;
            break;
        }
    }
    style.EndsWithBreak = text.isEmpty() || text.back() == u'\r' || text.back() == u'\n';
    return style;
}
