// SPDX-License-Identifier: GPL-3.0-or-later
// The version file and the change log of the update check, on any bytes.
// Input: one byte n, then n bytes of version file, then the change log.

#include "FuzzSupport.h"

#include "uNewVersionCheck.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TFuzzInput input(data, size);
    const QByteArray versionFile = input.Take(input.Byte()).toByteArray();
    const QByteArray changeLog = input.Rest().toByteArray();
    const int running = 24;

    TNewVersionInfo info;
    info.Announcement = u"untouched"_s;
    const bool shown = EvaluateVersionFiles(versionFile, changeLog, running, info);
    if (!shown) {
        FUZZ_CHECK(info.Announcement == u"untouched"_s && !info.ForcedUpdate, "a false check changed the info");
        return 0;
    }
    const QString &text = info.Announcement;
    const QString head = info.ForcedUpdate ? u"This version of the software is out of date."_s
                                           : u"The new version "_s;
    FUZZ_CHECK(text.startsWith(head), "the announcement starts with" << Shown(text));
    FUZZ_CHECK(text.contains(u"\r\n\r\nWhat's new:\r\n"_s), "no change-log heading:" << Shown(text));
    FUZZ_CHECK(text.endsWith(u"\r\n"_s), "the announcement does not end with a line break");
    // The version line alone decides: the same line with another change log
    // gives the same head, and the change log's lines follow it unchanged.
    TNewVersionInfo plain;
    FUZZ_CHECK(EvaluateVersionFiles(versionFile, QByteArray(), running, plain), "the change log decided");
    FUZZ_CHECK(plain.ForcedUpdate == info.ForcedUpdate, "the change log changed the kind");
    FUZZ_CHECK(text.startsWith(plain.Announcement), "the head depends on the change log");
    const QString lines = text.sliced(plain.Announcement.size());
    FUZZ_CHECK(!lines.contains(u"\r\n\r\n"_s) && !lines.startsWith(u"\r\n"_s), "an empty change-log line is shown");
    return 0;
}
