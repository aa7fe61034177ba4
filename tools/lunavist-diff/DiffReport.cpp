// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffReport.h"

#include "HighlightRanges.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace {

// Collects the report in a fixed buffer and hands it to the stream when
// full: one write per 64 KB instead of one per field.
class TReportWriter
{
public:
    explicit TReportWriter(std::FILE *out)
        : FOut(out)
    {
    }
    TReportWriter(const TReportWriter &) = delete;
    TReportWriter &operator=(const TReportWriter &) = delete;
    ~TReportWriter() { Flush(); }

    void Append(QByteArrayView text)
    {
        while (!text.isEmpty()) {
            if (FUsed == FBuffer.size())
                Flush();
            const std::size_t count = std::min(FBuffer.size() - FUsed, std::size_t(text.size()));
            std::memcpy(FBuffer.data() + FUsed, text.data(), count);
            FUsed += count;
            text = text.sliced(qsizetype(count));
        }
    }

    void Append(char c)
    {
        if (FUsed == FBuffer.size())
            Flush();
        FBuffer[FUsed++] = c;
    }

    void AppendNumber(std::int64_t value)
    {
        constexpr std::size_t MaxDigits = 20; // with the sign
        if (FBuffer.size() - FUsed < MaxDigits)
            Flush();
        char *const at = FBuffer.data() + FUsed;
        FUsed += std::size_t(std::to_chars(at, at + MaxDigits, value).ptr - at);
    }

    void Flush()
    {
        std::fwrite(FBuffer.data(), 1, FUsed, FOut);
        FUsed = 0;
    }

private:
    std::FILE *FOut;
    std::size_t FUsed = 0;
    std::array<char, 64 * 1024> FBuffer;
};

void AppendRanges(TReportWriter &out, const QList<THighlightRange> &ranges)
{
    if (ranges.isEmpty()) {
        out.Append('-');
        return;
    }
    bool first = true;
    for (const THighlightRange &range : ranges) {
        if (!first)
            out.Append(',');
        first = false;
        out.AppendNumber(range.Start);
        out.Append(':');
        out.AppendNumber(range.Len);
    }
}

void AppendSideHeader(TReportWriter &out, QByteArrayView label, const TReportSide &side)
{
    out.Append("# ");
    out.Append(label);
    out.Append(": ");
    out.Append(side.EncodingName.toUtf8());
    out.Append('\t');
    out.AppendNumber(side.Lines.size());
    out.Append('\n');
}

} // namespace

QByteArray DiffKindName(TDiffKind kind)
{
    switch (kind) {
    case dkEqual:
        return QByteArrayLiteral("dkEqual");
    case dkLeftOnly:
        return QByteArrayLiteral("dkLeftOnly");
    case dkRightOnly:
        return QByteArrayLiteral("dkRightOnly");
    case dkDifferent:
        return QByteArrayLiteral("dkDifferent");
    }
    return QByteArrayLiteral("?");
}

void WriteDiffReport(std::FILE *out, const TReportSide &left, const TReportSide &right, const TDiffItems &rows,
                     bool highlight, bool ignoreCase)
{
    TReportWriter writer(out);
    AppendSideHeader(writer, "left", left);
    AppendSideHeader(writer, "right", right);
    for (const TDiffItem &item : rows) {
        writer.Append(DiffKindName(item.Kind));
        for (const std::int32_t value : {item.LeftIndex, item.RightIndex, item.LeftChangeStart, item.LeftChangeLen,
                                         item.RightChangeStart, item.RightChangeLen}) {
            writer.Append('\t');
            writer.AppendNumber(value);
        }
        if (highlight) {
            if (item.Kind == dkDifferent) {
                const QString &leftLine = left.Lines[item.LeftIndex];
                const QString &rightLine = right.Lines[item.RightIndex];
                writer.Append('\t');
                AppendRanges(writer, ComputeHighlightRanges(leftLine, rightLine, ignoreCase));
                writer.Append('\t');
                AppendRanges(writer, ComputeHighlightRanges(rightLine, leftLine, ignoreCase));
            } else {
                writer.Append("\t-\t-");
            }
        }
        writer.Append('\n');
    }
}
