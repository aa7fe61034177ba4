// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TextFile.h"

#include <QStringList>

// The one splitting rule, over decoded text (QStringView) or over the bytes
// of an encoding whose CR and LF bytes are always those characters
// (QByteArrayView): CR LF, a lone LF and a lone CR each end a line; a break
// at the very end adds no empty line; no text gives no lines.

/// How many lines SplitLines cuts `text` into.
template<typename View>
qsizetype CountLines(View text)
{
    // Every LF ends a line, and every CR not followed by LF; the last
    // character ends the last line whether it is a break or not. Branch-free,
    // so the compiler can test many characters per step.
    const qsizetype n = text.size();
    if (n == 0)
        return 0;
    qsizetype breaks = 0;
    for (qsizetype i = 0; i + 1 < n; ++i)
        breaks += qsizetype(text[i] == u'\n') + (qsizetype(text[i] == u'\r') & qsizetype(text[i + 1] != u'\n'));
    return breaks + 1;
}

/// Appends the lines of `text` to `lines`, each made into a string by
/// `toString(piece)`.
template<typename View, typename ToString>
void AppendLines(QStringList &lines, View text, ToString toString)
{
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
}

/// The lines of `text`, each made into a string by `toString(piece)`.
template<typename View, typename ToString>
QStringList SplitLines(View text, ToString toString)
{
    QStringList lines;
    // Sized once: growing a list of a million lines copies it many times.
    lines.reserve(CountLines(text));
    AppendLines(lines, text, toString);
    return lines;
}

/// The length of the longest start of `text` that ends with a whole break,
/// when `text` is followed by more: a CR as the last character may be the
/// first half of CR LF, so it ends no line yet. Splitting that start and
/// then the rest (with what follows) gives the lines of the whole.
template<typename View>
qsizetype CompleteLinesLength(View text)
{
    qsizetype end = text.size();
    if (end > 0 && text[end - 1] == u'\r')
        --end;
    while (end > 0 && text[end - 1] != u'\r' && text[end - 1] != u'\n')
        --end;
    return end;
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
