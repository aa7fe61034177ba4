// SPDX-License-Identifier: GPL-3.0-or-later
// The translation catalogue reader on any bytes, and every accessor on what
// it read, with indices inside and outside the table.

#include "FuzzSupport.h"

#include "TranslationCatalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const TCatalogueParseResult parsed =
        ParseTranslationCatalogue(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    const TTranslationCatalogue &catalogue = parsed.Catalogue;
    const int languages = catalogue.LanguageCount();
    const int rows = catalogue.RowCount();
    FUZZ_CHECK(!parsed.Complete || languages > 0, "a complete catalogue without languages");
    FUZZ_CHECK(!parsed.Complete || rows >= 2, "a complete catalogue without its name and code rows:" << rows);
    // The rows can never outnumber the lines, nor the lines the bytes.
    FUZZ_CHECK(qint64(rows) * std::max(languages, 1) <= qint64(size) + 1, "more texts than bytes");

    for (int column = -1; column <= languages; ++column) {
        const bool inside = column >= 0 && column < languages;
        FUZZ_CHECK(inside || catalogue.Code(column).isEmpty(), "a code outside the table");
        FUZZ_CHECK(inside || catalogue.DisplayName(column).isEmpty() || column == languages,
                   "a name before the table");
        if (inside && parsed.Complete) {
            FUZZ_CHECK(catalogue.DisplayName(column) == catalogue.Text(column, 0), "row 0 is the name");
            FUZZ_CHECK(catalogue.Code(column) == catalogue.Text(column, 1), "row 1 is the code");
            const int found = catalogue.IndexOfCode(catalogue.Code(column));
            FUZZ_CHECK(found >= 0 && found <= column, "IndexOfCode misses" << column << found);
        }
        // Every key looks up its own row's text, or itself when that is empty
        // or the column is the keys' own.
        for (int row = -1; row <= std::min(rows, 40); ++row) {
            const QString key = catalogue.Text(0, row);
            const int keyRow = catalogue.RowOf(key);
            FUZZ_CHECK(row < 0 || row >= rows || (keyRow >= 0 && keyRow <= row), "RowOf misses" << row);
            const QString translated = catalogue.Lookup(column, key);
            const QString own = keyRow >= 0 ? catalogue.Text(column, keyRow) : QString();
            const QString expected = column <= 0 || column >= languages || own.isEmpty() ? key : own;
            FUZZ_CHECK(translated == expected || column >= languages, "Lookup" << column << row);
        }
    }
    FUZZ_CHECK(catalogue.Lookup(1, QStringLiteral("\u0001 not a key")) == QStringLiteral("\u0001 not a key"),
               "an unknown key is translated");
    return 0;
}
