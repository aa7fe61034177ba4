// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffEngine.h"

#include "DiffRows.h"
#include "FastLineAligner.h"
#include "KeyInterning.h"
#include "LineAlignment.h"

#include <algorithm>

namespace {

constexpr bool IsWhiteSpace(QChar c)
{
    return c == u'\t' || c == u' ';
}

QStringList KeysOf(const QStringList &lines, const TDiffOptions &options)
{
    QStringList keys;
    keys.reserve(lines.size());
    for (const QString &line : lines)
        keys.append(NormalizeLine(line, options));
    return keys;
}

} // namespace

bool IsBlankText(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0x20; });
}

QString NormalizeLine(const QString &line, const TDiffOptions &Options)
{
    QStringView text(line);
    if (Options.IgnoreLeadingWhiteSpace) {
        while (!text.isEmpty() && IsWhiteSpace(text.front()))
            text = text.sliced(1);
    }
    if (Options.IgnoreTrailingWhiteSpace) {
        while (!text.isEmpty() && IsWhiteSpace(text.back()))
            text.chop(1);
    }

    QString key;
    if (Options.IgnoreAllWhiteSpace) {
        key.reserve(text.size());
        for (QChar c : text) {
            if (!IsWhiteSpace(c))
                key.append(c);
        }
    } else if (Options.IgnoreWsAmount) {
        key.reserve(text.size());
        bool inRun = false;
        for (QChar c : text) {
            if (IsWhiteSpace(c)) {
                if (!inRun)
                    key.append(u' ');
                inRun = true;
            } else {
                key.append(c);
                inRun = false;
            }
        }
    } else if (text.size() == line.size()) {
        key = line; // shares the line's data: no copy when nothing was cut
    } else {
        key = text.toString();
    }

    if (Options.IgnoreBlankLines && IsBlankText(key))
        key.clear();

    if (Options.IgnoreCase) {
        // Simple one-to-one mapping per code unit, so the length never changes.
        for (QChar &c : key)
            c = c.toLower();
    }
    return key;
}

TChangeRange ComputeChangeRange(QStringView left, QStringView right)
{
    const qsizetype leftLen = left.size();
    const qsizetype rightLen = right.size();
    qsizetype prefix = 0;
    while (prefix < leftLen && prefix < rightLen && left[prefix] == right[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < leftLen - prefix && suffix < rightLen - prefix
           && left[leftLen - 1 - suffix] == right[rightLen - 1 - suffix])
        ++suffix;

    TChangeRange range;
    range.LeftChangeStart = std::int32_t(prefix);
    range.RightChangeStart = std::int32_t(prefix);
    range.LeftChangeLen = std::int32_t(leftLen - prefix - suffix);
    range.RightChangeLen = std::int32_t(rightLen - prefix - suffix);
    if (range.LeftChangeLen == 0 && range.RightChangeLen == 0) {
        // Identical texts: mark each non-empty side as a whole.
        range.LeftChangeStart = 0;
        range.RightChangeStart = 0;
        range.LeftChangeLen = std::int32_t(leftLen);
        range.RightChangeLen = std::int32_t(rightLen);
    }
    return range;
}

TDiffItems ComputeDiff(const QStringList &Left, const QStringList &Right, const TDiffOptions &Options)
{
    LineMatches matches;
    {
        // Without options a line is its own key.
        const TInternedKeys keys =
            Options == TDiffOptions{}
                ? InternKeys(Left, Right)
                : InternKeys(Left, Right, [&Options](const QString &line) { return NormalizeLine(line, Options); });
        matches = AlignLinesFast(keys);
    }
    return BuildDiffRows(matches, Left, Right, Options);
}

TDiffItems ComputeDiffReference(const QStringList &Left, const QStringList &Right, const TDiffOptions &Options)
{
    const LineMatches matches = AlignLines(KeysOf(Left, Options), KeysOf(Right, Options));
    return BuildDiffRows(matches, Left, Right, Options);
}
