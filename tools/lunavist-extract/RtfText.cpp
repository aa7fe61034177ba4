// SPDX-License-Identifier: GPL-3.0-or-later
#include "RtfText.h"

#include "Charsets.h"
#include "Digits.h"
#include "ExtractTypes.h"
#include "TextBuilder.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool IsSkippedDestination(QByteArrayView word)
{
    static const QSet<QByteArray> destinations = {
        "fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "header", "headerl", "headerr",
        "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor",
        "xe", "tc", "themedata", "colorschememapping", "latentstyles", "datastore", "listtable",
        "listoverridetable", "rsidtbl", "generator", "fldinst", "filetbl", "revtbl", "mmathPr", "xmlnstbl",
        "bkmkstart", "bkmkend", "nonshppict", "sp", "pntext", "listtext", "txe", "userprops", "docvar",
        "pgdsctbl", "operator", "author", "title", "subject", "keywords", "comment", "doccomm"};
    return destinations.contains(word.toByteArray());
}

QByteArray CodePageName(int codePage)
{
    switch (codePage) {
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 10000:
        return "macintosh";
    default:
        return "windows-" + QByteArray::number(codePage);
    }
}

const QHash<QByteArray, QString> &SpecialCharacters()
{
    static const QHash<QByteArray, QString> characters = {
        {"emdash", u"\u2014"_s}, {"endash", u"\u2013"_s}, {"lquote", u"\u2018"_s}, {"rquote", u"\u2019"_s},
        {"ldblquote", u"\u201C"_s}, {"rdblquote", u"\u201D"_s}, {"bullet", u"\u2022"_s},
        {"emspace", u" "_s}, {"enspace", u" "_s}, {"qmspace", u" "_s}};
    return characters;
}

class TRtfReader {
public:
    TRtfReader(QByteArrayView bytes, int maxNesting) : FBytes(bytes), FMaxNesting(maxNesting) {}

    QString Read()
    {
        while (FAt < FBytes.size()) {
            const char c = FBytes[FAt++];
            if (c == '{') {
                Flush();
                if (FStack.size() >= FMaxNesting)
                    throw TExtractFailure(u"The RTF document nests groups deeper than %1 levels."_s.arg(FMaxNesting));
                FStack.append(FState);
            } else if (c == '}') {
                Flush();
                if (FStack.isEmpty())
                    continue; // a stray closing brace
                FState = FStack.takeLast();
            } else if (c == '\\') {
                Control();
            } else if (c != '\r' && c != '\n') {
                Byte(c);
            }
        }
        Flush();
        return FOut.Finish();
    }

private:
    struct TState {
        bool Skip = false;
        int UnicodeSkip = 1; ///< bytes standing in for each \uN character (\ucN)
    };

    void Byte(char byte)
    {
        if (FSkipAfterUnicode > 0) {
            --FSkipAfterUnicode;
            return;
        }
        if (!FState.Skip)
            FPending += byte;
    }

    void Flush()
    {
        if (!FPending.isEmpty())
            FOut.Append(DecodeCharset(FPending, FCodePage));
        FPending.clear();
    }

    void Text(QStringView text)
    {
        Flush();
        if (!FState.Skip)
            FOut.Append(text);
    }

    void Control()
    {
        if (FAt >= FBytes.size())
            return;
        const char c = FBytes[FAt];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            ++FAt;
            Symbol(c);
            return;
        }
        const qsizetype start = FAt;
        while (FAt < FBytes.size() && FAt - start < 32
               && ((FBytes[FAt] >= 'a' && FBytes[FAt] <= 'z') || (FBytes[FAt] >= 'A' && FBytes[FAt] <= 'Z')))
            ++FAt;
        const QByteArrayView word = FBytes.sliced(start, FAt - start);
        bool hasParameter = false;
        qint64 parameter = 0;
        const qsizetype numberStart = FAt;
        if (FAt < FBytes.size() && FBytes[FAt] == '-')
            ++FAt;
        while (FAt < FBytes.size() && FAt - numberStart < 11 && FBytes[FAt] >= '0' && FBytes[FAt] <= '9') {
            parameter = parameter * 10 + (FBytes[FAt++] - '0');
            hasParameter = true;
        }
        if (hasParameter && FBytes[numberStart] == '-')
            parameter = -parameter;
        if (!hasParameter)
            FAt = numberStart; // a lone '-' is text
        if (FAt < FBytes.size() && FBytes[FAt] == ' ')
            ++FAt; // the delimiter belongs to the control word
        Word(word, hasParameter, parameter);
    }

    void Symbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Byte(c);
            break;
        case '\'':
            // Exactly two hex digits make a byte; a damaged escape shows
            // nothing rather than a byte made of one digit.
            if (const int high = HexDigit(FAt), low = HexDigit(FAt + 1); high >= 0 && low >= 0) {
                FAt += 2;
                Byte(char(high * 16 + low));
            } else {
                FAt += high >= 0 ? 1 : 0;
            }
            break;
        case '~':
            Text(u"\u00A0");
            break;
        case '_':
            Text(u"-");
            break;
        case '*':
            // An optional destination: none of them is body text.
            FState.Skip = true;
            break;
        case '\r':
        case '\n':
            Paragraph();
            break;
        default:
            break; // \- (optional hyphen), \| and the like show nothing
        }
    }

    /// The value of the hex digit at `at`; -1 past the end or for another byte.
    int HexDigit(qsizetype at) const { return at < FBytes.size() ? HexDigitValue(FBytes[at]) : -1; }

    void Paragraph()
    {
        Flush();
        if (!FState.Skip)
            FOut.EndLine();
    }

    void Word(QByteArrayView word, bool hasParameter, qint64 parameter)
    {
        if (IsSkippedDestination(word)) {
            Flush();
            FState.Skip = true;
        } else if (word == "par" || word == "line") {
            Paragraph();
        } else if (word == "tab") {
            Flush();
            if (!FState.Skip)
                FOut.Tab();
        } else if (word == "intbl" || word == "trowd") {
            Flush();
            if (!FState.Skip && !FOut.InRow())
                FOut.BeginRow();
        } else if (word == "cell") {
            Flush();
            if (!FState.Skip)
                FOut.EndCell();
        } else if (word == "nestcell") {
            Paragraph();
        } else if (word == "row") {
            Flush();
            if (!FState.Skip)
                FOut.EndRow(false);
        } else if (word == "page" || word == "sect") {
            Flush();
            if (!FState.Skip)
                FOut.EndBlock();
        } else if (word == "u" && hasParameter) {
            const char16_t unit = char16_t(parameter < 0 ? parameter + 65536 : parameter);
            Text(QStringView(&unit, 1));
            FSkipAfterUnicode = FState.UnicodeSkip;
        } else if (word == "uc" && hasParameter) {
            FState.UnicodeSkip = int(std::clamp<qint64>(parameter, 0, 16));
        } else if (word == "ansicpg" && hasParameter) {
            Flush();
            FCodePage = CodePageName(int(parameter));
        } else if (word == "mac") {
            FCodePage = "macintosh";
        } else if (word == "pc") {
            FCodePage = "IBM437";
        } else if (word == "pca") {
            FCodePage = "IBM850";
        } else if (word == "bin" && hasParameter) {
            FAt += qsizetype(std::clamp<qint64>(parameter, 0, FBytes.size() - FAt));
        } else if (const auto special = SpecialCharacters().constFind(word.toByteArray());
                   special != SpecialCharacters().cend()) {
            Text(*special);
        }
        if (word != "u")
            FSkipAfterUnicode = 0;
    }

    QByteArrayView FBytes;
    int FMaxNesting;
    qsizetype FAt = 0;
    TState FState;
    QList<TState> FStack;
    QByteArray FPending;
    QByteArray FCodePage = "windows-1252";
    int FSkipAfterUnicode = 0;
    TTextBuilder FOut;
};

} // namespace

QString ExtractRtfText(QByteArrayView bytes, int maxNesting)
{
    return TRtfReader(bytes, maxNesting).Read();
}
