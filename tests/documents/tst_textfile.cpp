// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextEncoding.h"
#include "TextFile.h"
#include "UserError.h"
#include "WriteFaults.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TLineBreakStyle)

namespace QTest {
template <>
char *toString(const TLineBreakStyle &style)
{
    static const char *const names[] = {"CR LF", "LF", "CR"};
    return qstrdup(QByteArray(names[style.LineBreak]
                              + QByteArray(style.EndsWithBreak ? ", final break" : ", no final break"))
                       .constData());
}
} // namespace QTest

class TstTextFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void detectsTheEncoding_data();
    void detectsTheEncoding();
    void splitsTextIntoLines_data();
    void splitsTextIntoLines();
    void loadDecodesAfterTheMark_data();
    void loadDecodesAfterTheMark();
    void failedLoadLeavesTheLinesAlone_data();
    void failedLoadLeavesTheLinesAlone();
    void largeLoadEqualsWholeFileDecoding_data();
    void largeLoadEqualsWholeFileDecoding();
    void refusesFilesOf2GBAndMore();
    void unchangedFileIsWrittenBackByteForByte_data();
    void unchangedFileIsWrittenBackByteForByte();
    void savesEditedLines_data();
    void savesEditedLines();
    void failedSaveLeavesTheOldFile_data();
    void failedSaveLeavesTheOldFile();
    void killedSaveLeavesOldOrNewFile();

private:
    QString WriteFile(const QString &name, const QByteArray &bytes);
    QByteArray ReadFile(const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstTextFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TstTextFile::WriteFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the fixture %s", qPrintable(path));
    return path;
}

QByteArray TstTextFile::ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void TstTextFile::detectsTheEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<const TEncoding *>("encoding");
    QTest::addColumn<bool>("hasBom");
    QTest::addColumn<QString>("name");

    const TEncoding *utf8 = &TEncoding::Utf8();
    const TEncoding *le = &TEncoding::Utf16LE();
    const TEncoding *be = &TEncoding::Utf16BE();
    const TEncoding *ansi = &TEncoding::Ansi();
    QTest::newRow("an empty file is ANSI") << QByteArray() << ansi << false << u"ANSI"_s;
    QTest::newRow("EF BB BF alone is UTF-8 with BOM") << "\xEF\xBB\xBF"_ba << utf8 << true << u"UTF-8 with BOM"_s;
    QTest::newRow("a UTF-8 mark before ill-formed bytes still decides")
        << "\xEF\xBB\xBF\xE9"_ba << utf8 << true << u"UTF-8 with BOM"_s;
    QTest::newRow("EF BB without its last byte is ANSI") << "\xEF\xBB"_ba << ansi << false << u"ANSI"_s;
    QTest::newRow("FF FE alone is UTF-16 LE") << "\xFF\xFE"_ba << le << true << u"UTF-16 LE with BOM"_s;
    QTest::newRow("FF FE 00 00 is UTF-16 LE") << "\xFF\xFE\0\0"_ba << le << true << u"UTF-16 LE with BOM"_s;
    QTest::newRow("FE FF is UTF-16 BE") << "\xFE\xFF\0a"_ba << be << true << u"UTF-16 BE with BOM"_s;
    QTest::newRow("the single byte FF is ANSI") << "\xFF"_ba << ansi << false << u"ANSI"_s;
    QTest::newRow("three ASCII letters are ANSI/ASCII") << "abc"_ba << ansi << false << u"ANSI/ASCII"_s;
    QTest::newRow("ASCII with a zero byte is ANSI/ASCII") << "a\0b"_ba << ansi << false << u"ANSI/ASCII"_s;
    QTest::newRow("C3 A9 is UTF-8 without BOM") << "caf\xC3\xA9"_ba << utf8 << false << u"UTF-8"_s;
    QTest::newRow("a lone E9 is ANSI") << "caf\xE9"_ba << ansi << false << u"ANSI"_s;
    QTest::newRow("a cut lead byte C3 at the end is ANSI") << "caf\xC3\xA9\xC3"_ba << ansi << false << u"ANSI"_s;
    QTest::newRow("an overlong form has the shape of UTF-8")
        << "\xC0\xAF"_ba << utf8 << false << u"UTF-8"_s;
}

void TstTextFile::detectsTheEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(const TEncoding *, encoding);
    QFETCH(bool, hasBom);
    QFETCH(QString, name);
    const QString path = WriteFile(u"in.txt"_s, bytes);

    const TDetectedEncoding detected = DetectFileEncoding(path);
    QCOMPARE(detected.Encoding, encoding);
    QCOMPARE(detected.HasBom, hasBom);
    QCOMPARE(detected.EncodingName, name);
}

void TstTextFile::splitsTextIntoLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<TLineBreakStyle>("style");

    const TLineBreakStyle crlf{lbCrLf, true};
    const TLineBreakStyle lf{lbLf, true};
    const TLineBreakStyle cr{lbCr, true};
    const TLineBreakStyle noBreak{lbLf, false};
    QTest::newRow("an empty text has no lines") << QString() << QStringList() << lf;
    QTest::newRow("a letter alone is one line") << u"a"_s << QStringList{u"a"_s} << noBreak;
    QTest::newRow("a letter and CR LF is one line") << u"a\r\n"_s << QStringList{u"a"_s} << crlf;
    QTest::newRow("a letter and LF is one line") << u"a\n"_s << QStringList{u"a"_s} << lf;
    QTest::newRow("a letter and CR is one line") << u"a\r"_s << QStringList{u"a"_s} << cr;
    QTest::newRow("CR LF alone is one empty line") << u"\r\n"_s << QStringList{QString()} << crlf;
    QTest::newRow("LF LF after a letter ends it and one empty line")
        << u"a\n\n"_s << QStringList{u"a"_s, QString()} << lf;
    QTest::newRow("LF CR is two breaks") << u"a\n\rb"_s << QStringList{u"a"_s, QString(), u"b"_s}
                                         << TLineBreakStyle{lbLf, false};
    QTest::newRow("CR CR LF is two breaks") << u"a\r\r\nb"_s << QStringList{u"a"_s, QString(), u"b"_s}
                                            << TLineBreakStyle{lbCr, false};
    QTest::newRow("mixed breaks take the first one")
        << u"a\nb\r\nc\r"_s << QStringList{u"a"_s, u"b"_s, u"c"_s} << lf;
    QTest::newRow("NUL, form feed, NEL and the line separator stay inside the line")
        << u"a\0b\fc\u0085d\u2028e\r\nf"_s << QStringList{u"a\0b\fc\u0085d\u2028e"_s, u"f"_s}
        << TLineBreakStyle{lbCrLf, false};
}

void TstTextFile::splitsTextIntoLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QFETCH(TLineBreakStyle, style);
    QCOMPARE(SplitTextIntoLines(text), lines);
    QCOMPARE(DetectLineBreakStyle(text), style);
}

void TstTextFile::loadDecodesAfterTheMark_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("UTF-8 with BOM drops only the mark")
        << "\xEF\xBB\xBF\xC3\xA9\r\n\xE2\x82\xAC"_ba << QStringList{u"\u00E9"_s, u"\u20AC"_s};
    QTest::newRow("a second UTF-8 mark is a character of the text")
        << "\xEF\xBB\xBF\xEF\xBB\xBFx"_ba << QStringList{u"\uFEFFx"_s};
    QTest::newRow("UTF-16 LE is read low byte first, a final odd byte ignored")
        << "\xFF\xFE\xE9\0\n\0\xAC\x20!"_ba << QStringList{u"\u00E9"_s, u"\u20AC"_s};
    QTest::newRow("UTF-16 BE is read high byte first")
        << "\xFE\xFF\0\xE9\0\r\x20\xAC"_ba << QStringList{u"\u00E9"_s, u"\u20AC"_s};
    QTest::newRow("ANSI is read as Windows-1252") << "\x80 caf\xE9\n"_ba << QStringList{u"\u20AC caf\u00E9"_s};
    QTest::newRow("the mark alone gives no lines") << "\xFE\xFF"_ba << QStringList();
}

void TstTextFile::loadDecodesAfterTheMark()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    const QString path = WriteFile(u"in.txt"_s, bytes);

    QStringList loaded{u"previous"_s};
    const TTextFileFacts facts = LoadTextFile(path, loaded);
    QCOMPARE(loaded, lines);
    const TDetectedEncoding detected = DetectFileEncoding(path);
    QCOMPARE(facts.Encoding, detected.Encoding);
    QCOMPARE(facts.HasBom, detected.HasBom);
    QCOMPARE(facts.EncodingName, detected.EncodingName);
}

void TstTextFile::failedLoadLeavesTheLinesAlone_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    const QString noMapping =
        u"No mapping for the Unicode character exists in the target multi-byte code page"_s;
    QTest::newRow("a Windows-1252 letter after a UTF-8 mark") << "\xEF\xBB\xBF" "caf\xE9"_ba << noMapping;
    QTest::newRow("an overlong form without a mark") << "ok \xC0\xAF"_ba << noMapping;
    QTest::newRow("an encoded surrogate without a mark") << "\xED\xA0\x80"_ba << noMapping;
    QTest::newRow("a value above U+10FFFF after a mark") << "\xEF\xBB\xBF\xF4\x90\x80\x80"_ba << noMapping;
    QTest::newRow("a missing file") << QByteArray() << u"Cannot open file \"%1\". No such file or directory"_s;
}

void TstTextFile::failedLoadLeavesTheLinesAlone()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString path = bytes.isEmpty() ? m_dir->filePath(u"missing.txt"_s) : WriteFile(u"in.txt"_s, bytes);

    QStringList lines{u"kept"_s, u"as it was"_s};
    try {
        LoadTextFile(path, lines);
        QFAIL("the load did not fail");
    } catch (const TUserError &error) {
        QCOMPARE(error.Message(), message.contains(u"%1"_s) ? message.arg(path) : message);
    }
    QCOMPARE(lines, (QStringList{u"kept"_s, u"as it was"_s}));
}

namespace {

// ASCII lines of varied lengths, each ended by `lineBreak`, `size` bytes in
// all (the last line cut short).
QByteArray AsciiLines(qsizetype size, const QByteArray &lineBreak)
{
    QByteArray bytes;
    for (int line = 0; bytes.size() < size; ++line)
        bytes += QByteArray("line ") + QByteArray::number(line) + QByteArray(line % 37, 'x') + lineBreak;
    bytes.truncate(size - lineBreak.size());
    return bytes + lineBreak;
}

// What a load gives when the whole file is read and decoded at once, or the
// message of the error it throws.
struct TWholeFileLoad {
    TDetectedEncoding Detected;
    QStringList Lines;
    TLineBreakStyle LineBreaks;
    QString Error;
};

TWholeFileLoad LoadWholeFile(const QString &path, const QByteArray &bytes)
{
    TWholeFileLoad load;
    load.Detected = DetectFileEncoding(path);
    const qsizetype bomSize = load.Detected.HasBom ? load.Detected.Encoding->GetPreamble().size() : 0;
    try {
        const QString text = load.Detected.Encoding->GetString(QByteArrayView(bytes).sliced(bomSize));
        load.Lines = SplitTextIntoLines(text);
        load.LineBreaks = DetectLineBreakStyle(text);
    } catch (const TUserError &error) {
        load.Error = error.Message();
    }
    return load;
}

} // namespace

void TstTextFile::largeLoadEqualsWholeFileDecoding_data()
{
    // A load reads large files a block at a time; these files put breaks,
    // marks and the first byte from 0x80 up on and around the block edges
    // (multiples of 64 KB) and far from them.
    QTest::addColumn<QByteArray>("bytes");

    constexpr qsizetype block = 64 * 1024;
    const QByteArray ascii = AsciiLines(3 * block + 100, "\n");
    QTest::newRow("ASCII lines over several blocks") << ascii;
    QTest::newRow("CR LF breaks over several blocks") << AsciiLines(3 * block + 100, "\r\n");
    QTest::newRow("CR breaks over several blocks") << AsciiLines(3 * block + 100, "\r");
    for (const qsizetype edge : {block - 1, block, block + 1, 2 * block}) {
        QTest::addRow("CR LF cut by the edge at %lld", qlonglong(edge))
            << AsciiLines(edge - 1, "\n") + "\r\nnext\n" + ascii;
        QTest::addRow("a lone CR at the edge at %lld", qlonglong(edge))
            << AsciiLines(edge - 1, "\n") + "\rnext\n" + ascii;
        QTest::addRow("a file that ends with a break at %lld", qlonglong(edge)) << AsciiLines(edge, "\n");
        QTest::addRow("a file that ends without a break at %lld", qlonglong(edge))
            << AsciiLines(edge - 1, "\n") + "x";
        QTest::addRow("the first high byte at %lld", qlonglong(edge))
            << AsciiLines(edge, "\r\n") + "caf\xC3\xA9\n" + ascii;
        QTest::addRow("the bytes of a UTF-8 mark at %lld are a character", qlonglong(edge))
            << AsciiLines(edge, "\n") + "\xEF\xBB\xBFx\n" + ascii;
        QTest::addRow("the bytes of a UTF-16 mark at %lld are Windows-1252", qlonglong(edge))
            << AsciiLines(edge, "\n") + "\xFF\xFEx\n" + ascii;
    }
    QTest::newRow("a line longer than a block") << QByteArray(3 * block, 'y') + "\n" + ascii;
    QTest::newRow("no break before the first UTF-8 character")
        << QByteArray(2 * block, 'y') + "\xE2\x82\xAC\r\n" + ascii;
    QTest::newRow("Windows-1252 after ASCII lines") << ascii + "caf\xE9\n" + ascii;
    QTest::newRow("UTF-8 after ASCII lines, then Windows-1252") << ascii + "\xC3\xA9\n" + ascii + "\xE9";
    QTest::newRow("the breaks of the ASCII lines and of the rest differ")
        << AsciiLines(2 * block, "\r\n") + "\xC3\xA9\n" + ascii;
    QTest::newRow("an overlong form after ASCII lines fails the load") << ascii + "\xC3\xA9 \xC0\xAF\n";
    QTest::newRow("a UTF-8 mark and a large file") << "\xEF\xBB\xBF"_ba + ascii + "\xC3\xA9";
    QTest::newRow("a UTF-16 mark and a large file") << "\xFF\xFE"_ba + ascii;
}

void TstTextFile::largeLoadEqualsWholeFileDecoding()
{
    QFETCH(QByteArray, bytes);
    const QString path = WriteFile(u"in.txt"_s, bytes);
    const TWholeFileLoad expected = LoadWholeFile(path, bytes);

    QStringList lines{u"kept"_s};
    try {
        const TTextFileFacts facts = LoadTextFile(path, lines);
        QVERIFY2(expected.Error.isEmpty(), qPrintable(u"the load did not fail: "_s + expected.Error));
        QCOMPARE(facts.Encoding, expected.Detected.Encoding);
        QCOMPARE(facts.HasBom, expected.Detected.HasBom);
        QCOMPARE(facts.EncodingName, expected.Detected.EncodingName);
        QCOMPARE(facts.LineBreaks, expected.LineBreaks);
        QCOMPARE(lines.size(), expected.Lines.size());
        QCOMPARE(lines, expected.Lines);
    } catch (const TUserError &error) {
        QCOMPARE(error.Message(), expected.Error);
        QCOMPARE(lines, QStringList{u"kept"_s});
    }
}

void TstTextFile::refusesFilesOf2GBAndMore()
{
    const QString path = m_dir->filePath(u"huge.txt"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    if (!file.resize(qint64(1) << 31)) // sparse on the usual file systems
        QSKIP("the file system cannot hold a 2 GB file");
    file.close();

    QStringList lines{u"kept"_s};
    try {
        LoadTextFile(path, lines);
        QFAIL("a 2 GB file was loaded");
    } catch (const TUserError &error) {
        QVERIFY2(error.Message().startsWith(u"Cannot open file \"%1\". The file is too large"_s.arg(path)),
                 error.what());
    }
    QCOMPARE(lines, QStringList{u"kept"_s});
}

void TstTextFile::unchangedFileIsWrittenBackByteForByte_data()
{
    QTest::addColumn<QByteArray>("bytes");

    struct Encoding {
        const char *name;
        QByteArray mark;
        QString sample; // text that keeps the file in this encoding
        const TEncoding &encoding;
    };
    const Encoding encodings[] = {
        {"UTF-8 with BOM", "\xEF\xBB\xBF"_ba, u"\u00E9t\u00E9 \u20AC \U0001F600"_s, TEncoding::Utf8()},
        {"UTF-8", QByteArray(), u"\u00E9t\u00E9 \u20AC \U0001F600"_s, TEncoding::Utf8()},
        {"UTF-16 LE", "\xFF\xFE"_ba, u"\u00E9t\u00E9 \u20AC \U0001F600"_s, TEncoding::Utf16LE()},
        {"UTF-16 BE", "\xFE\xFF"_ba, u"\u00E9t\u00E9 \u20AC \U0001F600"_s, TEncoding::Utf16BE()},
        {"ANSI", QByteArray(), u"\u00E9t\u00E9 \u20AC"_s, TEncoding::Ansi()},
    };
    const struct {
        const char *name;
        QString text;
    } breaks[] = {{"CR LF", u"\r\n"_s}, {"LF", u"\n"_s}, {"CR", u"\r"_s}};

    for (const Encoding &e : encodings) {
        for (const auto &b : breaks) {
            for (const bool finalBreak : {true, false}) {
                QString text = e.sample + b.text + b.text + u"second line"_s;
                if (finalBreak)
                    text += b.text;
                qsizetype replaced = 0;
                QTest::addRow("%s with %s breaks, %s", e.name, b.name,
                              finalBreak ? "ending in a break" : "no final break")
                    << e.mark + e.encoding.GetBytes(text, replaced);
            }
        }
    }
    QTest::newRow("an empty file") << QByteArray();
    QTest::newRow("a UTF-8 mark alone") << "\xEF\xBB\xBF"_ba;
    QTest::newRow("a UTF-16 LE mark alone") << "\xFF\xFE"_ba;
    QTest::newRow("CR LF alone") << "\r\n"_ba;
    QTest::newRow("breaks only") << "\n\n\n"_ba;
    QTest::newRow("a second UTF-8 mark") << "\xEF\xBB\xBF\xEF\xBB\xBFx\r\n"_ba;
    QTest::newRow("a lone surrogate in UTF-16 LE") << "\xFF\xFE" "a\0\x00\xD8\n\0\x00\xDC"_ba;
    QTest::newRow("a lone surrogate in UTF-16 BE") << "\xFE\xFF\xDC\x00\0\n\xD8\x00\0z"_ba;

    QByteArray ansiBytes;
    for (int b = 0x80; b <= 0xFF; ++b)
        ansiBytes += char(b);
    QTest::newRow("every byte from 80 to FF in ANSI") << ansiBytes + "\r\n" + ansiBytes;
}

void TstTextFile::unchangedFileIsWrittenBackByteForByte()
{
    QFETCH(QByteArray, bytes);
    const QString path = WriteFile(u"in.txt"_s, bytes);
    const TUTF8NoBOMEncoding utf8NoBom;

    QStringList lines;
    const TTextFileFacts facts = LoadTextFile(path, lines);
    const QString copy = m_dir->filePath(u"out.txt"_s);
    const qsizetype replaced = SaveTextFile(lines, copy, EncodingForSave(*facts.Encoding, facts.HasBom, utf8NoBom),
                                            facts.LineBreaks);
    QCOMPARE(replaced, 0);
    QCOMPARE(ReadFile(copy).toHex(' '), bytes.toHex(' '));
}

void TstTextFile::savesEditedLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<const TEncoding *>("encoding");
    QTest::addColumn<TLineBreakStyle>("style");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("replaced");

    const TEncoding *ansi = &TEncoding::Ansi();
    QTest::newRow("no lines give the mark alone")
        << QStringList() << &TEncoding::Utf16BE() << TLineBreakStyle{lbCrLf, true} << "\xFE\xFF"_ba << 0;
    QTest::newRow("lines are joined by the side's break")
        << QStringList{u"a"_s, u"b"_s} << ansi << TLineBreakStyle{lbCr, true} << "a\rb\r"_ba << 0;
    QTest::newRow("no final break when the file had none")
        << QStringList{u"a"_s, u"b"_s} << ansi << TLineBreakStyle{lbCrLf, false} << "a\r\nb"_ba << 0;
    QTest::newRow("an empty last line keeps its break so it survives a reload")
        << QStringList{u"a"_s, QString()} << ansi << TLineBreakStyle{lbLf, false} << "a\n\n"_ba << 0;
    QTest::newRow("a single empty line is written as one break")
        << QStringList{QString()} << ansi << TLineBreakStyle{lbLf, false} << "\n"_ba << 0;
    QTest::newRow("characters outside the code page are written as question marks")
        << QStringList{u"\u4E2D\u00E9"_s, u"\U0001F600"_s} << ansi << TLineBreakStyle{lbLf, true}
        << "?\xE9\n?\n"_ba << 2;
}

void TstTextFile::savesEditedLines()
{
    QFETCH(QStringList, lines);
    QFETCH(const TEncoding *, encoding);
    QFETCH(TLineBreakStyle, style);
    QFETCH(QByteArray, bytes);
    QFETCH(int, replaced);
    const QString path = WriteFile(u"old.txt"_s, "old content that is longer than the new"_ba);

    QCOMPARE(SaveTextFile(lines, path, *encoding, style), replaced);
    QCOMPARE(ReadFile(path).toHex(' '), bytes.toHex(' '));
}

void TstTextFile::failedSaveLeavesTheOldFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("fileSizeLimit"); // 0 for none
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::addColumn<QString>("reason");

    QTest::newRow("a folder that does not exist")
        << u"missing/out.txt"_s << 1 << 0 << false << u"No such file or directory"_s;
    QTest::newRow("a path through a regular file")
        << u"old.txt/out.txt"_s << 1 << 0 << false << u"Not a directory"_s;
    // The limit makes the write fail part-way, as a full disk would.
    QTest::newRow("a large write that fails part-way")
        << u"old.txt"_s << 20000 << 64 * 1024 << false << u"File too large"_s;
    QTest::newRow("a small write that fails part-way")
        << u"old.txt"_s << 100 << 512 << false << u"File too large"_s;
    QTest::newRow("a read-only folder") << u"old.txt"_s << 100 << 0 << true << QString(); // the system's reason
}

void TstTextFile::failedSaveLeavesTheOldFile()
{
    QFETCH(QString, target);
    QFETCH(int, lineCount);
    QFETCH(int, fileSizeLimit);
    QFETCH(bool, readOnlyFolder);
    QFETCH(QString, reason);
    const QByteArray oldBytes = "old\r\n"_ba;
    const QString oldPath = WriteFile(u"old.txt"_s, oldBytes);
    const QString path = m_dir->filePath(target);
    const QStringList lines(lineCount, u"a line of new text"_s);

    const auto save = [&]() -> QByteArray {
        try {
            SaveTextFile(lines, path, TEncoding::Utf8(), TLineBreakStyle{});
        } catch (const TUserError &error) {
            return error.Message().toUtf8();
        }
        return "no error";
    };
    QString message;
    if (fileSizeLimit == 0 && !readOnlyFolder) {
        message = QString::fromUtf8(save());
    } else {
        const TWriteFaultScope fault(readOnlyFolder ? TWriteFault::ReadOnlyFolder : TWriteFault::FullDisk,
                                     m_dir->path(), fileSizeLimit);
        if (!fault.Active())
            QSKIP(qPrintable(fault.SkipReason()));
        message = QString::fromUtf8(save());
    }

    const QString expected = u"Cannot create file \"%1\". %2"_s.arg(path, reason);
    if (reason.isEmpty())
        QVERIFY2(message.startsWith(expected) && message.size() > expected.size(), qPrintable(message));
    else
        QCOMPARE(message, expected);
    QCOMPARE(ReadFile(oldPath), oldBytes);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{u"old.txt"_s}); // no leftovers
}

// A save killed at any moment leaves the old file or the new one, whole.
void TstTextFile::killedSaveLeavesOldOrNewFile()
{
    // Large enough that a save takes a while, so many kills land inside one.
    const QStringList oldLines(8000, u"an old line of the side, as it was on disk"_s);
    const QStringList newLines(8000, u"a new line, \u00E9dited and merged"_s);
    // In memory when there is such a file system: a save then waits for no
    // disk, so the runs take a few seconds; replacing works the same.
    const QString base = QFileInfo(u"/dev/shm"_s).isDir() ? u"/dev/shm"_s : QDir::tempPath();
    const QTemporaryDir dir(base + u"/tst_textfile-XXXXXX"_s);
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"side.txt"_s);
    SaveTextFile(newLines, path, TEncoding::Utf8(), TLineBreakStyle{});
    const QByteArray newBytes = ReadFile(path);
    QElapsedTimer clock;
    clock.start();
    SaveTextFile(oldLines, path, TEncoding::Utf8(), TLineBreakStyle{});
    const qint64 saveMicroseconds = std::max<qint64>(clock.nsecsElapsed() / 1000, 100);
    const QByteArray oldBytes = ReadFile(path);

    QRandomGenerator random(20240611);
    int sawOld = 0;
    int sawNew = 0;
    // At least 100 kills; on a busy machine a kill may keep landing before
    // the child's first save ends, so go on, with a wider window, until
    // both outcomes have shown up.
    for (int run = 0; run < 100 || ((sawOld == 0 || sawNew == 0) && run < 1000); ++run) {
        std::fflush(stdout);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // Saves the new and the old lines in turn until killed.
            for (int round = 0;; ++round)
                SaveTextFile(round % 2 ? oldLines : newLines, path, TEncoding::Utf8(), TLineBreakStyle{});
        }
        // Anywhere within the first three saves (more after 100 runs).
        QThread::usleep(random.bounded(3 * saveMicroseconds * (1 + run / 100)));
        kill(child, SIGKILL);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        const QByteArray now = ReadFile(path);
        QVERIFY2(now == oldBytes || now == newBytes,
                 qPrintable(u"run %1 left %2 bytes"_s.arg(run).arg(now.size())));
        (now == oldBytes ? sawOld : sawNew) += 1;
    }
    // Both show up, so the kills did land before and after whole saves.
    QVERIFY(sawOld > 0 && sawNew > 0);
}

QTEST_GUILESS_MAIN(TstTextFile)
#include "tst_textfile.moc"
