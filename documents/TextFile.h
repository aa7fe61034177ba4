// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "UserError.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

class TEncoding;
class TUTF8NoBOMEncoding;

// The six encoding names, shown as they stand (never translated).
inline const QString EncNameUtf8WithBom = QStringLiteral("UTF-8 with BOM");
inline const QString EncNameUtf16LEWithBom = QStringLiteral("UTF-16 LE with BOM");
inline const QString EncNameUtf16BEWithBom = QStringLiteral("UTF-16 BE with BOM");
inline const QString EncNameAnsiAscii = QStringLiteral("ANSI/ASCII");
inline const QString EncNameUtf8 = QStringLiteral("UTF-8");
inline const QString EncNameAnsi = QStringLiteral("ANSI");

/// What DetectFileEncoding decided. Encoding is one of the shared objects of
/// TEncoding, compared by address; HasBom is true for UTF-16 always, for
/// UTF-8 exactly when the name is "UTF-8 with BOM", never for ANSI.
struct TDetectedEncoding {
    const TEncoding *Encoding = nullptr;
    bool HasBom = false;
    QString EncodingName;
};

enum TLineBreak : std::uint8_t {
    lbCrLf = 0,
    lbLf = 1,
    lbCr = 2,
};

/// How a side's lines are written back: the break between lines, and
/// whether the last line is followed by one. The default is what a text
/// without lines gives.
struct TLineBreakStyle {
    TLineBreak LineBreak = lbLf;
    bool EndsWithBreak = true;

    friend bool operator==(const TLineBreakStyle &, const TLineBreakStyle &) = default;
};

/// Everything a load records for a side besides its lines.
struct TTextFileFacts : TDetectedEncoding {
    TLineBreakStyle LineBreaks;
};

/// The load error: "Cannot open file "<path>". <reason>", translated.
TUserError CannotOpenFileError(const QString &path, const QString &reason);

/// Reads the whole file and decides its encoding by the first matching rule:
/// EF BB BF -> UTF-8 with BOM; FF FE -> UTF-16 LE; FE FF -> UTF-16 BE; a
/// non-empty file of bytes below 0x80 -> "ANSI/ASCII"; IsValidUtf8 ->
/// "UTF-8" without BOM; anything else, the empty file included -> "ANSI".
/// The result's Encoding is always set. Throws CannotOpenFileError when the
/// file cannot be opened or read, or is 2^31 bytes or larger.
TDetectedEncoding DetectFileEncoding(const QString &path);

/// The encoding DetectFileEncoding decides for a file holding `bytes`.
TDetectedEncoding DetectBytesEncoding(QByteArrayView bytes);

/// The break style of a text: its first break (CR LF, LF or CR; LF when it
/// has none) and whether its last character is CR or LF (true when empty).
TLineBreakStyle DetectLineBreakStyle(QStringView text);

/// Loads a text file: detects the encoding as DetectFileEncoding does,
/// decodes the bytes after the byte-order mark and replaces `lines` with
/// SplitTextIntoLines of the text. Throws CannotOpenFileError as
/// DetectFileEncoding does, and TUserError "No mapping for the Unicode
/// character exists in the target multi-byte code page" for ill-formed
/// UTF-8; on any failure `lines` is left as it was.
TTextFileFacts LoadTextFile(const QString &path, QStringList &lines);

/// Cuts a text into lines without terminators. CR LF, a lone LF and a lone
/// CR each end a line; a break at the very end adds no empty line after it;
/// an empty text gives no lines. No other character separates lines.
QStringList SplitTextIntoLines(QStringView text);

/// The encoding to save a side with: `utf8NoBom` for a UTF-8 side without a
/// byte-order mark, otherwise the side's own `encoding`.
const TEncoding &EncodingForSave(const TEncoding &encoding, bool hasBom,
                                 const TUTF8NoBOMEncoding &utf8NoBom);

/// Writes `lines` to `path`: the preamble of `encoding`, then the lines
/// joined by the style's break, with a break after the last line when the
/// style ends with one or the last line is empty (else that empty line would
/// vanish on reload). No lines give just the preamble. The file is replaced
/// atomically only after everything is encoded; an existing file stays as it
/// was on failure. Returns how many characters `encoding` could not hold and
/// wrote as '?' (0 for UTF-16). Throws TUserError "Cannot create file
/// "<path>". <reason>" when the file cannot be created or written.
qsizetype SaveTextFile(const QStringList &lines, const QString &path,
                       const TEncoding &encoding, const TLineBreakStyle &lineBreaks);
