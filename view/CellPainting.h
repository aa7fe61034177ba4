// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "HighlightRanges.h"

#include <QPoint>
#include <QString>
#include <QStringView>

class QColor;
class QFontMetrics;
class QPainter;
class QRect;

// Drawing helpers for one grid cell. Rectangles are the cell's full area;
// text keeps a margin of 2 pixels from every edge. No function here treats
// '&' as a mnemonic marker. Offsets and counts are UTF-16 code units.

/// Height of one text line ("Wg") in the font of `fm`, in pixels.
int TextLineHeight(const QFontMetrics &fm);

/// How many code units of `text`, from offset `start`, make the next
/// wrapped line in `width` pixels: breaks after the last SPACE or TAB that
/// fits when the cut would split a word, breaks a word that has no such
/// place, and gives a character wider than `width` a line of its own (a
/// surrogate pair is never split). Returns false, leaving `count` alone,
/// when nothing is left from `start`; otherwise `count` >= 1.
bool FitLineChars(const QFontMetrics &fm, const QString &text, int start, int width, int &count);

/// The overlap [a, b) of `range` with the segment [s, e); false when they
/// do not overlap (a and b are set either way).
bool IntersectRange(const THighlightRange &range, int s, int e, int &a, int &b);

/// Where the next segment of a highlighted line is drawn.
struct TTextPen {
    QPoint Pos;          ///< top left of the next segment
    int LineHeight = 0;  ///< height of the background behind a segment
};

/// Draws `text` at the pen on a background of its own width and one line
/// height, then moves the pen right by that width. Nothing for an empty text.
void DrawTextSegment(QPainter &painter, TTextPen &pen, QStringView text, const QColor &textColor,
                     const QColor &backColor);

/// Fills `rect` with `normalBack` and draws `text` wrapped by FitLineChars
/// inside it, the stretches in `ranges` (ordered, non-overlapping) in the
/// highlight colours. Lines starting below the inner area are not drawn.
void DrawHighlightedText(QPainter &painter, const QRect &rect, const QString &text,
                         const THighlightRanges &ranges, const QColor &normalText,
                         const QColor &normalBack, const QColor &highlightText,
                         const QColor &highlightBack);

/// Draws `text` word-wrapped from the top left of `rect` less the margins,
/// as the row heights measure it. The background is the caller's.
void DrawPlainText(QPainter &painter, const QRect &rect, const QString &text, const QColor &textColor);

/// Text flags shared by DrawPlainText and the row-height measurement.
int PlainTextFlags();

/// When `text` ends in " new" (ASCII letters in any case), drops those 4
/// code units and returns true: the folder comparison's mark of the newer copy.
bool TakeNewMarker(QString &text);

/// The "new" badge over the top right corner of `cell`: `word` in black,
/// centred on a `backColor` box of its width + 8 and one line height + 4.
void DrawNewBadge(QPainter &painter, const QRect &cell, const QString &word, const QColor &backColor);

/// One cell's share of the 2-pixel frame around the current row: top and
/// bottom edges always, the left edge when `leftEdge` (first column), the
/// right edge when `rightEdge` (last column). Pen and brush stay untouched.
void DrawRowFrame(QPainter &painter, const QRect &cell, bool leftEdge, bool rightEdge,
                  const QColor &color);
