// SPDX-License-Identifier: GPL-3.0-or-later
#include "OpenDocumentText.h"

#include "TextBuilder.h"
#include "ZipPackage.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using Token = QXmlStreamReader::TokenType;

namespace {

const QString TextNs = u"urn:oasis:names:tc:opendocument:xmlns:text:1.0"_s;
const QString TableNs = u"urn:oasis:names:tc:opendocument:xmlns:table:1.0"_s;
const QString DrawNs = u"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"_s;
const QString OfficeNs = u"urn:oasis:names:tc:opendocument:xmlns:office:1.0"_s;
const QString PresentationNs = u"urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"_s;

// A spreadsheet stores a run of equal cells or rows once with a count,
// often up to the sheet's last column or row; runs with text are written
// out, but never more often than this.
constexpr int MaxRepeat = 1000;

class TContentWalker {
public:
    TContentWalker(TXmlTokens &tokens, TOpenDocumentKind kind) : FTokens(tokens), FKind(kind) {}

    QString Walk()
    {
        for (Token token = FTokens.Next(); token != Token::EndDocument; token = FTokens.Next()) {
            if (token == Token::StartElement)
                Start();
            else if (token == Token::EndElement)
                End();
            else if (token == Token::Characters && FInParagraph > 0)
                Text(FTokens.Reader().text());
        }
        return FOut.Finish();
    }

private:
    // Inside a cell of a top-level table row; a nested table's text joins
    // that cell.
    bool InCell() const { return FRow >= 0; }

    void Text(QStringView text) { InCell() ? void(FCell += text) : FOut.Append(text); }

    void Break()
    {
        if (InCell()) {
            if (!FCell.isEmpty() && !FCell.endsWith(u' '))
                FCell += u' ';
        } else {
            FOut.EndLine();
        }
    }

    void Start()
    {
        const QXmlStreamReader &reader = FTokens.Reader();
        const QStringView ns = reader.namespaceUri();
        const QStringView name = reader.name();
        if (ns == OfficeNs && name == u"annotation") {
            FTokens.SkipElement();
        } else if (ns == PresentationNs && name == u"notes") {
            FTokens.SkipElement();
        } else if (ns == TextNs) {
            if (name == u"note" || name == u"tracked-changes" || name == u"note-citation") {
                FTokens.SkipElement();
            } else if (name == u"p" || name == u"h") {
                // A paragraph inside another (a frame in the text) starts its
                // own line.
                if (FInParagraph > 0)
                    Break();
                else if (!InCell())
                    FOut.EndBlock();
                ++FInParagraph;
            } else if (name == u"s") {
                bool ok = false;
                const int count = FTokens.Attribute(u"c").toInt(&ok);
                Text(QString(ok ? std::clamp(count, 1, MaxRepeat) : 1, u' '));
            } else if (name == u"tab") {
                Text(u"\t");
            } else if (name == u"line-break") {
                Break();
            }
        } else if (ns == TableNs) {
            if (name == u"table") {
                if (++FTableDepth == 1) {
                    if (FKind == TOpenDocumentKind::okSpreadsheet) {
                        FOut.StartSection();
                        FOut.Append(FTokens.Attribute(u"name"));
                        FOut.EndLine();
                    } else {
                        FOut.EndBlock();
                    }
                }
            } else if (name == u"table-row" && FTableDepth == 1) {
                FRow = RepeatCount(u"number-rows-repeated");
                FRowCells.clear();
            } else if ((name == u"table-cell" || name == u"covered-table-cell") && FTableDepth == 1 && InCell()) {
                FCellRepeat = RepeatCount(u"number-columns-repeated");
                FCell.clear();
            }
        } else if (ns == DrawNs && name == u"page") {
            FOut.StartSection();
        }
    }

    void End()
    {
        const QXmlStreamReader &reader = FTokens.Reader();
        const QStringView ns = reader.namespaceUri();
        const QStringView name = reader.name();
        if (ns == TextNs && (name == u"p" || name == u"h")) {
            --FInParagraph;
            if (FInParagraph == 0 && !InCell())
                FOut.EndLine();
            else
                Break();
        } else if (ns == TableNs) {
            if (name == u"table") {
                --FTableDepth;
            } else if ((name == u"table-cell" || name == u"covered-table-cell") && FTableDepth == 1 && InCell()) {
                while (FCell.endsWith(u' '))
                    FCell.chop(1);
                // Empty runs stretch to the sheet's edge; only runs with
                // text are worth writing out.
                const int repeat = FCell.isEmpty() ? std::min(FCellRepeat, MaxRepeat) : FCellRepeat;
                for (int i = 0; i < repeat; ++i)
                    FRowCells.append(FCell);
                FCell.clear();
            } else if (name == u"table-row" && FTableDepth == 1) {
                EndRow();
            }
        }
    }

    void EndRow()
    {
        const bool spreadsheet = FKind == TOpenDocumentKind::okSpreadsheet;
        if (spreadsheet) {
            while (!FRowCells.isEmpty() && FRowCells.back().isEmpty())
                FRowCells.removeLast();
        }
        // Repeated rows without text are padding to the sheet's end.
        const int repeat = FRowCells.isEmpty() ? 1 : FRow;
        for (int i = 0; i < repeat; ++i) {
            FOut.BeginRow();
            for (const QString &cell : std::as_const(FRowCells)) {
                FOut.Append(cell);
                FOut.EndCell();
            }
            FOut.EndRow(spreadsheet);
        }
        FRow = -1;
    }

    int RepeatCount(QStringView attribute) const
    {
        bool ok = false;
        const int count = FTokens.Attribute(attribute).toInt(&ok);
        return ok ? std::clamp(count, 1, MaxRepeat) : 1;
    }

    TXmlTokens &FTokens;
    TOpenDocumentKind FKind;
    TTextBuilder FOut;
    int FInParagraph = 0;
    int FTableDepth = 0;
    int FRow = -1; ///< repeat count of the open top-level row; -1 outside rows
    QStringList FRowCells;
    QString FCell;
    int FCellRepeat = 1;
};

} // namespace

QString ExtractOpenDocumentText(TZipPackage &package, TOpenDocumentKind kind)
{
    const std::unique_ptr<TXmlTokens> tokens = package.OpenXml(u"content.xml"_s);
    return TContentWalker(*tokens, kind).Walk();
}
