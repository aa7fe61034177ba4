// SPDX-License-Identifier: GPL-3.0-or-later
// The differing words of a changed line: the table form, the bit-parallel
// form and the chosen one must flag the same tokens, and the highlighted
// ranges must be those tokens, normalised and inside the line.
//
// Input: a byte of choices (bit 0: ignore case), then this line, a NUL byte,
// the other line, read as UTF-8.

#include "FuzzSupport.h"

#include "HighlightRanges.h"

namespace {

// The table form costs nA * nB. 256 units still pass the small-table limit
// (64 by 64 tokens) and span several 64-bit words; longer lines add no paths.
constexpr qsizetype kMaxUnits = 256;

QString LineOf(QByteArrayView bytes)
{
    QString line = QString::fromUtf8(bytes);
    line.truncate(kMaxUnits);
    return line;
}

void CheckTokens(const QString &line, const TLineTokens &tokens)
{
    FUZZ_CHECK(tokens.Texts.size() == tokens.Starts.size() && tokens.Texts.size() == tokens.Lens.size(),
               "token lists of different lengths");
    std::int32_t at = 0;
    for (qsizetype k = 0; k < tokens.Texts.size(); ++k) {
        FUZZ_CHECK(tokens.Starts[k] == at && tokens.Lens[k] > 0 && tokens.Texts[k].size() == tokens.Lens[k],
                   "token" << k << "is not where the last ended");
        FUZZ_CHECK(QStringView(line).sliced(at, tokens.Lens[k]) == tokens.Texts[k], "token text");
        at += tokens.Lens[k];
    }
    FUZZ_CHECK(at == line.size(), "the tokens do not cover the line");
}

// The ranges of the tokens of `tokens` not flagged common, normalised.
THighlightRanges RangesOf(const TLineTokens &tokens, const QList<bool> &common)
{
    THighlightRanges ranges;
    for (qsizetype k = 0; k < tokens.Texts.size(); ++k) {
        if (!common[k])
            ranges.append({tokens.Starts[k], tokens.Lens[k]});
    }
    NormalizeRanges(ranges);
    return ranges;
}

void CheckNormalised(const THighlightRanges &ranges, qsizetype lineSize)
{
    for (qsizetype k = 0; k < ranges.size(); ++k) {
        FUZZ_CHECK(ranges[k].Len > 0 && ranges[k].Start >= 0 && ranges[k].Start + ranges[k].Len <= lineSize,
                   "a range outside the line");
        FUZZ_CHECK(k == 0 || ranges[k].Start > ranges[k - 1].Start + ranges[k - 1].Len,
                   "ranges overlap or touch");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TFuzzInput input(data, size);
    const bool ignoreCase = input.Byte() & 1;
    const QByteArrayView rest = input.Rest();
    const qsizetype nul = rest.indexOf('\0');
    const QString thisLine = LineOf(nul < 0 ? rest : rest.first(nul));
    const QString otherLine = LineOf(nul < 0 ? QByteArrayView() : rest.sliced(nul + 1));

    const TLineTokens a = TokenizeLine(thisLine);
    const TLineTokens b = TokenizeLine(otherLine);
    CheckTokens(thisLine, a);
    CheckTokens(otherLine, b);

    const TCommonTokens plain = MarkCommonTokensReference(a.Texts, b.Texts, ignoreCase);
    const TCommonTokens fast = MarkCommonTokensBitParallel(a.Texts, b.Texts, ignoreCase);
    const TCommonTokens chosen = MarkCommonTokens(a.Texts, b.Texts, ignoreCase);
    FUZZ_CHECK(fast.CommonA == plain.CommonA && fast.CommonB == plain.CommonB,
               "the bit-parallel form differs:" << Shown(thisLine) << "<>" << Shown(otherLine));
    FUZZ_CHECK(chosen.CommonA == plain.CommonA && chosen.CommonB == plain.CommonB,
               "MarkCommonTokens differs:" << Shown(thisLine) << "<>" << Shown(otherLine));
    FUZZ_CHECK(plain.CommonA.count(true) == plain.CommonB.count(true), "unpaired common tokens");

    const THighlightRanges ranges = ComputeHighlightRanges(thisLine, otherLine, ignoreCase);
    FUZZ_CHECK(ranges == RangesOf(a, plain.CommonA), "the ranges are not the uncommon tokens");
    CheckNormalised(ranges, thisLine.size());
    FUZZ_CHECK(thisLine != otherLine || ranges.isEmpty(), "identical lines highlighted");

    // Any ranges at all, normalised, stay inside their hull and normalised.
    THighlightRanges loose;
    for (qsizetype k = 0; k + 1 < qsizetype(std::min<std::size_t>(size, 64)); k += 2)
        loose.append({std::int32_t(data[k]), std::int32_t(data[k + 1] % 32) - 4});
    NormalizeRanges(loose);
    CheckNormalised(loose, 512);
    return 0;
}
