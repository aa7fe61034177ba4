// SPDX-License-Identifier: GPL-3.0-or-later
// The settings-file reader on any bytes: what it takes over is written back
// and read again unchanged, nothing it holds outgrows the bytes that back
// it, and the written file cut anywhere gives the fields before the cut
// while the later ones keep their values.
// Input: the file's bytes; the last byte also picks the cut.

#include "FuzzSupport.h"

#include "SettingsRecord.h"

#include <QStringList>

namespace {

qsizetype TextUnits(const TSettingsRecord &record)
{
    qsizetype units = record.LeftDialogFolder.size() + record.RightDialogFolder.size() + record.GridFontName.size();
    for (const QStringList *history : {&record.LeftHistory, &record.RightHistory}) {
        for (const QString &entry : *history)
            units += entry.size();
    }
    return units;
}

// One field's value, comparable across records. The history counts are
// their lists' sizes, checked with the lists.
QStringList Field(const TSettingsRecord &r, int field)
{
    const auto n = [](qint64 value) { return QStringList{QString::number(value)}; };
    switch (field) {
    case sfLeftDialogFolder: return {r.LeftDialogFolder};
    case sfRightDialogFolder: return {r.RightDialogFolder};
    case sfIgnoreWhitespace: return n(r.IgnoreWhitespace);
    case sfIgnoreWSAmount: return n(r.IgnoreWSAmount);
    case sfIgnoreLeadingWS: return n(r.IgnoreLeadingWS);
    case sfIgnoreTrailingWS: return n(r.IgnoreTrailingWS);
    case sfIgnoreBlankLines: return n(r.IgnoreBlankLines);
    case sfIgnoreCase: return n(r.IgnoreCase);
    case sfShowLineNumbers: return n(r.ShowLineNumbers);
    case sfShowGridLines: return n(r.ShowGridLines);
    case sfGridFontColor: return n(r.GridFontColor);
    case sfGridFontSize: return n(r.GridFontSize);
    case sfGridFontName: return {r.GridFontName};
    case sfColorAddedLines: return n(r.ColorAddedLines);
    case sfColorRemovedLines: return n(r.ColorRemovedLines);
    case sfColorChangedLines: return n(r.ColorChangedLines);
    case sfColorDifferentTextInLine: return n(r.ColorDifferentTextInLine);
    case sfLeftHistory: return r.LeftHistory;
    case sfRightHistory: return r.RightHistory;
    case sfMaximized: return n(r.Maximized);
    case sfWindowLeft: return n(r.WindowLeft);
    case sfWindowTop: return n(r.WindowTop);
    case sfWindowWidth: return n(r.WindowWidth);
    case sfWindowHeight: return n(r.WindowHeight);
    case sfLeftColumnWidth: return n(r.LeftColumnWidth);
    case sfRightColumnWidth: return n(r.RightColumnWidth);
    default: return {};
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const TSettingsRecord defaults;
    TSettingsRecord record;
    record.GridFontName.clear(); // so every character held came from the bytes
    const TSettingsField last = ReadSettingsRecord(bytes, record);
    FUZZ_CHECK(last >= sfNone && last <= sfLastField, "field" << int(last));
    // Every character costs two bytes of the file and every history entry
    // four at least: a claimed length or count adds nothing.
    const qsizetype entries = record.LeftHistory.size() + record.RightHistory.size();
    FUZZ_CHECK(2 * TextUnits(record) + 4 * entries <= bytes.size(),
               "more text than bytes:" << TextUnits(record) << entries << bytes.size());
    FUZZ_CHECK(record.GridFontSize >= 1, "a font size below 1 was applied:" << record.GridFontSize);

    // What was taken over survives a write and a read whole.
    const QByteArray written = WriteSettingsRecord(record);
    TSettingsRecord again;
    FUZZ_CHECK(ReadSettingsRecord(written, again) == sfLastField, "a written record does not read whole");
    FUZZ_CHECK(again == record, "the record changed on its way through the file");
    FUZZ_CHECK(WriteSettingsRecord(again) == written, "writing the same record gives other bytes");

    // The written file cut short.
    const qsizetype cut = bytes.isEmpty() ? 0 : std::uint8_t(bytes.back()) * written.size() / 255;
    TSettingsRecord partial;
    const TSettingsField cutLast = ReadSettingsRecord(written.first(cut), partial);
    FUZZ_CHECK((cutLast == sfLastField) == (cut == written.size()), "cut at" << cut << "of" << written.size());
    for (int field = sfLeftDialogFolder; field <= sfLastField; ++field) {
        const QStringList got = Field(partial, field);
        const QStringList whole = Field(record, field);
        if (field == sfLeftHistory || field == sfRightHistory) {
            // A cut inside the entries keeps those before it.
            const int count = field - 1;
            if (cutLast >= field)
                FUZZ_CHECK(got == whole, "history" << field << "cut at" << cut);
            else if (cutLast == count)
                FUZZ_CHECK(got.size() <= whole.size() && whole.mid(0, got.size()) == got, "history" << field);
            else
                FUZZ_CHECK(got.isEmpty(), "history" << field << "read past the cut");
        } else if (field <= cutLast) {
            FUZZ_CHECK(got == whole, "field" << field << "not taken over, cut at" << cut);
        } else {
            FUZZ_CHECK(got == Field(defaults, field), "field" << field << "changed past the cut at" << cut);
        }
    }
    return 0;
}
