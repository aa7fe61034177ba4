// SPDX-License-Identifier: GPL-3.0-or-later
// The extraction server's PDF reader on any bytes: a text or a failure with
// its reason, never a crash. The PDF library itself is not instrumented, so
// coverage guides through our side only; its crashes still end the run.
// Input: the document.

#include "ExtractFuzz.h"

#include "ExtractTypes.h"
#include "PdfText.h"

#include <QStringList>

#include <poppler-document.h>

#include <memory>

// The PDF library builds its global state (fonts, encodings) while any
// document is open and drops it with the last one. The server opens one
// document per process; here one document stays open for the whole run so
// that state is built once, not for every input.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static const char minimal[] = "%PDF-1.4\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj\n"
                                  "2 0 obj<</Type/Pages/Kids[]/Count 0>>endobj\n"
                                  "trailer<</Root 1 0 R>>\n%%EOF\n";
    static const std::unique_ptr<poppler::document> keptOpen(
        poppler::document::load_from_raw_data(minimal, int(sizeof minimal - 1)));
    if (!keptOpen)
        qFatal("the minimal PDF does not open");
    return 0;
}

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
