// SPDX-License-Identifier: GPL-3.0-or-later
// The extraction server's mail reader on any bytes: the text of the
// message's parts or the nesting failure, never a crash; and the
// quoted-printable decoder on the same bytes.
// Input: a byte for the MIME nesting limit, then the message.

#include "ExtractFuzz.h"

#include "ExtractTypes.h"
#include "MailText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TFuzzInput input(data, size);
    const int maxNesting = 1 + input.Byte() % 24;
    const QByteArrayView bytes = input.Rest();

    // Decoding only drops bytes; without '=' it changes nothing.
    const QByteArray decoded = DecodeQuotedPrintable(bytes);
    FUZZ_CHECK(decoded.size() <= bytes.size(), "decoding grew the bytes");
    if (!bytes.contains('='))
        FUZZ_CHECK(decoded == bytes, "bytes without '=' changed");

    try {
        CheckTextLayout(ExtractMailText(bytes, maxNesting));
    } catch (const TExtractFailure &failure) {
        FUZZ_CHECK(!failure.Reason().isEmpty(), "a failure without a reason");
    }
    return 0;
}
