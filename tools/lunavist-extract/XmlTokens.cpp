// SPDX-License-Identifier: GPL-3.0-or-later
#include "XmlTokens.h"

#include "ExtractTypes.h"

using namespace Qt::StringLiterals;

TXmlTokens::TXmlTokens(std::function<QByteArray()> nextPiece, int maxNesting, const QString &name)
    : FNextPiece(std::move(nextPiece)), FMaxNesting(maxNesting), FName(name)
{
}

QXmlStreamReader::TokenType TXmlTokens::Next()
{
    if (FPendingEnd) {
        FPendingEnd = false;
        --FDepth;
    }
    for (;;) {
        const QXmlStreamReader::TokenType token = FReader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            FSawRoot = true;
            if (++FDepth > FMaxNesting)
                throw TExtractFailure(u"%1 nests elements deeper than %2 levels."_s.arg(FName).arg(FMaxNesting));
        } else if (token == QXmlStreamReader::EndElement) {
            FPendingEnd = true; // the end tag still belongs to its element
        }
        if (token != QXmlStreamReader::Invalid)
            return token;
        if (FReader.error() != QXmlStreamReader::PrematureEndOfDocumentError)
            throw TExtractFailure(u"%1 is not well-formed XML (line %2): %3"_s.arg(
                FName, QString::number(FReader.lineNumber()), FReader.errorString()));
        if (!FAtEnd) {
            const QByteArray piece = FNextPiece();
            FAtEnd = piece.isEmpty();
            FReader.addData(piece);
            continue;
        }
        // Fed piece by piece, the reader cannot know that nothing follows
        // the root element; a document cut inside it is an error.
        if (FSawRoot && FDepth == 0)
            return QXmlStreamReader::EndDocument;
        throw TExtractFailure(u"%1 ends before its XML is complete."_s.arg(FName));
    }
}

void TXmlTokens::SkipElement()
{
    const int depth = FDepth;
    for (;;) {
        const QXmlStreamReader::TokenType token = Next();
        if (token == QXmlStreamReader::EndElement && FDepth == depth)
            return;
        if (token == QXmlStreamReader::EndDocument)
            return;
    }
}

QString TXmlTokens::ElementText()
{
    const int depth = FDepth;
    QString text;
    for (;;) {
        const QXmlStreamReader::TokenType token = Next();
        if (token == QXmlStreamReader::Characters)
            text += FReader.text();
        else if ((token == QXmlStreamReader::EndElement && FDepth == depth) || token == QXmlStreamReader::EndDocument)
            return text;
    }
}

QString TXmlTokens::Attribute(QStringView name) const
{
    const QXmlStreamAttributes attributes = FReader.attributes();
    for (const QXmlStreamAttribute &attribute : attributes) {
        if (attribute.name() == name)
            return attribute.value().toString();
    }
    return QString();
}

bool IsOfficeNamespace(QStringView namespaceUri, QStringView kind)
{
    // Transitional: http://schemas.openxmlformats.org/<kind>/2006/main
    // Strict:       http://purl.oclc.org/ooxml/<kind>/main
    const qsizetype at = namespaceUri.indexOf(kind);
    if (at < 0)
        return false;
    const QStringView rest = namespaceUri.sliced(at + kind.size());
    return rest == u"/2006/main" || rest == u"/main";
}
