// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellPainting.h"

#include "GridLayout.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QRect>

#include <algorithm>

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool SplitsSurrogatePair(QStringView text, qsizetype cut)
{
    return cut > 0 && cut < text.size() && text[cut - 1].isHighSurrogate() && text[cut].isLowSurrogate();
}

} // namespace

int TextLineHeight(const QFontMetrics &fm)
{
    return fm.height();
}

bool FitLineChars(const QFontMetrics &fm, const QString &text, int start, int width, int &count)
{
    const int rem = int(text.size()) - start;
    if (rem <= 0 || start < 0)
        return false;
    const QString rest = text.mid(start);

    // Widths grow with the number of units, so the largest prefix that
    // fits is found by bisection.
    int lo = 0;
    int hi = rem;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (fm.horizontalAdvance(rest, mid) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    int fit = lo;
    if (SplitsSurrogatePair(rest, fit))
        --fit;

    if (fit <= 0) {
        count = SplitsSurrogatePair(rest, 1) ? 2 : 1;
        return true;
    }
    if (fit >= rem) {
        count = rem;
        return true;
    }
    if (!IsBlank(rest[fit - 1]) && !IsBlank(rest[fit])) {
        // The cut would split a word: end the line after the last blank.
        for (int p = fit - 1; p >= 0; --p) {
            if (IsBlank(rest[p])) {
                count = p + 1;
                return true;
            }
        }
    }
    count = fit;
    return true;
}

bool IntersectRange(const THighlightRange &range, int s, int e, int &a, int &b)
{
    a = std::max(s, range.Start);
    b = int(std::min<std::int64_t>(e, std::int64_t(range.Start) + range.Len));
    return a < b;
}

void DrawTextSegment(QPainter &painter, TTextPen &pen, QStringView text, const QColor &textColor,
                     const QColor &backColor)
{
    if (text.isEmpty())
        return;
    const QFontMetrics fm = painter.fontMetrics();
    const QString segment = text.toString();
    const int w = fm.horizontalAdvance(segment);
    painter.fillRect(QRect(pen.Pos.x(), pen.Pos.y(), w, pen.LineHeight), backColor);
    painter.setPen(textColor);
    painter.drawText(QPoint(pen.Pos.x(), pen.Pos.y() + fm.ascent()), segment);
    pen.Pos.rx() += w;
}

void DrawHighlightedText(QPainter &painter, const QRect &rect, const QString &text,
                         const THighlightRanges &ranges, const QColor &normalText,
                         const QColor &normalBack, const QColor &highlightText,
                         const QColor &highlightBack)
{
    painter.fillRect(rect, normalBack);
    const QRect inner = rect.adjusted(kCellTextMargin, kCellTextMargin, -kCellTextMargin, -kCellTextMargin);
    if (text.isEmpty() || inner.width() <= 2 || inner.height() <= 2)
        return;

    const QFontMetrics fm = painter.fontMetrics();
    int lineHeight = TextLineHeight(fm);
    if (lineHeight <= 0)
        lineHeight = 14;

    const QStringView all(text);
    const int length = int(text.size());
    const int bottom = inner.y() + inner.height(); // exclusive
    int y = inner.y();
    int offset = 0;
    while (offset < length && y < bottom) {
        int n = 0;
        if (!FitLineChars(fm, text, offset, inner.width(), n) || n <= 0)
            break;
        const int segEnd = offset + n;
        TTextPen pen{QPoint(inner.x(), y), lineHeight};
        int cur = offset;
        for (const THighlightRange &range : ranges) {
            int a = 0;
            int b = 0;
            if (!IntersectRange(range, offset, segEnd, a, b))
                continue;
            if (a > cur)
                DrawTextSegment(painter, pen, all.sliced(cur, a - cur), normalText, normalBack);
            DrawTextSegment(painter, pen, all.sliced(a, b - a), highlightText, highlightBack);
            cur = b;
            if (cur >= segEnd)
                break;
        }
        if (cur < segEnd)
            DrawTextSegment(painter, pen, all.sliced(cur, segEnd - cur), normalText, normalBack);
        y += lineHeight;
        offset = segEnd;
    }
}

int PlainTextFlags()
{
    return Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
}

void DrawPlainText(QPainter &painter, const QRect &rect, const QString &text, const QColor &textColor)
{
    if (text.isEmpty())
        return;
    painter.setPen(textColor);
    painter.drawText(rect.adjusted(kCellTextMargin, kCellTextMargin, -kCellTextMargin, -kCellTextMargin),
                     PlainTextFlags(), text);
}

bool TakeNewMarker(QString &text)
{
    static constexpr char16_t kMarker[] = u" new";
    if (text.size() < 4)
        return false;
    const qsizetype from = text.size() - 4;
    for (qsizetype i = 0; i < 4; ++i) {
        char16_t c = text[from + i].unicode();
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c + (u'a' - u'A'));
        if (c != kMarker[i])
            return false;
    }
    text.chop(4);
    return true;
}

void DrawNewBadge(QPainter &painter, const QRect &cell, const QString &word, const QColor &backColor)
{
    const QFontMetrics fm = painter.fontMetrics();
    const int badgeWidth = fm.horizontalAdvance(word) + 8;
    const int right = cell.x() + cell.width() - 4; // exclusive
    const QRect badge(right - badgeWidth, cell.y() + 2, badgeWidth, TextLineHeight(fm) + 4);
    painter.fillRect(badge, backColor);
    painter.setPen(QColor(Qt::black));
    painter.drawText(badge, Qt::AlignCenter | Qt::TextSingleLine, word);
}

void DrawRowFrame(QPainter &painter, const QRect &cell, bool leftEdge, bool rightEdge,
                  const QColor &color)
{
    // The edges of the cell shrunk by 1, traced with a 2-pixel pen: bands
    // 2 pixels thick whose outer side is the cell's first row and column
    // and whose inner side is the second-to-last row and column (the last
    // ones carry the grid lines). The top and bottom bands run on over the
    // grid line to the next cell, so the cells' shares join into one
    // unbroken rectangle around the row. Filled, not stroked: exact pixels
    // on every rasteriser, and the painter's pen and brush stay untouched.
    const int x = cell.x();
    const int y = cell.y();
    const int w = cell.width();
    const int h = cell.height();
    constexpr int kWidth = 2;
    const int bandRight = rightEdge ? x + w - 1 : x + w; // exclusive
    painter.fillRect(QRect(x, y, bandRight - x, kWidth), color);
    painter.fillRect(QRect(x, y + h - 1 - kWidth, bandRight - x, kWidth), color);
    if (leftEdge)
        painter.fillRect(QRect(x, y, kWidth, h - 1), color);
    if (rightEdge)
        painter.fillRect(QRect(x + w - 1 - kWidth, y, kWidth, h - 1), color);
}
