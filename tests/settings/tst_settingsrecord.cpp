// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file's bytes: writing, reading, and reading what is cut
// short or damaged.

#include "SettingsRecord.h"

#include <QTest>
#include <QtEndian>

#include <limits>
#include <numeric>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TSettingsRecord)

namespace {

// Every field differs from the defaults, so a field that was not read shows.
TSettingsRecord Sample()
{
    TSettingsRecord record;
    record.LeftDialogFolder = u"/home/jürgen/left"_s;
    record.RightDialogFolder = u"C:\\Daten\\\U0001F600"_s; // a surrogate pair
    record.IgnoreWhitespace = true;
    record.IgnoreWSAmount = true;
    record.IgnoreLeadingWS = true;
    record.IgnoreTrailingWS = true;
    record.IgnoreBlankLines = true;
    record.IgnoreCase = true;
    record.ShowLineNumbers = false;
    record.ShowGridLines = false;
    record.GridFontColor = 0x00123456;
    record.GridFontSize = 14;
    record.GridFontName = u"DejaVu Sans Mono"_s;
    record.ColorAddedLines = 0x00010203;
    record.ColorRemovedLines = 0x00040506;
    record.ColorChangedLines = 0xFF00000F;
    record.ColorDifferentTextInLine = 0x00070809;
    record.LeftHistory = {u"/a/one.txt"_s, u"/a/two.txt"_s};
    record.RightHistory = {u"/b/one.txt"_s, QString(), u"/b/three.txt"_s};
    record.Maximized = true;
    record.WindowLeft = -1920;
    record.WindowTop = 15;
    record.WindowWidth = 1280;
    record.WindowHeight = 1024;
    record.LeftColumnWidth = 300;
    record.RightColumnWidth = 0x12345678;
    return record;
}

// A base that differs from Sample() in every field, histories included.
TSettingsRecord Base()
{
    TSettingsRecord record;
    record.LeftHistory = {u"kept left"_s};
    record.RightHistory = {u"kept right"_s};
    return record;
}

// Whether `a` and `b` agree on one field (a history count stands for its list).
bool SameField(TSettingsField field, const TSettingsRecord &a, const TSettingsRecord &b)
{
    switch (field) {
    case sfLeftDialogFolder: return a.LeftDialogFolder == b.LeftDialogFolder;
    case sfRightDialogFolder: return a.RightDialogFolder == b.RightDialogFolder;
    case sfIgnoreWhitespace: return a.IgnoreWhitespace == b.IgnoreWhitespace;
    case sfIgnoreWSAmount: return a.IgnoreWSAmount == b.IgnoreWSAmount;
    case sfIgnoreLeadingWS: return a.IgnoreLeadingWS == b.IgnoreLeadingWS;
    case sfIgnoreTrailingWS: return a.IgnoreTrailingWS == b.IgnoreTrailingWS;
    case sfIgnoreBlankLines: return a.IgnoreBlankLines == b.IgnoreBlankLines;
    case sfIgnoreCase: return a.IgnoreCase == b.IgnoreCase;
    case sfShowLineNumbers: return a.ShowLineNumbers == b.ShowLineNumbers;
    case sfShowGridLines: return a.ShowGridLines == b.ShowGridLines;
    case sfGridFontColor: return a.GridFontColor == b.GridFontColor;
    case sfGridFontSize: return a.GridFontSize == b.GridFontSize;
    case sfGridFontName: return a.GridFontName == b.GridFontName;
    case sfColorAddedLines: return a.ColorAddedLines == b.ColorAddedLines;
    case sfColorRemovedLines: return a.ColorRemovedLines == b.ColorRemovedLines;
    case sfColorChangedLines: return a.ColorChangedLines == b.ColorChangedLines;
    case sfColorDifferentTextInLine: return a.ColorDifferentTextInLine == b.ColorDifferentTextInLine;
    case sfLeftHistoryCount:
    case sfLeftHistory: return a.LeftHistory == b.LeftHistory;
    case sfRightHistoryCount:
    case sfRightHistory: return a.RightHistory == b.RightHistory;
    case sfMaximized: return a.Maximized == b.Maximized;
    case sfWindowLeft: return a.WindowLeft == b.WindowLeft;
    case sfWindowTop: return a.WindowTop == b.WindowTop;
    case sfWindowWidth: return a.WindowWidth == b.WindowWidth;
    case sfWindowHeight: return a.WindowHeight == b.WindowHeight;
    case sfLeftColumnWidth: return a.LeftColumnWidth == b.LeftColumnWidth;
    case sfRightColumnWidth: return a.RightColumnWidth == b.RightColumnWidth;
    default: return true;
    }
}

// Whether a read that ended with field `last` has set field `f`: a history
// whose count was read has its entries set as well, to those read.
bool Applied(int f, int last)
{
    return f <= last || (last == sfLeftHistoryCount && f == sfLeftHistory)
           || (last == sfRightHistoryCount && f == sfRightHistory);
}

// The bytes each field of `record` takes, in file order, from the format's
// rules: 4 per integer and colour, 1 per Boolean, 4 + 2n per string.
QList<qsizetype> FieldSizes(const TSettingsRecord &record)
{
    const auto string = [](const QString &s) { return 4 + 2 * s.size(); };
    const auto strings = [&](const QStringList &list) {
        qsizetype total = 0;
        for (const QString &s : list)
            total += string(s);
        return total;
    };
    return {4, string(record.LeftDialogFolder), string(record.RightDialogFolder), 1, 1, 1, 1, 1, 1, 1, 1, 4, 4,
            string(record.GridFontName), 4, 4, 4, 4, 4, strings(record.LeftHistory), 4, strings(record.RightHistory),
            1, 4, 4, 4, 4, 4, 4};
}

// Where `field` starts, for the field sizes `sizes`.
qsizetype OffsetOf(const QList<qsizetype> &sizes, int field)
{
    return std::accumulate(sizes.cbegin(), sizes.cbegin() + (field - 1), qsizetype(0));
}

QByteArray Patched(QByteArray bytes, qsizetype offset, std::int32_t value)
{
    qToLittleEndian(value, bytes.data() + offset);
    return bytes;
}

// Offsets in the record of Defaults103() (empty folders and histories).
constexpr qsizetype kLeftFolderLength = 4;
constexpr qsizetype kFirstFlag = 12;
constexpr qsizetype kLeftHistoryCount = 70;
constexpr qsizetype kRightHistoryCount = 74;

TSettingsRecord Defaults103()
{
    TSettingsRecord record;
    record.WindowLeft = 10;
    record.WindowTop = 20;
    record.WindowWidth = 1154;
    record.WindowHeight = 705;
    return record;
}

} // namespace

class TestSettingsRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyFieldSurvivesTheRoundTrip();
    void theDefaultRecordIsTheDocumented103Bytes();
    void aCutFileAppliesExactlyTheFieldsBeforeTheCut();
    void aHistoryCutInsideItsEntriesKeepsTheEntriesRead();
    void damagedLengthsCountsAndValues_data();
    void damagedLengthsCountsAndValues();
    void bytesAfterTheLastFieldAreIgnored();
};

void TestSettingsRecord::everyFieldSurvivesTheRoundTrip()
{
    const QByteArray bytes = WriteSettingsRecord(Sample());
    TSettingsRecord read = Base();
    QCOMPARE(ReadSettingsRecord(bytes, read), sfLastField);
    QVERIFY(read == Sample());
    // Writing what was read gives the same bytes again.
    QCOMPARE(WriteSettingsRecord(read), bytes);
}

void TestSettingsRecord::theDefaultRecordIsTheDocumented103Bytes()
{
    const QByteArray expected = QByteArray::fromHex("01000000"  // header
                                                    "00000000"  // left dialog folder: empty
                                                    "00000000"  // right dialog folder: empty
                                                    "000000000000" // six options, ignore case last
                                                    "01"        // show line numbers
                                                    "01"        // show grid lines
                                                    "080000ff"  // font colour: window text
                                                    "0b000000"  // 11 points
                                                    "0b000000"
                                                    "43006f007500720069006500720020004e0065007700" // Courier New
                                                    "e0f0ff00"  // added
                                                    "fff0e000"  // removed
                                                    "ffe0e000"  // changed
                                                    "ffff0000"  // different text
                                                    "00000000"  // left history: none
                                                    "00000000"  // right history: none
                                                    "00"        // not maximized
                                                    "0a000000" "14000000" "82040000" "c1020000" // bounds
                                                    "b0010000" "3d020000"); // column widths 432, 573
    const QByteArray bytes = WriteSettingsRecord(Defaults103());
    QCOMPARE(bytes.size(), 103);
    QCOMPARE(bytes.toHex(), expected.toHex());
}

void TestSettingsRecord::aCutFileAppliesExactlyTheFieldsBeforeTheCut()
{
    const TSettingsRecord sample = Sample();
    const QByteArray bytes = WriteSettingsRecord(sample);
    const QList<qsizetype> sizes = FieldSizes(sample);
    QCOMPARE(std::accumulate(sizes.cbegin(), sizes.cend(), qsizetype(0)), bytes.size());

    // Cut after `length` bytes, the reading must end with field `expected`:
    // the fields up to it read as in `sample`, all others keep Base()'s values.
    const auto check = [&](qsizetype length, int expected, const QString &where) {
        TSettingsRecord read = Base();
        QCOMPARE(int(ReadSettingsRecord(bytes.left(length), read)), expected);
        // Right after a history's count no entry has been read yet.
        TSettingsRecord applied = sample;
        if (expected == sfLeftHistoryCount)
            applied.LeftHistory.clear();
        if (expected == sfRightHistoryCount)
            applied.RightHistory.clear();
        for (int f = sfLeftDialogFolder; f <= sfLastField; ++f)
            QVERIFY2(SameField(TSettingsField(f), read, Applied(f, expected) ? applied : Base()),
                     qPrintable(where + u", field "_s + QString::number(f)));
    };
    // The window bounds are taken together or not at all.
    const auto taken = [](int field) { return field >= sfWindowLeft && field < sfWindowHeight ? int(sfMaximized) : field; };

    check(0, sfNone, u"empty file"_s);
    qsizetype end = 0;
    for (int field = sfHeader; field <= sfLastField; ++field) {
        end += sizes[field - 1];
        check(end, taken(field), u"cut after field "_s + QString::number(field));
        // One byte short; a history's entries cut short are the next test's.
        if (sizes[field - 1] > 1 && field != sfLeftHistory && field != sfRightHistory)
            check(end - 1, taken(field - 1), u"cut inside field "_s + QString::number(field));
    }
}

void TestSettingsRecord::aHistoryCutInsideItsEntriesKeepsTheEntriesRead()
{
    const TSettingsRecord sample = Sample();
    const QByteArray bytes = WriteSettingsRecord(sample);
    const QList<qsizetype> sizes = FieldSizes(sample);
    const qsizetype leftEntries = OffsetOf(sizes, sfLeftHistory);
    const qsizetype firstEntry = 4 + 2 * sample.LeftHistory[0].size();

    TSettingsRecord read = Base();
    QCOMPARE(ReadSettingsRecord(bytes.left(leftEntries + firstEntry + 5), read), sfLeftHistoryCount);
    QCOMPARE(read.LeftHistory, QStringList{sample.LeftHistory[0]});
    QCOMPARE(read.RightHistory, Base().RightHistory);
    QCOMPARE(read.LeftColumnWidth, Base().LeftColumnWidth);

    const qsizetype rightEntries = leftEntries + sizes[sfLeftHistory - 1] + 4;
    read = Base();
    QCOMPARE(ReadSettingsRecord(bytes.left(rightEntries + 4 + 2 * sample.RightHistory[0].size() + 4), read),
             sfRightHistoryCount);
    QCOMPARE(read.LeftHistory, sample.LeftHistory);
    QCOMPARE(read.RightHistory, (QStringList{sample.RightHistory[0], QString()}));
    QCOMPARE(read.Maximized, Base().Maximized);
}

void TestSettingsRecord::damagedLengthsCountsAndValues_data()
{
    // `applied` holds what the fields up to `last` must read; every later
    // field must keep Base()'s value.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("last");
    QTest::addColumn<TSettingsRecord>("applied");

    TSettingsRecord noFolder = Sample();
    noFolder.LeftDialogFolder.clear();
    const QByteArray noFolderBytes = WriteSettingsRecord(noFolder);
    QTest::newRow("a negative string length is the empty string and the reading goes on")
        << Patched(noFolderBytes, kLeftFolderLength, -7) << int(sfLastField) << noFolder;
    QTest::newRow("the most negative string length is the empty string too")
        << Patched(noFolderBytes, kLeftFolderLength, std::numeric_limits<std::int32_t>::min()) << int(sfLastField)
        << noFolder;
    QTest::newRow("a huge string length stops the reading without allocating")
        << Patched(noFolderBytes, kLeftFolderLength, 0x7FFFFFFF) << int(sfHeader) << noFolder;
    const qsizetype unitsLeft = (noFolderBytes.size() - kLeftFolderLength - 4) / 2;
    QTest::newRow("a length one code unit beyond the bytes stops the reading")
        << Patched(noFolderBytes, kLeftFolderLength, std::int32_t(unitsLeft + 1)) << int(sfHeader) << noFolder;

    TSettingsRecord noLeftHistory = Sample();
    noLeftHistory.LeftHistory.clear();
    const QList<qsizetype> sizes = FieldSizes(noLeftHistory);
    const qsizetype leftCount = OffsetOf(sizes, sfLeftHistoryCount);
    QTest::newRow("a negative history count is no entries and the reading goes on")
        << Patched(WriteSettingsRecord(noLeftHistory), leftCount, -1) << int(sfLastField) << noLeftHistory;

    const QByteArray defaults = WriteSettingsRecord(Defaults103());
    // After the count the reader meets the right count 0 (an empty entry),
    // then 00 0a 00 00: a length of 2560 units, beyond the bytes.
    TSettingsRecord oneEmptyLeft = Defaults103();
    oneEmptyLeft.LeftHistory = {QString()};
    QTest::newRow("a huge history count stops after the entries the bytes hold")
        << Patched(defaults, kLeftHistoryCount, 0x7FFFFFFF) << int(sfLeftHistoryCount) << oneEmptyLeft;
    QByteArray negativeEntry = Patched(defaults, kRightHistoryCount, 1);
    negativeEntry.insert(kRightHistoryCount + 4, QByteArray::fromHex("ffffffff"));
    TSettingsRecord oneEmptyRight = Defaults103();
    oneEmptyRight.RightHistory = {QString()};
    QTest::newRow("a negative length inside a history is an empty entry")
        << negativeEntry << int(sfLastField) << oneEmptyRight;

    const QByteArray sampleBytes = WriteSettingsRecord(Sample());
    const QList<qsizetype> sampleSizes = FieldSizes(Sample());
    const qsizetype fontSize = OffsetOf(sampleSizes, sfGridFontSize);
    QTest::newRow("a font size of 0 cannot be applied and stops the reading before it")
        << Patched(sampleBytes, fontSize, 0) << int(sfGridFontColor) << Sample();
    QTest::newRow("a negative font size stops the reading too")
        << Patched(sampleBytes, fontSize, -11) << int(sfGridFontColor) << Sample();

    QByteArray seven = defaults;
    seven[kFirstFlag + 5] = 7;
    TSettingsRecord ignoreCase = Defaults103();
    ignoreCase.IgnoreCase = true;
    QTest::newRow("any Boolean byte other than 0 is true") << seven << int(sfLastField) << ignoreCase;
}

void TestSettingsRecord::damagedLengthsCountsAndValues()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, last);
    QFETCH(TSettingsRecord, applied);
    TSettingsRecord read = Base();
    QCOMPARE(int(ReadSettingsRecord(bytes, read)), last);
    for (int f = sfLeftDialogFolder; f <= sfLastField; ++f)
        QVERIFY2(SameField(TSettingsField(f), read, Applied(f, last) ? applied : Base()),
                 qPrintable(QString::number(f)));
}

void TestSettingsRecord::bytesAfterTheLastFieldAreIgnored()
{
    TSettingsRecord read = Base();
    QCOMPARE(ReadSettingsRecord(WriteSettingsRecord(Sample()) + QByteArray("\xff\xff\xff\x7f trailing", 13), read),
             sfLastField);
    QVERIFY(read == Sample());
}

QTEST_APPLESS_MAIN(TestSettingsRecord)
#include "tst_settingsrecord.moc"
