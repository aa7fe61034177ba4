// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

struct TCatalogueParseResult;

/// All languages of the catalogue side by side: column k holds the texts of
/// language k, row 0 the display names, row 1 the codes, rows 2 and on one
/// entry each. Column 0 is the program's own (English) text and the lookup
/// key. Every accessor is safe for any index.
class TTranslationCatalogue
{
public:
    /// Number of languages with both a display name and a code; 0 for an
    /// empty catalogue or one that ended before its code row.
    int LanguageCount() const { return int(FCodes.size()); }

    /// Rows per column, names and codes included; 0 when empty.
    int RowCount() const { return FColumns.isEmpty() ? 0 : int(FColumns.front().size()); }

    /// Row 0 of `column`; empty outside the catalogue.
    QString DisplayName(int column) const;

    /// Row 1 of `column`; empty outside the catalogue.
    QString Code(int column) const;

    /// The column whose code equals `code` regardless of letter case, the
    /// first one if several do; -1 when none does.
    int IndexOfCode(QStringView code) const;

    /// The text of `column` in the first row whose column-0 text equals
    /// `text` exactly (case- and blank-sensitive; the name and code rows
    /// count too). Returns `text` itself for column 0 or less, a column the
    /// catalogue lacks, no matching row, or an empty translation.
    QString Lookup(int column, const QString &text) const;
    /// The first row whose column-0 text equals `text` exactly; -1 when none.
    int RowOf(const QString &text) const;
    /// Row `row` of `column`; empty outside the catalogue.
    QString Text(int column, int row) const;

private:
    friend TCatalogueParseResult ParseTranslationCatalogue(QByteArrayView bytes);

    QList<QStringList> FColumns;
    QStringList FCodes;
};

/// The outcome of reading a catalogue file: whatever was filled before a
/// failure stays, and `Complete` tells whether a language may be chosen.
struct TCatalogueParseResult {
    TTranslationCatalogue Catalogue;
    bool Complete = false;
};

/// Reads the bytes of a catalogue file: UTF-8, a leading byte-order mark
/// skipped, lines ended by CR LF, CR or LF. Line 0 holds the number N of
/// languages; line r * N + k + 1 holds row r, column k; an incomplete last
/// row is ignored. Not complete when the bytes are not valid UTF-8, line 0
/// is not an integer, N is 0 or less, or the code row is missing.
TCatalogueParseResult ParseTranslationCatalogue(QByteArrayView bytes);
