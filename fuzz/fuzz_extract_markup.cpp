// SPDX-License-Identifier: GPL-3.0-or-later
// The extraction server's HTML and XML readers on any bytes. HTML always
// gives a text, as a browser shows any page; XML gives its data one trimmed
// value a line, or a failure for a broken document.
// Input: a byte whose low bits pick the reader (HTML bytes, HTML text
// decoded from UTF-8 first, XML) and whose high bits the nesting limit of
// the XML reader, then the document.

#include "ExtractFuzz.h"

#include "ExtractTypes.h"
#include "HtmlText.h"
#include "XmlText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TFuzzInput input(data, size);
    const std::uint8_t choice = input.Byte();
    const QByteArrayView bytes = input.Rest();
    switch (choice % 3) {
    case 0:
        CheckTextLayout(ExtractHtmlText(bytes));
        break;
    case 1:
        CheckTextLayout(ExtractHtmlText(QStringView(QString::fromUtf8(bytes))));
        break;
    default: {
        QString text;
        try {
            text = ExtractXmlText(bytes, 1 + choice / 4);
        } catch (const TExtractFailure &failure) {
            FUZZ_CHECK(!failure.Reason().isEmpty(), "a failure without a reason");
            return 0;
        }
        CheckTextLayout(text);
        for (QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts))
            FUZZ_CHECK(line == line.trimmed(), "a line with blanks at an end:" << Shown(line.toString()));
        FUZZ_CHECK(!text.contains(u"\n\n"), "an empty line");
        break;
    }
    }
    return 0;
}
