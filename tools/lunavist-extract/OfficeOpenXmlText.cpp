// SPDX-License-Identifier: GPL-3.0-or-later
#include "OfficeOpenXmlText.h"

#include "TextBuilder.h"
#include "ZipPackage.h"

#include <QHash>
#include <QList>

using namespace Qt::StringLiterals;
using Token = QXmlStreamReader::TokenType;

namespace {

const QString MarkupCompatibilityNs = u"http://schemas.openxmlformats.org/markup-compatibility/2006"_s;

QString FolderOf(const QString &partName)
{
    return partName.first(partName.lastIndexOf(u'/') + 1);
}

struct TRelationship {
    QString Type;
    QString Target; ///< a part name, resolved
};

// The relationships of `partName` by id, from its "_rels/<name>.rels" part;
// none when the part has no such part. External targets are left out.
QHash<QString, TRelationship> ReadRelationships(TZipPackage &package, const QString &partName)
{
    const QString folder = FolderOf(partName);
    const QString relsName = folder + u"_rels/"_s + partName.sliced(folder.size()) + u".rels"_s;
    QHash<QString, TRelationship> relationships;
    if (!package.Contains(relsName))
        return relationships;
    const std::unique_ptr<TXmlTokens> tokens = package.OpenXml(relsName);
    for (Token token = tokens->Next(); token != Token::EndDocument; token = tokens->Next()) {
        if (token != Token::StartElement || tokens->Reader().name() != u"Relationship")
            continue;
        if (tokens->Attribute(u"TargetMode").compare(u"External", Qt::CaseInsensitive) == 0)
            continue;
        const QString target = ResolvePartName(folder, tokens->Attribute(u"Target"));
        if (!target.isEmpty())
            relationships.insert(tokens->Attribute(u"Id"), {tokens->Attribute(u"Type"), target});
    }
    return relationships;
}

// Elements whose content is never shown text: properties (their w:tab
// elements are tab stops, not tabs), deleted and moved-away revisions,
// field instructions.
bool IsHiddenElement(QStringView name)
{
    return name.endsWith(u"Pr") || name == u"del" || name == u"moveFrom" || name == u"delText"
           || name == u"instrText" || name == u"delInstrText" || name == u"tabs" || name == u"tabLst";
}

// Walks the paragraphs and tables of word-processing or DrawingML text
// (`textKind` is "wordprocessingml" or "drawingml") into `out`.
class TParagraphWalker {
public:
    TParagraphWalker(TXmlTokens &tokens, TTextBuilder &out, QStringView textKind)
        : FTokens(tokens), FOut(out), FTextKind(textKind)
    {
    }

    void Start()
    {
        const QXmlStreamReader &reader = FTokens.Reader();
        if (reader.namespaceUri() == MarkupCompatibilityNs && reader.name() == u"Fallback") {
            FTokens.SkipElement(); // the same content again, for older readers
            return;
        }
        if (!IsOfficeNamespace(reader.namespaceUri(), FTextKind))
            return;
        const QStringView name = reader.name();
        if (IsHiddenElement(name)) {
            FTokens.SkipElement();
        } else if (name == u"p") {
            // A paragraph inside another (a text box) starts its own line.
            if (!FOut.InRow())
                FOut.EndBlock();
        } else if (name == u"t") {
            FOut.Append(FTokens.ElementText());
        } else if (name == u"tab") {
            FOut.Tab();
        } else if (name == u"br" || name == u"cr") {
            FOut.EndLine();
        } else if (name == u"noBreakHyphen") {
            FOut.Append(u'-');
        } else if (name == u"tbl") {
            if (++FTableDepth == 1)
                FOut.EndBlock();
        } else if (name == u"tr") {
            if (FTableDepth == 1)
                FOut.BeginRow();
        }
    }

    void End()
    {
        const QXmlStreamReader &reader = FTokens.Reader();
        if (!IsOfficeNamespace(reader.namespaceUri(), FTextKind))
            return;
        const QStringView name = reader.name();
        if (name == u"p") {
            FOut.EndLine();
        } else if (name == u"tc") {
            if (FTableDepth == 1)
                FOut.EndCell();
            else
                FOut.EndLine();
        } else if (name == u"tr") {
            if (FTableDepth == 1)
                FOut.EndRow(false);
        } else if (name == u"tbl") {
            --FTableDepth;
        }
    }

    void Walk()
    {
        for (Token token = FTokens.Next(); token != Token::EndDocument; token = FTokens.Next()) {
            if (token == Token::StartElement)
                Start();
            else if (token == Token::EndElement)
                End();
        }
    }

private:
    TXmlTokens &FTokens;
    TTextBuilder &FOut;
    QStringView FTextKind;
    int FTableDepth = 0;
};

// The ids of the relationships that the main part lists, in its order:
// the r:id of every `element` (sheet, sldId), with its `nameAttribute`.
QList<std::pair<QString, QString>> ListedRelationshipIds(TZipPackage &package, const QString &mainPart,
                                                         QStringView element, QStringView nameAttribute)
{
    QList<std::pair<QString, QString>> ids;
    const std::unique_ptr<TXmlTokens> tokens = package.OpenXml(mainPart);
    for (Token token = tokens->Next(); token != Token::EndDocument; token = tokens->Next()) {
        if (token == Token::StartElement && tokens->Reader().name() == element) {
            const QString id = tokens->Reader().attributes().value(
                u"http://schemas.openxmlformats.org/officeDocument/2006/relationships"_s, u"id"_s).toString();
            const QString strictId = tokens->Reader().attributes().value(
                u"http://purl.oclc.org/ooxml/officeDocument/relationships"_s, u"id"_s).toString();
            ids.append({id.isEmpty() ? strictId : id, tokens->Attribute(nameAttribute)});
        }
    }
    return ids;
}

// Shared strings, in order: each <si>'s runs joined, phonetic guides left out.
QStringList ReadSharedStrings(TZipPackage &package, const QString &partName)
{
    QStringList strings;
    const std::unique_ptr<TXmlTokens> tokens = package.OpenXml(partName);
    QString current;
    for (Token token = tokens->Next(); token != Token::EndDocument; token = tokens->Next()) {
        if (token == Token::StartElement) {
            const QStringView name = tokens->Reader().name();
            if (name == u"rPh")
                tokens->SkipElement();
            else if (name == u"t")
                current += tokens->ElementText();
        } else if (token == Token::EndElement && tokens->Reader().name() == u"si") {
            strings.append(current);
            current.clear();
        }
    }
    return strings;
}

// The column of a cell reference such as "BC12" (0-based); -1 when none.
int ColumnOf(QStringView reference)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && i < 3 && reference[i].isLetter(); ++i)
        column = column * 26 + (reference[i].toUpper().unicode() - u'A' + 1);
    return i == 0 || column < 1 || column > 16384 ? -1 : column - 1;
}

// The shown value of the <c> element the tokens stand on.
QString CellValue(TXmlTokens &tokens, const QStringList &sharedStrings)
{
    const QString type = tokens.Attribute(u"t");
    const int depth = tokens.Depth();
    QString value;
    for (Token token = tokens.Next(); !(token == Token::EndElement && tokens.Depth() == depth); token = tokens.Next()) {
        if (token == Token::EndDocument)
            break;
        if (token != Token::StartElement)
            continue;
        const QStringView name = tokens.Reader().name();
        if (name == u"v")
            value = tokens.ElementText();
        else if (name == u"t" && type == u"inlineStr")
            value += tokens.ElementText();
        else if (name == u"f" || name == u"rPh")
            tokens.SkipElement();
    }
    if (type == u"s") {
        bool ok = false;
        const qsizetype index = value.trimmed().toLongLong(&ok);
        return ok && index >= 0 && index < sharedStrings.size() ? sharedStrings[index] : QString();
    }
    if (type == u"b")
        return value.trimmed() == u"1" ? u"TRUE"_s : u"FALSE"_s;
    return value;
}

void AppendSheet(TZipPackage &package, const QString &sheetPart, const QStringList &sharedStrings, TTextBuilder &out)
{
    const std::unique_ptr<TXmlTokens> tokens = package.OpenXml(sheetPart);
    int nextColumn = 0;
    for (Token token = tokens->Next(); token != Token::EndDocument; token = tokens->Next()) {
        const QStringView name = tokens->Reader().name();
        if (token == Token::StartElement && name == u"row") {
            out.BeginRow();
            nextColumn = 0;
        } else if (token == Token::StartElement && name == u"c" && out.InRow()) {
            const int column = ColumnOf(tokens->Attribute(u"r"));
            for (; column >= 0 && nextColumn < column; ++nextColumn)
                out.EndCell();
            out.Append(CellValue(*tokens, sharedStrings));
            out.EndCell();
            ++nextColumn;
        } else if (token == Token::EndElement && name == u"row") {
            out.EndRow(true);
        }
    }
}

} // namespace

QString ExtractWordprocessingText(TZipPackage &package, const QString &mainPart)
{
    TTextBuilder out;
    const std::unique_ptr<TXmlTokens> tokens = package.OpenXml(mainPart);
    TParagraphWalker(*tokens, out, u"wordprocessingml").Walk();
    return out.Finish();
}

QString ExtractSpreadsheetText(TZipPackage &package, const QString &mainPart)
{
    const QHash<QString, TRelationship> relationships = ReadRelationships(package, mainPart);
    QStringList sharedStrings;
    for (const TRelationship &relationship : relationships) {
        if (relationship.Type.endsWith(u"/sharedStrings"))
            sharedStrings = ReadSharedStrings(package, relationship.Target);
    }
    TTextBuilder out;
    for (const auto &[id, name] : ListedRelationshipIds(package, mainPart, u"sheet", u"name")) {
        out.StartSection();
        out.Append(name);
        out.EndLine();
        const auto relationship = relationships.constFind(id);
        if (relationship != relationships.cend() && relationship->Type.endsWith(u"/worksheet"))
            AppendSheet(package, relationship->Target, sharedStrings, out);
    }
    return out.Finish();
}

QString ExtractPresentationText(TZipPackage &package, const QString &mainPart)
{
    const QHash<QString, TRelationship> relationships = ReadRelationships(package, mainPart);
    TTextBuilder out;
    for (const auto &[id, name] : ListedRelationshipIds(package, mainPart, u"sldId", u"name")) {
        const auto relationship = relationships.constFind(id);
        if (relationship == relationships.cend())
            continue;
        out.StartSection();
        const std::unique_ptr<TXmlTokens> tokens = package.OpenXml(relationship->Target);
        TParagraphWalker(*tokens, out, u"drawingml").Walk();
    }
    return out.Finish();
}
