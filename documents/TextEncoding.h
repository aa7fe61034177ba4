// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

/// Converts between a file's bytes and UTF-16 text. The four shared
/// encodings are process-wide singletons, compared by address; objects are
/// immutable and safe to use from any thread.
class TEncoding {
public:
    TEncoding(const TEncoding &) = delete;
    TEncoding &operator=(const TEncoding &) = delete;
    virtual ~TEncoding() = default;

    /// The byte-order mark written in front of the text; empty for none.
    virtual QByteArray GetPreamble() const = 0;

    /// Decodes `bytes`, which must not include the byte-order mark. Only UTF-8
    /// can fail: ill-formed input throws TUserError ("No mapping for the
    /// Unicode character exists in the target multi-byte code page").
    virtual QString GetString(QByteArrayView bytes) const = 0;

    /// Encodes `text` without the byte-order mark. A character the encoding
    /// cannot hold (outside the ANSI code page; a lone surrogate in UTF-8) is
    /// written as one '?'; `replaced` receives how many were.
    virtual QByteArray GetBytes(QStringView text, qsizetype &replaced) const = 0;

    /// True when every CR and LF byte is that character and never part of
    /// another one, so the bytes can be cut into lines before decoding.
    virtual bool KeepsAsciiBytes() const { return true; }

    /// UTF-8 with the byte-order mark EF BB BF.
    static const TEncoding &Utf8();
    /// UTF-16, low byte first, byte-order mark FF FE. Code units are copied
    /// as they are, so lone surrogates survive a load and save.
    static const TEncoding &Utf16LE();
    /// UTF-16, high byte first, byte-order mark FE FF; otherwise as Utf16LE.
    static const TEncoding &Utf16BE();
    /// The 8-bit code page Windows-1252, no byte-order mark. Every byte
    /// decodes (the five unassigned bytes 81 8D 8F 90 9D to U+0081 U+008D
    /// U+008F U+0090 U+009D), so any byte string round-trips.
    static const TEncoding &Ansi();

protected:
    TEncoding() = default;
};

/// UTF-8, strict on decoding: overlong forms, surrogate code points, values
/// above U+10FFFF and cut sequences fail. A leading U+FEFF in the text is
/// kept as a character, not taken for a byte-order mark.
class TUTF8Encoding : public TEncoding {
public:
    QByteArray GetPreamble() const override;
    QString GetString(QByteArrayView bytes) const override;
    QByteArray GetBytes(QStringView text, qsizetype &replaced) const override;

protected:
    TUTF8Encoding() = default;
    friend class TEncoding;
};

/// UTF-8 that writes no byte-order mark. Used only for saving a UTF-8 side
/// whose file had none; never stored as a side's encoding.
class TUTF8NoBOMEncoding final : public TUTF8Encoding {
public:
    TUTF8NoBOMEncoding() = default;
    /// Always empty.
    QByteArray GetPreamble() const override;
};
