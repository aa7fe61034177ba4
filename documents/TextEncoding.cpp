// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextEncoding.h"

#include "UserError.h"
#include "Utf8.h"
#include "translation.h"

#include <QHash>
#include <QStringDecoder>
#include <QtEndian>

#include <array>

using namespace Qt::StringLiterals;

namespace {

bool IsLoneSurrogateAt(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c.isHighSurrogate())
        return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !text[i - 1].isHighSurrogate();
    return false;
}

template <bool LittleEndian>
class TUTF16Encoding final : public TEncoding {
public:
    QByteArray GetPreamble() const override
    {
        return LittleEndian ? "\xFF\xFE"_ba : "\xFE\xFF"_ba;
    }

    // By hand rather than through a converter, which would replace lone
    // surrogates; a final odd byte is ignored.
    bool KeepsAsciiBytes() const override { return false; }

    QString GetString(QByteArrayView bytes) const override
    {
        if (bytes.size() < 2)
            return {}; // and no null pointer to copy from
        QString text(bytes.size() / 2, Qt::Uninitialized);
        if (LittleEndian)
            qFromLittleEndian<char16_t>(bytes.data(), text.size(), text.data());
        else
            qFromBigEndian<char16_t>(bytes.data(), text.size(), text.data());
        return text;
    }

    QByteArray GetBytes(QStringView text, qsizetype &replaced) const override
    {
        replaced = 0;
        if (text.isEmpty())
            return {}; // and no null pointer to copy from
        QByteArray bytes(text.size() * 2, Qt::Uninitialized);
        if (LittleEndian)
            qToLittleEndian<char16_t>(text.data(), text.size(), bytes.data());
        else
            qToBigEndian<char16_t>(text.data(), text.size(), bytes.data());
        return bytes;
    }
};

class TAnsiEncoding final : public TEncoding {
public:
    QByteArray GetPreamble() const override { return {}; }

    QString GetString(QByteArrayView bytes) const override
    {
        // Bytes below 0x80 are themselves; Qt's Latin-1 conversion does many
        // at a time.
        if (IsAscii(bytes))
            return QString::fromLatin1(bytes);
        const TTables &tables = Tables();
        QString text(bytes.size(), Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype i = 0; i < bytes.size(); ++i)
            out[i] = tables.ToUnicode[static_cast<unsigned char>(bytes[i])];
        return text;
    }

    QByteArray GetBytes(QStringView text, qsizetype &replaced) const override
    {
        replaced = 0;
        QByteArray bytes;
        bytes.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t unit = text[i].unicode();
            if (unit < 0x80) {
                bytes += char(unit);
                continue;
            }
            const auto &fromUnicode = Tables().FromUnicode;
            const auto it = fromUnicode.constFind(unit);
            if (it != fromUnicode.constEnd()) {
                bytes += *it;
                continue;
            }
            // A surrogate pair is one character and becomes one '?'.
            if (QChar::isHighSurrogate(unit) && i + 1 < text.size()
                && text[i + 1].isLowSurrogate())
                ++i;
            bytes += '?';
            ++replaced;
        }
        return bytes;
    }

private:
    struct TTables {
        std::array<char16_t, 256> ToUnicode{};
        QHash<char16_t, char> FromUnicode; // bytes 80-FF only; 00-7F are ASCII
    };

    // One table from the system converter, built the first time a character
    // outside ASCII needs it (ASCII text never opens the converter). Bytes it
    // does not map to a single character get the character of the same number
    // (ICU already does so for 81 8D 8F 90 9D); without the converter the
    // table is Latin-1. Either way every byte has its own character.
    static const TTables &Tables()
    {
        static const TTables tables = [] {
            TTables built;
            QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
            for (int b = 0; b < 256; ++b) {
                char16_t unit = char16_t(b);
                if (b >= 0x80 && decoder.isValid()) {
                    const char byte = char(b);
                    const QString decoded = decoder.decode(QByteArrayView(&byte, 1));
                    if (!decoder.hasError() && decoded.size() == 1
                        && decoded[0] != QChar::ReplacementCharacter
                        && !built.FromUnicode.contains(decoded[0].unicode()))
                        unit = decoded[0].unicode();
                    decoder.resetState();
                }
                built.ToUnicode[b] = unit;
                if (b >= 0x80)
                    built.FromUnicode.insert(unit, char(b));
            }
            return built;
        }();
        return tables;
    }
};

} // namespace

const TEncoding &TEncoding::Utf8()
{
    static const TUTF8Encoding instance;
    return instance;
}

const TEncoding &TEncoding::Utf16LE()
{
    static const TUTF16Encoding<true> instance;
    return instance;
}

const TEncoding &TEncoding::Utf16BE()
{
    static const TUTF16Encoding<false> instance;
    return instance;
}

const TEncoding &TEncoding::Ansi()
{
    static const TAnsiEncoding instance;
    return instance;
}

QByteArray TUTF8Encoding::GetPreamble() const
{
    return "\xEF\xBB\xBF"_ba;
}

QString TUTF8Encoding::GetString(QByteArrayView bytes) const
{
    // Qt's UTF-8 decoder rejects overlong forms, surrogates and values above
    // U+10FFFF. ConvertInitialBom keeps a U+FEFF that follows the file's own
    // mark, which the decoder would otherwise drop.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless
                               | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw TUserError(Translate(
            u"No mapping for the Unicode character exists in the target multi-byte code page"_s));
    return text;
}

QByteArray TUTF8Encoding::GetBytes(QStringView text, qsizetype &replaced) const
{
    replaced = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsLoneSurrogateAt(text, i))
            ++replaced;
    }
    if (replaced == 0)
        return text.toUtf8();
    QString clean = text.toString();
    for (qsizetype i = 0; i < clean.size(); ++i) {
        if (IsLoneSurrogateAt(text, i))
            clean[i] = u'?';
    }
    return clean.toUtf8();
}

QByteArray TUTF8NoBOMEncoding::GetPreamble() const
{
    return {};
}
