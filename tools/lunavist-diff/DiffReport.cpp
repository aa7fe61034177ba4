// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffReport.h"

#include "HighlightRanges.h"

namespace {

QByteArray FormatRanges(const QList<THighlightRange> &ranges)
{
    if (ranges.isEmpty())
        return QByteArrayLiteral("-");
    QByteArray text;
    for (const THighlightRange &range : ranges) {
        if (!text.isEmpty())
            text += ',';
        text += QByteArray::number(range.Start) + ':' + QByteArray::number(range.Len);
    }
    return text;
}

void AppendSideHeader(QByteArray &out, const char *label, const TReportSide &side)
{
    out += "# ";
    out += label;
    out += ": " + side.EncodingName.toUtf8() + '\t' + QByteArray::number(side.Lines.size()) + '\n';
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

QByteArray FormatDiffReport(const TReportSide &left, const TReportSide &right, const TDiffItems &rows,
                            bool highlight, bool ignoreCase)
{
    QByteArray out;
    out.reserve(64 + rows.size() * 24);
    AppendSideHeader(out, "left", left);
    AppendSideHeader(out, "right", right);
    for (const TDiffItem &item : rows) {
        out += DiffKindName(item.Kind);
        for (int value : {item.LeftIndex, item.RightIndex, item.LeftChangeStart, item.LeftChangeLen,
                          item.RightChangeStart, item.RightChangeLen}) {
            out += '\t';
            out += QByteArray::number(value);
        }
        if (highlight) {
            if (item.Kind == dkDifferent) {
                const QString &leftLine = left.Lines[item.LeftIndex];
                const QString &rightLine = right.Lines[item.RightIndex];
                out += '\t' + FormatRanges(ComputeHighlightRanges(leftLine, rightLine, ignoreCase));
                out += '\t' + FormatRanges(ComputeHighlightRanges(rightLine, leftLine, ignoreCase));
            } else {
                out += "\t-\t-";
            }
        }
        out += '\n';
    }
    return out;
}
