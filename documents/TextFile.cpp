// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextFile.h"

#include "LineSplitting.h"
#include "TextEncoding.h"
#include "Utf8.h"
#include "TextFormat.h"
#include "translation.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 MaxFileSize = std::numeric_limits<qint32>::max();

QString FileTooLargeReason()
{
    return Translate(u"The file is too large: only files smaller than 2 GB can be read."_s);
}

QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CannotOpenFileError(path, file.errorString());
    // Checked before reading so a huge file is neither read nor misread.
    if (file.size() > MaxFileSize)
        throw CannotOpenFileError(path, FileTooLargeReason());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw CannotOpenFileError(path, file.errorString());
    if (bytes.size() > MaxFileSize) // a file that grew, or reports no size
        throw CannotOpenFileError(path, FileTooLargeReason());
    return bytes;
}

TDetectedEncoding DetectEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {&TEncoding::Utf8(), true, EncNameUtf8WithBom};
    if (bytes.startsWith("\xFF\xFE"))
        return {&TEncoding::Utf16LE(), true, EncNameUtf16LEWithBom};
    if (bytes.startsWith("\xFE\xFF"))
        return {&TEncoding::Utf16BE(), true, EncNameUtf16BEWithBom};
    const bool allAscii = std::all_of(bytes.begin(), bytes.end(),
                                      [](char b) { return static_cast<unsigned char>(b) < 0x80; });
    if (!bytes.isEmpty() && allAscii)
        return {&TEncoding::Ansi(), false, EncNameAnsiAscii};
    if (IsValidUtf8(bytes))
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

// A write cut short (file size limit, full disk) returns the part written
// and sets no error; writing the rest then fails with the system's reason.
bool WriteAll(QFileDevice &file, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qint64 written = file.write(bytes.data(), bytes.size());
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
    }
    return true;
}

} // namespace

TUserError CannotOpenFileError(const QString &path, const QString &reason)
{
    return TUserError(FormatText(Translate(u"Cannot open file \"%s\". %s"_s), {path, reason}));
}

TDetectedEncoding DetectFileEncoding(const QString &path)
{
    return DetectEncoding(ReadWholeFile(path));
}

TLineBreakStyle DetectLineBreakStyle(QStringView text)
{
    return LineBreakStyleOf(text);
}

TTextFileFacts LoadTextFile(const QString &path, QStringList &lines)
{
    // Read once: detection and decoding see the same bytes.
    const QByteArray bytes = ReadWholeFile(path);
    TTextFileFacts facts;
    static_cast<TDetectedEncoding &>(facts) = DetectEncoding(bytes);
    const qsizetype bomSize = facts.HasBom ? facts.Encoding->GetPreamble().size() : 0;
    const QByteArrayView body = QByteArrayView(bytes).sliced(bomSize);
    const TEncoding &encoding = *facts.Encoding;
    if (encoding.KeepsAsciiBytes()) {
        // Cut the bytes, then decode each line straight into its string: no
        // copy of the whole text, and a decoding error still fails the load.
        facts.LineBreaks = LineBreakStyleOf(body);
        lines = SplitLines(body, [&encoding](QByteArrayView line) { return encoding.GetString(line); });
    } else {
        const QString text = encoding.GetString(body);
        facts.LineBreaks = LineBreakStyleOf(QStringView(text));
        lines = SplitTextIntoLines(text);
    }
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
