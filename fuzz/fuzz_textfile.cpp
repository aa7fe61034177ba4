// SPDX-License-Identifier: GPL-3.0-or-later
// Text files: detection, decoding and splitting of any bytes, then a save and
// a reload that must give the same lines, encoding and bytes again.
//
// Input: a byte that picks where the text is cut in two for the split
// check, then the file. The loader's 64 KiB read blocks are left to the unit
// tests' table of block edges: a run over a block costs a hundred small ones.

#include "FuzzSupport.h"

#include "LineSplitting.h"
#include "TextEncoding.h"
#include "TextFile.h"
#include "UserError.h"
#include "Utf8.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<QTemporaryDir> g_dir;

void WriteFile(const QString &path, QByteArrayView bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes.data(), bytes.size()) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

// The splitting rule read literally: up to the next CR or LF, then skip one
// CR, then one LF.
QStringList PlainSplit(QStringView text)
{
    QStringList lines;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype start = i;
        while (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
            ++i;
        lines.append(text.sliced(start, i - start).toString());
        if (i < text.size() && text[i] == u'\r')
            ++i;
        if (i < text.size() && text[i] == u'\n')
            ++i;
    }
    return lines;
}

// The structural UTF-8 test read literally.
bool PlainIsValidUtf8(QByteArrayView bytes)
{
    bool result = false;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto b = std::uint8_t(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        int n = 0;
        if ((b & 0xE0) == 0xC0)
            n = 1;
        else if ((b & 0xF0) == 0xE0)
            n = 2;
        else if ((b & 0xF8) == 0xF0)
            n = 3;
        else
            return false;
        if (i + n >= bytes.size())
            return false;
        for (int k = 1; k <= n; ++k) {
            if ((std::uint8_t(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        result = true;
        i += n + 1;
    }
    return result;
}

bool SameFacts(const TDetectedEncoding &a, const TDetectedEncoding &b)
{
    return a.Encoding == b.Encoding && a.HasBom == b.HasBom && a.EncodingName == b.EncodingName;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Files in memory when the system has a RAM file system.
    const QString base = QDir(u"/dev/shm"_s).exists() ? u"/dev/shm"_s : QDir::tempPath();
    g_dir = std::make_unique<QTemporaryDir>(base + u"/lunavist-fuzz-XXXXXX"_s);
    if (!g_dir->isValid())
        qFatal("no temporary folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TFuzzInput input(data, size);
    const std::uint8_t cut = input.Byte();
    const QByteArray bytes = input.Rest().toByteArray();
    const QString path = g_dir->filePath(u"in.txt"_s);
    WriteFile(path, bytes);

    FUZZ_CHECK(IsValidUtf8(bytes) == PlainIsValidUtf8(bytes), "bytes" << bytes.toHex());

    const TDetectedEncoding detected = DetectFileEncoding(path);
    FUZZ_CHECK(detected.Encoding != nullptr, "no encoding");
    const TEncoding &encoding = *detected.Encoding;
    const qsizetype bomSize = detected.HasBom ? encoding.GetPreamble().size() : 0;

    // The whole file decoded at once is the plain form the loader must match.
    QString text;
    bool decodes = true;
    try {
        text = encoding.GetString(QByteArrayView(bytes).sliced(bomSize));
    } catch (const TUserError &) {
        decodes = false;
    }

    const QStringList before{u"kept on failure"_s};
    QStringList lines = before;
    TTextFileFacts facts;
    try {
        facts = LoadTextFile(path, lines);
        FUZZ_CHECK(decodes, "the load took bytes the decoder refuses");
    } catch (const TUserError &error) {
        FUZZ_CHECK(!decodes, "the load failed:" << error.Message());
        FUZZ_CHECK(&encoding == &TEncoding::Utf8(), "only UTF-8 can fail");
        FUZZ_CHECK(lines == before, "a failed load changed the lines");
        return 0;
    }
    FUZZ_CHECK(SameFacts(facts, detected), "load and detection disagree:" << facts.EncodingName
                                                                         << detected.EncodingName);
    const QStringList expected = PlainSplit(text);
    FUZZ_CHECK(lines == expected, "loaded" << lines.size() << "lines, expected" << expected.size());
    FUZZ_CHECK(SplitTextIntoLines(text) == expected, "SplitTextIntoLines differs");
    FUZZ_CHECK(CountLines(QStringView(text)) == expected.size(), "CountLines differs");
    FUZZ_CHECK(facts.LineBreaks == DetectLineBreakStyle(text), "the break style differs");

    // Splitting a start that ends with a whole break, then the rest, gives the lines of the whole.
    const qsizetype at = text.isEmpty() ? 0 : cut % (text.size() + 1);
    const qsizetype complete = CompleteLinesLength(QStringView(text).first(at));
    FUZZ_CHECK(complete <= at, "CompleteLinesLength beyond its text");
    FUZZ_CHECK(PlainSplit(QStringView(text).first(complete)) + PlainSplit(QStringView(text).sliced(complete))
                   == expected,
               "a split at" << at << "loses or adds lines:" << Shown(text));

    // Saved in its own encoding and loaded again: the same side.
    const TUTF8NoBOMEncoding utf8NoBom;
    const TEncoding &saveEncoding = EncodingForSave(encoding, facts.HasBom, utf8NoBom);
    const QString savedPath = g_dir->filePath(u"saved.txt"_s);
    FUZZ_CHECK(SaveTextFile(lines, savedPath, saveEncoding, facts.LineBreaks) == 0,
               "characters read from the file cannot be written back");
    QStringList reloaded;
    const TTextFileFacts again = LoadTextFile(savedPath, reloaded);
    FUZZ_CHECK(reloaded == lines, "the reload gives other lines:" << Shown(lines.join(u'|'))
                                                                  << Shown(reloaded.join(u'|')));
    FUZZ_CHECK(SameFacts(again, facts), "the reload gives another encoding:" << again.EncodingName);
    FUZZ_CHECK(again.LineBreaks == facts.LineBreaks, "the reload gives another break style");
    // A second save of an unchanged side writes the same bytes.
    const QByteArray savedBytes = ReadFile(savedPath);
    SaveTextFile(reloaded, savedPath, saveEncoding, again.LineBreaks);
    FUZZ_CHECK(ReadFile(savedPath) == savedBytes, "saving twice gives other bytes");
    return 0;
}
