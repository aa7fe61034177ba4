// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextFile.h"

#include "FileWriting.h"
#include "LineSplitting.h"
#include "TextEncoding.h"
#include "TextFormat.h"
#include "Utf8.h"
#include "translation.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 MaxFileSize = std::numeric_limits<qint32>::max();

// A load reads this much at a time into one reused buffer while it can
// decode as it goes.
constexpr qsizetype ReadBlockSize = 64 * 1024;

QString FileTooLargeReason()
{
    return Translate(u"The file is too large: only files smaller than 2 GB can be read."_s);
}

void OpenForReading(QFile &file, const QString &path)
{
    // Unbuffered: every read goes straight into the caller's buffer.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw CannotOpenFileError(path, file.errorString());
    // Checked before reading so a huge file is neither read nor misread.
    if (file.size() > MaxFileSize)
        throw CannotOpenFileError(path, FileTooLargeReason());
}

// How much to read next: a block, or what is left of a smaller file and one
// byte more (so the end, or growth, shows), without a block's buffer for a
// few bytes. A file of unknown size (a pipe, one reporting 0) reads blocks.
qsizetype NextReadSize(const QFile &file)
{
    const qint64 size = file.isSequential() ? 0 : file.size();
    if (size == 0)
        return ReadBlockSize;
    return qsizetype(std::clamp<qint64>(size - file.pos() + 1, 1, ReadBlockSize));
}

// Appends up to `count` more bytes of `file` to `bytes` and returns how many
// came (0 at the end of the file). `readBefore` bytes of the file were read
// before those in `bytes`.
qsizetype ReadMore(QFile &file, const QString &path, QByteArray &bytes, qsizetype count, qint64 readBefore)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + count);
    const qint64 got = file.read(bytes.data() + start, count);
    if (got < 0)
        throw CannotOpenFileError(path, file.errorString());
    bytes.truncate(start + qsizetype(got));
    if (readBefore + bytes.size() > MaxFileSize) // a file that grew, or reports no size
        throw CannotOpenFileError(path, FileTooLargeReason());
    return qsizetype(got);
}

// Appends the rest of `file` to `bytes`, in one read when the file's size is
// known; see ReadMore for `readBefore`.
void ReadRest(QFile &file, const QString &path, QByteArray &bytes, qint64 readBefore)
{
    // One byte to spare, so that the read after the last finds the end
    // without growing the buffer.
    const qint64 left = std::clamp<qint64>(file.size() - file.pos(), 0, MaxFileSize - readBefore - bytes.size());
    bytes.reserve(bytes.size() + qsizetype(left) + 1);
    for (;;) {
        const qsizetype room = bytes.capacity() - bytes.size();
        if (ReadMore(file, path, bytes, room > 0 ? room : ReadBlockSize, readBefore) == 0)
            return;
    }
}

// About how many lines `file` holds, counted a block at a time; the file is
// then rewound. Exact when all its breaks are alike. It sizes the line list
// once: growing the list would copy it into fresh memory, which costs more
// than reading the file a second time from the cache.
qsizetype CountLinesAhead(QFile &file, const QString &path)
{
    if (file.isSequential())
        return 0;
    QByteArray block(NextReadSize(file), Qt::Uninitialized);
    qsizetype lineFeeds = 0;
    qsizetype returns = 0;
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got <= 0)
            break; // an error shows when the lines are read
        const auto bytes = QByteArrayView(block).first(got);
        lineFeeds += std::count(bytes.begin(), bytes.end(), '\n');
        returns += std::count(bytes.begin(), bytes.end(), '\r');
    }
    if (!file.seek(0))
        throw CannotOpenFileError(path, file.errorString());
    return std::max(lineFeeds, returns) + 1;
}

QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    OpenForReading(file, path);
    QByteArray bytes;
    ReadRest(file, path, bytes, 0);
    return bytes;
}

// The encoding of a file made of `asciiBytes` ASCII bytes followed by
// `rest`. After ASCII no mark can start the file, and ASCII holds no UTF-8
// sequence, so the rest alone decides among the remaining rules.
TDetectedEncoding DetectEncodingAfterAscii(qint64 asciiBytes, QByteArrayView rest)
{
    if (asciiBytes == 0)
        return DetectBytesEncoding(rest);
    if (IsAscii(rest))
        return {&TEncoding::Ansi(), false, EncNameAnsiAscii};
    if (IsValidUtf8(rest))
        return {&TEncoding::Utf8(), false, EncNameUtf8};
    return {&TEncoding::Ansi(), false, EncNameAnsi};
}

QString BreakText(TLineBreak lineBreak)
{
    switch (lineBreak) {
    case lbCrLf:
        return u"\r\n"_s;
    case lbCr:
        return u"\r"_s;
    case lbLf:
        break;
    }
    return u"\n"_s;
}

} // namespace

TDetectedEncoding DetectBytesEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {&TEncoding::Utf8(), true, EncNameUtf8WithBom};
    if (bytes.startsWith("\xFF\xFE"))
        return {&TEncoding::Utf16LE(), true, EncNameUtf16LEWithBom};
    if (bytes.startsWith("\xFE\xFF"))
        return {&TEncoding::Utf16BE(), true, EncNameUtf16BEWithBom};
    if (!bytes.isEmpty() && IsAscii(bytes))
        return {&TEncoding::Ansi(), false, EncNameAnsiAscii};
    if (IsValidUtf8(bytes))
        return {&TEncoding::Utf8(), false, EncNameUtf8};
    return {&TEncoding::Ansi(), false, EncNameAnsi};
}

TUserError CannotOpenFileError(const QString &path, const QString &reason)
{
    return TUserError(FormatText(Translate(u"Cannot open file \"%s\". %s"_s), {path, reason}));
}

TDetectedEncoding DetectFileEncoding(const QString &path)
{
    return DetectBytesEncoding(ReadWholeFile(path));
}

TLineBreakStyle DetectLineBreakStyle(QStringView text)
{
    return LineBreakStyleOf(text);
}

TTextFileFacts LoadTextFile(const QString &path, QStringList &lines)
{
    QFile file(path);
    OpenForReading(file, path);

    // While the bytes are ASCII, whose lines read the same in every encoding
    // the file may turn out to have, lines are cut and decoded a block at a
    // time in one reused buffer: a large file is never held whole, and
    // memory touched for the first time costs more than the decoding. From
    // the first block with a byte from 0x80 up, the rest is read whole and
    // decided on as a whole file is. Either way every byte is read once, so
    // detection and decoding see the same bytes.
    QStringList loaded;
    loaded.reserve(CountLinesAhead(file, path));
    QByteArray buffer; // the unfinished last line, then the block after it
    qint64 asciiBytes = 0; // cut into `loaded` so far
    std::optional<TLineBreak> firstBreak;
    for (;;) {
        const qsizetype carried = buffer.size();
        if (ReadMore(file, path, buffer, NextReadSize(file), asciiBytes) == 0)
            break;
        if (!IsAscii(QByteArrayView(buffer).sliced(carried))) {
            ReadRest(file, path, buffer, asciiBytes);
            break;
        }
        // The carried line holds no break but maybe a last CR, so the search
        // starts there: a long line is not searched again for each block.
        const qsizetype from = std::max<qsizetype>(0, carried - 1);
        const qsizetype found = CompleteLinesLength(QByteArrayView(buffer).sliced(from));
        if (found == 0)
            continue; // still within one line
        const QByteArrayView complete = QByteArrayView(buffer).first(from + found);
        if (!firstBreak)
            firstBreak = LineBreakStyleOf(complete).LineBreak;
        AppendLines(loaded, complete, [](QByteArrayView line) { return QString::fromLatin1(line); });
        asciiBytes += complete.size();
        // The unfinished line moves to the front, ahead of the next block.
        const qsizetype unfinished = buffer.size() - complete.size();
        std::memmove(buffer.data(), buffer.constData() + complete.size(), size_t(unfinished));
        buffer.truncate(unfinished);
    }

    // `buffer` holds the rest of the file.
    TTextFileFacts facts;
    static_cast<TDetectedEncoding &>(facts) = DetectEncodingAfterAscii(asciiBytes, buffer);
    const qsizetype bomSize = facts.HasBom ? facts.Encoding->GetPreamble().size() : 0;
    const QByteArrayView body = QByteArrayView(buffer).sliced(bomSize);
    const TEncoding &encoding = *facts.Encoding;
    if (encoding.KeepsAsciiBytes()) {
        // Cut the bytes, then decode each line straight into its string: no
        // copy of the whole text, and a decoding error still fails the load.
        facts.LineBreaks = LineBreakStyleOf(body);
        AppendLines(loaded, body, [&encoding](QByteArrayView line) { return encoding.GetString(line); });
    } else {
        const QString text = encoding.GetString(body);
        facts.LineBreaks = LineBreakStyleOf(QStringView(text));
        loaded += SplitTextIntoLines(text);
    }
    // The rest ends the file; the first break may lie before it.
    facts.LineBreaks.LineBreak = firstBreak.value_or(facts.LineBreaks.LineBreak);
    lines = std::move(loaded);
    return facts;
}

QStringList SplitTextIntoLines(QStringView text)
{
    return SplitLines(text, [](QStringView line) { return line.toString(); });
}

const TEncoding &EncodingForSave(const TEncoding &encoding, bool hasBom,
                                 const TUTF8NoBOMEncoding &utf8NoBom)
{
    if (&encoding == &TEncoding::Utf8() && !hasBom)
        return utf8NoBom;
    return encoding;
}

qsizetype SaveTextFile(const QStringList &lines, const QString &path,
                       const TEncoding &encoding, const TLineBreakStyle &lineBreaks)
{
    QString text;
    if (!lines.isEmpty()) {
        const QString lineBreak = BreakText(lineBreaks.LineBreak);
        text = lines.join(lineBreak);
        if (lineBreaks.EndsWithBreak || lines.constLast().isEmpty())
            text += lineBreak;
    }
    qsizetype replaced = 0;
    const QByteArray body = encoding.GetBytes(text, replaced);
    const QByteArray preamble = encoding.GetPreamble();

    // QSaveFile writes a temporary file and renames it over the target only
    // on commit. Unbuffered, because Qt 6.4 commits a buffered QSaveFile even
    // when its final flush fails, which would replace the target with a
    // truncated file; unbuffered, each failed write shows in its result.
    QSaveFile file(path);
    const auto fail = [&path](const QString &reason) {
        return TUserError(FormatText(Translate(u"Cannot create file \"%s\". %s"_s), {path, reason}));
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw fail(file.errorString());
    if (!WriteAll(file, preamble) || !WriteAll(file, body)) {
        // The temporary file is removed when `file` goes out of scope.
        throw fail(file.error() != QFileDevice::NoError
                       ? file.errorString()
                       : Translate(u"Not all of the text could be written."_s));
    }
    if (!file.commit())
        throw fail(file.errorString());
    return replaced;
}
