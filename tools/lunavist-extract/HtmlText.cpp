// SPDX-License-Identifier: GPL-3.0-or-later
#include "HtmlText.h"

#include "Charsets.h"
#include "Digits.h"
#include "HtmlEntities.h"
#include "TextBuilder.h"

#include <QRegularExpression>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

bool IsBlockElement(const QString &name)
{
    static const QSet<QString> blocks = {
        u"address"_s, u"article"_s, u"aside"_s, u"blockquote"_s, u"body"_s, u"caption"_s, u"center"_s,
        u"dd"_s, u"details"_s, u"dialog"_s, u"dir"_s, u"div"_s, u"dl"_s, u"dt"_s, u"fieldset"_s,
        u"figcaption"_s, u"figure"_s, u"footer"_s, u"form"_s, u"h1"_s, u"h2"_s, u"h3"_s, u"h4"_s, u"h5"_s,
        u"h6"_s, u"head"_s, u"header"_s, u"hgroup"_s, u"hr"_s, u"html"_s, u"legend"_s, u"li"_s, u"main"_s,
        u"menu"_s, u"nav"_s, u"ol"_s, u"option"_s, u"p"_s, u"pre"_s, u"section"_s, u"summary"_s,
        u"table"_s, u"tbody"_s, u"tfoot"_s, u"thead"_s, u"title"_s, u"ul"_s, u"textarea"_s};
    return blocks.contains(name);
}

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

class THtmlReader {
public:
    explicit THtmlReader(QStringView html) : FHtml(html) {}

    QString Read()
    {
        while (FAt < FHtml.size()) {
            const QChar c = FHtml[FAt];
            if (c == u'<') {
                if (!Markup()) {
                    ++FAt;
                    Character(u"<");
                }
            } else if (c == u'&') {
                Character(Entity());
            } else {
                qsizetype end = FAt;
                while (end < FHtml.size() && FHtml[end] != u'<' && FHtml[end] != u'&')
                    ++end;
                Character(FHtml.sliced(FAt, end - FAt));
                FAt = end;
            }
        }
        CloseTable();
        return FOut.Finish();
    }

private:
    // Handles the markup at FAt; false when the '<' is plain text.
    bool Markup()
    {
        const QStringView rest = FHtml.sliced(FAt);
        if (rest.startsWith(u"<!--")) {
            SkipPast(u"-->", 4);
            return true;
        }
        if (rest.startsWith(u"<!") || rest.startsWith(u"<?")) {
            SkipPast(u">", 2);
            return true;
        }
        const bool end = rest.startsWith(u"</");
        const qsizetype nameStart = FAt + (end ? 2 : 1);
        if (nameStart >= FHtml.size() || !IsAsciiLetter(FHtml[nameStart]))
            return false;
        qsizetype i = nameStart;
        while (i < FHtml.size() && !FHtml[i].isSpace() && FHtml[i] != u'>' && FHtml[i] != u'/')
            ++i;
        const QString name = FHtml.sliced(nameStart, i - nameStart).toString().toLower();
        FAt = TagEnd(i);
        if (end)
            EndTag(name);
        else
            StartTag(name);
        return true;
    }

    // The index after the '>' that closes a tag whose attributes start at
    // `i`; quoted values may hold '>'.
    qsizetype TagEnd(qsizetype i) const
    {
        QChar quote;
        for (; i < FHtml.size(); ++i) {
            const QChar c = FHtml[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'"' || c == u'\'') {
                // Only a quote that opens a value quotes.
                if (i > 0 && FHtml[i - 1] == u'=')
                    quote = c;
            } else if (c == u'>') {
                return i + 1;
            }
        }
        return FHtml.size();
    }

    void SkipPast(QStringView marker, qsizetype from)
    {
        const qsizetype found = FHtml.indexOf(marker, FAt + from);
        FAt = found < 0 ? FHtml.size() : found + marker.size();
    }

    // The end of raw text that runs to "</name" (script, style).
    void SkipRawText(const QString &name)
    {
        const qsizetype found = FHtml.indexOf(u"</"_s + name, FAt, Qt::CaseInsensitive);
        FAt = found < 0 ? FHtml.size() : TagEnd(found + 2 + name.size());
    }

    void StartTag(const QString &name)
    {
        if (name == u"script" || name == u"style" || name == u"template") {
            SkipRawText(name);
            return;
        }
        if (name == u"br") {
            FOut.EndLine();
            FPendingSpace = false;
            return;
        }
        if (name == u"pre" || name == u"textarea") {
            Block();
            ++FPre;
            // A newline right after the start tag is not content.
            if (FAt < FHtml.size() && FHtml[FAt] == u'\n')
                ++FAt;
            return;
        }
        if (name == u"table") {
            Block();
            if (++FTableDepth == 1) {
                FRowOpen = FCellOpen = false;
            }
            return;
        }
        if (FTableDepth == 1 && name == u"tr") {
            CloseRow();
            FOut.BeginRow();
            FRowOpen = true;
            return;
        }
        if (FTableDepth == 1 && (name == u"td" || name == u"th")) {
            if (!FRowOpen) {
                FOut.BeginRow();
                FRowOpen = true;
            }
            if (FCellOpen)
                FOut.EndCell();
            FCellOpen = true;
            FPendingSpace = false;
            return;
        }
        if (IsBlockElement(name) || name == u"tr" || name == u"td" || name == u"th")
            Block();
    }

    void EndTag(const QString &name)
    {
        if ((name == u"pre" || name == u"textarea") && FPre > 0) {
            --FPre;
            Block();
            return;
        }
        if (name == u"table" && FTableDepth > 0) {
            if (FTableDepth == 1)
                CloseTable();
            --FTableDepth;
            Block();
            return;
        }
        if (FTableDepth == 1 && name == u"tr") {
            CloseRow();
            return;
        }
        if (FTableDepth == 1 && (name == u"td" || name == u"th")) {
            if (FCellOpen)
                FOut.EndCell();
            FCellOpen = false;
            return;
        }
        if (IsBlockElement(name) || name == u"tr" || name == u"td" || name == u"th")
            Block();
    }

    void CloseRow()
    {
        if (FCellOpen)
            FOut.EndCell();
        if (FRowOpen)
            FOut.EndRow(false);
        FRowOpen = FCellOpen = false;
    }

    void CloseTable()
    {
        if (FTableDepth >= 1)
            CloseRow();
    }

    void Block()
    {
        FOut.EndBlock();
        FPendingSpace = false;
    }

    void Character(QStringView text)
    {
        if (FPre > 0) {
            for (const QChar c : text) {
                if (c == u'\n')
                    FOut.EndLine();
                else if (c == u'\t')
                    FOut.Tab();
                else if (c != u'\r')
                    FOut.Append(c);
            }
            return;
        }
        for (const QChar c : text) {
            // HTML's white space; a no-break space is a character to keep.
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
                FPendingSpace = true;
                continue;
            }
            if (FPendingSpace && !FOut.AtLineStart() && FOut.LastChar() != u' ')
                FOut.Append(u' ');
            FPendingSpace = false;
            FOut.Append(c);
        }
    }

    // The characters of the entity or character reference at FAt; a lone
    // '&', or a name that is not known, is itself.
    QString Entity()
    {
        const qsizetype start = FAt;
        ++FAt;
        if (FAt < FHtml.size() && FHtml[FAt] == u'#') {
            qsizetype i = FAt + 1;
            const bool hex = i < FHtml.size() && (FHtml[i] == u'x' || FHtml[i] == u'X');
            if (hex)
                ++i;
            const qsizetype digits = i;
            char32_t value = 0;
            for (; i < FHtml.size() && i - digits < 8; ++i) {
                const int digit = AsciiDigitValue(FHtml[i].unicode(), hex ? 16 : 10);
                if (digit < 0)
                    break;
                value = value * (hex ? 16 : 10) + char32_t(digit);
            }
            if (i == digits)
                return u"&"_s;
            if (i < FHtml.size() && FHtml[i] == u';')
                ++i;
            FAt = i;
            // NUL, surrogates and values past Unicode are no characters.
            if (value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
                value = 0xFFFD;
            return QString::fromUcs4(&value, 1);
        }
        qsizetype i = FAt;
        while (i < FHtml.size() && i - FAt < 32 && (IsAsciiLetter(FHtml[i]) || AsciiDigitValue(FHtml[i].unicode(), 10) >= 0))
            ++i;
        if (i < FHtml.size() && FHtml[i] == u';') {
            const char32_t value = HtmlEntityCodePoint(FHtml.sliced(FAt, i - FAt).toString());
            if (value != 0) {
                FAt = i + 1;
                return QString::fromUcs4(&value, 1);
            }
        }
        FAt = start + 1;
        return u"&"_s;
    }

    QStringView FHtml;
    qsizetype FAt = 0;
    TTextBuilder FOut;
    bool FPendingSpace = false;
    int FPre = 0;
    int FTableDepth = 0;
    bool FRowOpen = false;
    bool FCellOpen = false;
};

// The charset a page declares in its first bytes: <meta charset=...>,
// <meta http-equiv ... content="...; charset=...">, or <?xml encoding=...?>.
QByteArray DeclaredCharset(QByteArrayView bytes)
{
    const QString head = QString::fromLatin1(bytes.first(std::min<qsizetype>(bytes.size(), 4096))).toLower();
    static const QRegularExpression meta(u"<meta[^>]*charset\\s*=\\s*[\"']?\\s*([a-z0-9_.:-]+)"_s);
    static const QRegularExpression xml(u"^\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"']([a-z0-9_.:-]+)"_s);
    QRegularExpressionMatch match = meta.match(head);
    if (!match.hasMatch())
        match = xml.match(head);
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}

} // namespace

QString ExtractHtmlText(QStringView html)
{
    return THtmlReader(html).Read();
}

QString ExtractHtmlText(QByteArrayView bytes)
{
    const QString html = DecodeCharset(bytes, DeclaredCharset(bytes));
    return ExtractHtmlText(QStringView(html));
}
