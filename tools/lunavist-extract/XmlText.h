// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

/// The text content of an XML document: its character data (CDATA
/// included, comments and processing instructions not) in document order,
/// cut into lines where the data has line breaks, each line trimmed, empty
/// lines dropped; so an indented data file gives one value per line.
/// Throws TExtractFailure for XML that is not well-formed or nests elements
/// deeper than `maxNesting`.
QString ExtractXmlText(QByteArrayView bytes, int maxNesting);
