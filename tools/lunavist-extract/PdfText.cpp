// SPDX-License-Identifier: GPL-3.0-or-later
#include "PdfText.h"

#include "ExtractTypes.h"
#include "TextBuilder.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <limits>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The library reports every damaged object on stderr; a broken document is
// answered with one reason instead.
void IgnoreMessage(const std::string &, void *) {}

} // namespace

QString ExtractPdfText(QByteArrayView bytes)
{
    if (bytes.size() > std::numeric_limits<int>::max())
        throw TExtractFailure(u"The PDF document is too large (2 GB or more)."_s);
    poppler::set_debug_error_function(IgnoreMessage, nullptr);
    const std::unique_ptr<poppler::document> document(
        poppler::document::load_from_raw_data(bytes.data(), int(bytes.size())));
    if (!document)
        throw TExtractFailure(u"The PDF document cannot be read."_s);
    if (document->is_locked())
        throw TExtractFailure(u"The PDF document is protected by a password."_s);
    const int pages = document->pages();
    if (pages <= 0)
        throw TExtractFailure(u"The PDF document has no pages."_s);

    TTextBuilder out;
    for (int i = 0; i < pages; ++i) {
        const std::unique_ptr<poppler::page> page(document->create_page(i));
        if (!page)
            continue;
        const poppler::byte_array utf8 =
            page->text(poppler::rectf(), poppler::page::non_raw_non_physical_layout).to_utf8();
        QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        text.remove(u'\f'); // the library's page ends; pages are sections here
        out.StartSection();
        for (QStringView line : QStringView(text).split(u'\n')) {
            if (line.endsWith(u'\r'))
                line.chop(1);
            while (!line.isEmpty() && line.back().isSpace())
                line.chop(1);
            out.Append(line);
            out.EndLine();
        }
    }
    return out.Finish();
}
