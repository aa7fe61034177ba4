// SPDX-License-Identifier: GPL-3.0-or-later
// The extraction server's RTF reader on any bytes: a text or the nesting
// failure, never a crash. A document cut short reads as its start, so no
// cut may fail where the whole did not.
// Input: a byte for the nesting limit, then the document.

#include "ExtractFuzz.h"

#include "ExtractTypes.h"
#include "RtfText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TFuzzInput input(data, size);
    const int maxNesting = 1 + input.Byte() % 64;
    const QByteArrayView bytes = input.Rest();
    QString text;
    try {
        text = ExtractRtfText(bytes, maxNesting);
    } catch (const TExtractFailure &failure) {
        FUZZ_CHECK(!failure.Reason().isEmpty(), "a failure without a reason");
        return 0;
    }
    CheckTextLayout(text);
    // Groups only close on the way to the end, so a start nests no deeper.
    try {
        CheckTextLayout(ExtractRtfText(bytes.first(bytes.size() / 2), maxNesting));
    } catch (const TExtractFailure &failure) {
        FUZZ_CHECK(false, "the first half fails where the whole reads:" << failure.Reason());
    }
    return 0;
}
