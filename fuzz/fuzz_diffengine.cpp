// SPDX-License-Identifier: GPL-3.0-or-later
// The diff engine on line lists made from the input: ComputeDiff must give
// exactly the rows of ComputeDiffReference, and the fast alignment, with
// each of its shortcuts forced down to small inputs, the plain alignment's
// matches. Any difference ends the run.
//
// Input: a byte of options, a byte choosing the shortcut, then the left
// lines, a NUL byte, the right lines; lines are cut at LF and read as UTF-8.

#include "FuzzSupport.h"

#include "DiffEngine.h"
#include "FastLineAligner.h"
#include "KeyInterning.h"
#include "LineAlignment.h"

#include <QStringList>

#include <vector>

namespace {

// The plain forms cost nLeft * nRight. 150 lines still span three 64-line
// words of the bit-parallel rows; more lines add no new paths, only time.
constexpr qsizetype kMaxLines = 150;

QStringList LinesOf(QByteArrayView bytes)
{
    QStringList lines;
    qsizetype start = 0;
    while (start <= bytes.size() && lines.size() < kMaxLines) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        lines.append(QString::fromUtf8(bytes.sliced(start, end - start)));
        start = end + 1;
    }
    return lines;
}

TFastAlignerTuning TuningOf(std::uint8_t choice)
{
    using TMethod = TAlignRowMethod;
    switch (choice % 4) {
    case 1:
        return {0, TMethod::BitParallel, std::int64_t(1) << 40};
    case 2:
        return {0, TMethod::Threshold, std::int64_t(1) << 40};
    case 3:
        return {std::int64_t(choice / 4), TMethod::ByCost, 1 << 10};
    default:
        return {};
    }
}

QString Describe(const QStringList &left, const QStringList &right)
{
    return Shown(left.join(u'|')) + QStringLiteral(" <> ") + Shown(right.join(u'|'));
}

// Each line once, in rising order, on its own side.
void CheckRows(const TDiffItems &items, const QStringList &left, const QStringList &right)
{
    std::int32_t nextLeft = 0;
    std::int32_t nextRight = 0;
    for (const TDiffItem &item : items) {
        if (item.LeftIndex >= 0)
            FUZZ_CHECK(item.LeftIndex == nextLeft++, "left lines out of order");
        if (item.RightIndex >= 0)
            FUZZ_CHECK(item.RightIndex == nextRight++, "right lines out of order");
        FUZZ_CHECK(item.LeftIndex >= 0 || item.RightIndex >= 0, "an empty row");
    }
    FUZZ_CHECK(nextLeft == left.size() && nextRight == right.size(), "lines left out");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TFuzzInput input(data, size);
    const std::uint8_t flags = input.Byte();
    const std::uint8_t tuningChoice = input.Byte();
    TDiffOptions options;
    options.IgnoreCase = flags & 1;
    options.IgnoreAllWhiteSpace = flags & 2;
    options.IgnoreWsAmount = flags & 4;
    options.IgnoreLeadingWhiteSpace = flags & 8;
    options.IgnoreTrailingWhiteSpace = flags & 16;
    options.IgnoreBlankLines = flags & 32;

    const QByteArrayView rest = input.Rest();
    const qsizetype nul = rest.indexOf('\0');
    const QByteArrayView leftBytes = nul < 0 ? rest : rest.first(nul);
    const QByteArrayView rightBytes = nul < 0 ? QByteArrayView() : rest.sliced(nul + 1);
    // No bytes at all is no line, so that both sides can be empty.
    const QStringList left = leftBytes.isEmpty() ? QStringList() : LinesOf(leftBytes);
    const QStringList right = rightBytes.isEmpty() ? QStringList() : LinesOf(rightBytes);

    const TDiffItems fast = ComputeDiff(left, right, options);
    const TDiffItems plain = ComputeDiffReference(left, right, options);
    FUZZ_CHECK(fast == plain, "ComputeDiff differs from the reference:" << Describe(left, right));
    CheckRows(fast, left, right);

    QStringList leftKeys;
    QStringList rightKeys;
    for (const QString &line : left)
        leftKeys.append(NormalizeLine(line, options));
    for (const QString &line : right)
        rightKeys.append(NormalizeLine(line, options));
    const TInternedKeys keys = InternKeys(leftKeys, rightKeys);
    const std::vector<std::int32_t> leftIds(keys.Left.begin(), keys.Left.end());
    const std::vector<std::int32_t> rightIds(keys.Right.begin(), keys.Right.end());
    const TFastLineAligner aligner(leftIds, rightIds, keys.DistinctCount, TuningOf(tuningChoice));
    const LineMatches matches = aligner.AlignLines();
    // The plain form on the same ids: numbers compare faster than strings.
    FUZZ_CHECK(matches == TPlainLineAligner<std::vector<std::int32_t>>(leftIds, rightIds).AlignLines(),
               "the fast alignment with shortcut" << tuningChoice % 4 << "differs:" << Describe(left, right));
    FUZZ_CHECK(aligner.LcsLowerBound() <= qsizetype(matches.size()), "the lower bound exceeds the LCS");
    return 0;
}
