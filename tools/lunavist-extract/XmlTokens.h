// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <functional>

/// A QXmlStreamReader fed piece by piece (a zip part is read as it is
/// unpacked, never held whole) that turns every problem into a
/// TExtractFailure: malformed or cut XML, and more open elements than the
/// nesting limit allows.
class TXmlTokens {
public:
    /// `nextPiece` returns the next bytes of the document, empty at its end.
    /// `name` names the document in failure reasons.
    TXmlTokens(std::function<QByteArray()> nextPiece, int maxNesting, const QString &name);

    /// The next token: StartElement, EndElement, Characters, ..., and
    /// EndDocument once at the end. Throws TExtractFailure.
    QXmlStreamReader::TokenType Next();
    /// The reader positioned on the token Next returned.
    const QXmlStreamReader &Reader() const { return FReader; }
    /// Elements open around the current token; a StartElement counts itself.
    int Depth() const { return FDepth; }
    /// After a StartElement: skips to its EndElement.
    void SkipElement();
    /// After a StartElement: the concatenated text inside it, up to its
    /// EndElement.
    QString ElementText();
    /// The value of the attribute with local name `name`, in any namespace.
    QString Attribute(QStringView name) const;

private:
    std::function<QByteArray()> FNextPiece;
    QXmlStreamReader FReader;
    int FMaxNesting;
    int FDepth = 0;
    bool FPendingEnd = false;
    bool FAtEnd = false;
    bool FSawRoot = false;
    QString FName;
};

/// True when `namespaceUri` is the given part of the Office Open XML
/// vocabulary, in its transitional or its strict spelling; `kind` is for
/// example "wordprocessingml", "spreadsheetml", "presentationml",
/// "drawingml".
bool IsOfficeNamespace(QStringView namespaceUri, QStringView kind);
