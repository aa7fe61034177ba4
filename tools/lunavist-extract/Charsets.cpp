// SPDX-License-Identifier: GPL-3.0-or-later
#include "Charsets.h"

#include "TextEncoding.h"
#include "TextFile.h"
#include "UserError.h"

#include <QStringDecoder>

namespace {

QByteArray NormalisedName(QByteArrayView charsetName)
{
    QByteArray name = charsetName.trimmed().toByteArray().toLower();
    // Latin-1 as labelled on the web and in mail is Windows-1252 in fact.
    if (name == "iso-8859-1" || name == "latin1" || name == "cp1252")
        return "windows-1252";
    // Mail labelled ASCII often carries UTF-8 all the same: let the bytes
    // decide.
    if (name == "us-ascii" || name == "ascii")
        return QByteArray();
    if (name == "utf8")
        return "utf-8";
    return name;
}

QString DecodeDetected(QByteArrayView bytes)
{
    const TDetectedEncoding detected = DetectBytesEncoding(bytes);
    const QByteArrayView text = bytes.sliced(detected.HasBom ? detected.Encoding->GetPreamble().size() : 0);
    try {
        return detected.Encoding->GetString(text);
    } catch (const TUserError &) {
        // Well-formed in shape but not strictly UTF-8 (an overlong form):
        // decode leniently rather than lose the text.
        return QString::fromUtf8(text);
    }
}

} // namespace

QString DecodeCharset(QByteArrayView bytes, QByteArrayView charsetName)
{
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return DecodeDetected(bytes);
    const QByteArray name = NormalisedName(charsetName);
    if (name == "windows-1252")
        return TEncoding::Ansi().GetString(bytes);
    if (!name.isEmpty()) {
        QStringDecoder decoder(name.constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    return DecodeDetected(bytes);
}
