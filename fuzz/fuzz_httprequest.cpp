// SPDX-License-Identifier: GPL-3.0-or-later
// The extraction server's request reader on any bytes of a connection. The
// same bytes fed at once and fed in pieces of random sizes must give the
// same requests: heads, bodies and the error, whatever the network's cuts.
//
// Input: one byte for the body limit, one for the head limit, one that
// seeds the piece sizes, then the connection's bytes.

#include "FuzzSupport.h"

#include "HttpRequestParser.h"

#include <QRandomGenerator>

namespace {

// What a connection read: one entry per step that is not psNeedMore.
QByteArrayList Read(QByteArrayView bytes, qint64 maxBody, qsizetype maxHead, std::uint32_t pieces)
{
    THttpRequestParser parser(maxBody, maxHead);
    QByteArrayList events;
    QByteArray input;
    QByteArray body;
    QRandomGenerator random(pieces);
    qsizetype fed = 0;
    for (int steps = 0;; ++steps) {
        FUZZ_CHECK(steps < 1000000, "the parser makes no progress");
        const qsizetype before = input.size();
        const THttpRequestParser::TStep step = parser.Parse(input, body);
        FUZZ_CHECK(input.size() <= before, "the parser grew its input");
        FUZZ_CHECK(parser.BodyBytes() == body.size(), "body bytes" << parser.BodyBytes() << body.size());
        FUZZ_CHECK(body.size() <= maxBody, "a body over the limit:" << body.size());
        switch (step) {
        case THttpRequestParser::psNeedMore:
            if (fed == bytes.size()) {
                events.append("end, " + QByteArray::number(input.size()) + " bytes left");
                return events;
            }
            {
                const qsizetype piece =
                    pieces == 0 ? bytes.size() - fed
                                : std::min<qsizetype>(bytes.size() - fed, 1 + random.bounded(pieces % 97 + 1));
                input.append(bytes.sliced(fed, piece));
                fed += piece;
            }
            break;
        case THttpRequestParser::psHead: {
            const THttpRequestHead &head = parser.Head();
            QByteArray shown = "head " + head.Method + ' ' + head.Target + " 1." + QByteArray::number(head.MinorVersion);
            for (const auto &[name, value] : head.Headers) {
                FUZZ_CHECK(name == name.toLower(), "a field name not in lower case");
                shown += '\n' + name + ": " + value;
            }
            FUZZ_CHECK(!head.Method.isEmpty() && !head.Target.isEmpty(), "an empty method or target");
            events.append(shown);
            break;
        }
        case THttpRequestParser::psDone: {
            const QByteArray length = parser.Head().Header("content-length");
            if (!length.isEmpty())
                FUZZ_CHECK(body.size() == length.toLongLong(), "the body is not its declared length");
            events.append("body " + body);
            body.clear();
            parser.Reset();
            break;
        }
        case THttpRequestParser::psError: {
            const int status = parser.ErrorStatus();
            FUZZ_CHECK(QList<int>({400, 413, 431, 501, 505}).contains(status), "status" << status);
            FUZZ_CHECK(parser.Parse(input, body) == THttpRequestParser::psError, "an error did not stay");
            events.append("error " + QByteArray::number(status) + " after body " + body);
            return events;
        }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TFuzzInput input(data, size);
    // Small limits, so inputs of a few kilobytes reach them.
    const qint64 maxBody = input.Byte() * 16;
    const qsizetype maxHead = 16 + input.Byte() * 8;
    const std::uint32_t seed = input.Byte();
    const QByteArrayView bytes = input.Rest();

    const QByteArrayList whole = Read(bytes, maxBody, maxHead, 0);
    const QByteArrayList pieces = Read(bytes, maxBody, maxHead, seed + 1);
    const QByteArrayList bytewise = Read(bytes, maxBody, maxHead, 97); // pieces of one byte
    FUZZ_CHECK(pieces == whole, "in pieces:" << pieces << "at once:" << whole);
    FUZZ_CHECK(bytewise == whole, "byte by byte:" << bytewise << "at once:" << whole);
    return 0;
}
