// SPDX-License-Identifier: GPL-3.0-or-later
#include "XmlText.h"

#include "TextBuilder.h"
#include "XmlTokens.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using Token = QXmlStreamReader::TokenType;

QString ExtractXmlText(QByteArrayView bytes, int maxNesting)
{
    // Handed over a piece at a time, without copies, so the reader decodes
    // a little at a time.
    static constexpr qsizetype PieceSize = 1024 * 1024;
    qsizetype given = 0;
    TXmlTokens tokens(
        [&given, bytes] {
            const qsizetype size = std::min(PieceSize, bytes.size() - given);
            const QByteArray piece = QByteArray::fromRawData(bytes.data() + given, size);
            given += size;
            return piece;
        },
        maxNesting, u"The XML document"_s);
    QString text;
    for (Token token = tokens.Next(); token != Token::EndDocument; token = tokens.Next()) {
        if (token == Token::Characters)
            text += tokens.Reader().text();
    }
    TTextBuilder out;
    for (QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
        line = line.trimmed();
        if (!line.isEmpty()) {
            out.Append(line);
            out.EndLine();
        }
    }
    return out.Finish();
}
