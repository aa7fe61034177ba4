// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlainText.h"

#include "ExtractTypes.h"
#include "TextEncoding.h"
#include "TextFile.h"
#include "UserError.h"

QString ExtractPlainText(QByteArrayView bytes)
{
    const TDetectedEncoding detected = DetectBytesEncoding(bytes);
    const qsizetype preamble = detected.HasBom ? detected.Encoding->GetPreamble().size() : 0;
    try {
        return detected.Encoding->GetString(bytes.sliced(preamble));
    } catch (const TUserError &error) {
        throw TExtractFailure(error.Message());
    }
}
