// SPDX-License-Identifier: GPL-3.0-or-later
#include "TranslationCatalogue.h"

#include <QStringDecoder>

namespace {

// CR LF, lone CR and lone LF each end a line; a final line end adds no line.
QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.sliced(start));
    return lines;
}

} // namespace

QString TTranslationCatalogue::DisplayName(int column) const
{
    if (column < 0 || column >= FColumns.size() || FColumns[column].isEmpty())
        return {};
    return FColumns[column].front();
}

QString TTranslationCatalogue::Code(int column) const
{
    return column >= 0 && column < FCodes.size() ? FCodes[column] : QString();
}

int TTranslationCatalogue::IndexOfCode(QStringView code) const
{
    for (qsizetype k = 0; k < FCodes.size(); ++k) {
        if (QStringView(FCodes[k]).compare(code, Qt::CaseInsensitive) == 0)
            return int(k);
    }
    return -1;
}

QString TTranslationCatalogue::Lookup(int column, const QString &text) const
{
    if (column <= 0 || column >= FColumns.size())
        return text;
    const QString translation = Text(column, RowOf(text));
    return translation.isEmpty() ? text : translation;
}

int TTranslationCatalogue::RowOf(const QString &text) const
{
    return FColumns.isEmpty() ? -1 : int(FColumns.front().indexOf(text));
}

QString TTranslationCatalogue::Text(int column, int row) const
{
    if (column < 0 || column >= FColumns.size() || row < 0)
        return QString();
    return FColumns[column].value(row);
}

TCatalogueParseResult ParseTranslationCatalogue(QByteArrayView bytes)
{
    TCatalogueParseResult result;
    // Stateless, so a sequence cut off at the end counts as an error; a
    // leading byte-order mark is skipped.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return result;

    const QStringList lines = SplitLines(text);
    if (lines.isEmpty())
        return result;
    bool ok = false;
    const int columns = lines.front().toInt(&ok);
    if (!ok || columns <= 0)
        return result;

    // Columns are appended as they are filled rather than sized to N up
    // front, so a wild N cannot allocate more than the file holds.
    const qsizetype rows = (lines.size() - 1) / columns;
    TTranslationCatalogue &catalogue = result.Catalogue;
    for (qsizetype k = 0; k < columns; ++k) {
        QStringList column;
        column.reserve(rows);
        for (qsizetype r = 0; r < rows; ++r)
            column.append(lines[r * columns + k + 1]);
        catalogue.FColumns.append(column);
        const qsizetype codeLine = qsizetype(columns) + k + 1;
        if (codeLine >= lines.size())
            return result;
        catalogue.FCodes.append(lines[codeLine]);
    }
    result.Complete = true;
    return result;
}
