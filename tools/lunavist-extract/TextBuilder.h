// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

/// Collects a document's text as lines, the same way for every format:
/// a paragraph is a line, a table row is one line of tab-separated cells,
/// and sections (pages, sheets, slides, mail parts) are kept apart by one
/// blank line. Blank lines at the start and end of a section are dropped.
class TTextBuilder {
public:
    /// Appends to the current line, or to the current cell inside a row.
    /// CR, LF and CR LF in the text end the line as EndLine() does.
    void Append(QStringView text);
    void Append(QChar c) { Append(QStringView(&c, 1)); }

    /// Ends the current line, also an empty one (an empty paragraph, a
    /// line break). Inside a cell it separates by one space instead.
    void EndLine();
    /// Ends the current line only when it holds text: a block boundary that
    /// must not add blank lines.
    void EndBlock();
    /// A tab in a line; one space inside a cell.
    void Tab();
    /// True when the current line (or cell) holds nothing yet.
    bool AtLineStart() const;
    /// The last character of the current line or cell; null when empty.
    QChar LastChar() const;

    /// Starts a table row; text before it on the current line ends its line.
    void BeginRow();
    bool InRow() const { return FInRow; }
    /// Ends the current cell (starting a row when none is open).
    void EndCell();
    /// Writes the row as one line of cells joined by tabs, after dropping
    /// the empty cells at its end when `dropTrailingEmpty` (a spreadsheet's
    /// sparse rows). A row left without cells writes nothing.
    void EndRow(bool dropTrailingEmpty);

    /// Begins a new section: the next text is separated from earlier text
    /// by exactly one blank line.
    void StartSection();

    /// The lines joined by LF, with a LF after the last; empty when there
    /// is no text.
    QString Finish();

private:
    void EmitLine(QStringView line);
    QString &Current() { return FInRow ? FCell : FLine; }
    const QString &Current() const { return FInRow ? FCell : FLine; }

    /// The finished lines, each with its LF: one string, so a large
    /// document costs its characters and not a string per line.
    QString FText;
    /// Empty lines not written yet: they are dropped at a section's end.
    qsizetype FBlankLines = 0;
    QString FLine;
    QString FCell;
    QStringList FRow;
    bool FInRow = false;
    bool FSectionStart = true;
};
