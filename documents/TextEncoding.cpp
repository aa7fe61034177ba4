// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextEncoding.h"

#include "UserError.h"
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
    TAnsiEncoding()
    {
        // One table from the system converter, built once. Bytes it does not
        // map to a single character get the character of the same number
        // (ICU already does so for 81 8D 8F 90 9D); without the converter the
        // table is Latin-1. Either way every byte has its own character.
        QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
        for (int b = 0; b < 256; ++b) {
            char16_t unit = char16_t(b);
            if (b >= 0x80 && decoder.isValid()) {
                const char byte = char(b);
                const QString decoded = decoder.decode(QByteArrayView(&byte, 1));
                if (!decoder.hasError() && decoded.size() == 1
                    && decoded[0] != QChar::ReplacementCharacter
                    && !m_fromUnicode.contains(decoded[0].unicode()))
                    unit = decoded[0].unicode();
                decoder.resetState();
            }
            m_toUnicode[b] = unit;
            if (b >= 0x80)
                m_fromUnicode.insert(unit, char(b));
        }
    }

    QByteArray GetPreamble() const override { return {}; }

    QString GetString(QByteArrayView bytes) const override
    {
        QString text(bytes.size(), Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype i = 0; i < bytes.size(); ++i)
            out[i] = m_toUnicode[static_cast<unsigned char>(bytes[i])];
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
            const auto it = m_fromUnicode.constFind(unit);
            if (it != m_fromUnicode.constEnd()) {
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
    std::array<char16_t, 256> m_toUnicode{};
    QHash<char16_t, char> m_fromUnicode; // bytes 80-FF only; 00-7F are ASCII
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
