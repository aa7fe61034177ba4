// SPDX-License-Identifier: GPL-3.0-or-later
// The extraction server's PDF reader on any bytes: a text or a failure with
// its reason, never a crash. The PDF library itself is not instrumented, so
// coverage guides through our side only; its crashes still end the run.
// Input: the document.

#include "ExtractFuzz.h"

#include "ExtractTypes.h"
#include "PdfText.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString text;
    try {
        text = ExtractPdfText(bytes);
    } catch (const TExtractFailure &failure) {
        FUZZ_CHECK(!failure.Reason().isEmpty(), "a failure without a reason");
        return 0;
    }
    CheckTextLayout(text);
    for (QStringView line : QStringView(text).split(u'\n')) {
        FUZZ_CHECK(line.isEmpty() || !line.back().isSpace(), "trailing white space:" << Shown(line.toString()));
        FUZZ_CHECK(!line.contains(u'\f'), "a page break in a line");
    }
    return 0;
}
