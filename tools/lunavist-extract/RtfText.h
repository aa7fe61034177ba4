// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

/// The text of an RTF document: its text runs without control words, laid
/// out as TTextBuilder does (\par and \line end lines, \tab is a tab, table
/// rows are lines of tab-separated cells). Characters come from \uN and
/// \'hh (in the document's \ansicpg code page) as well as plain bytes.
/// Destinations that are no body text (font, colour and style tables,
/// document information, pictures, headers and footers, footnotes, field
/// instructions, and every \* destination) are skipped. A document cut
/// short gives the text up to the cut. Throws TExtractFailure when groups
/// nest deeper than `maxNesting`.
QString ExtractRtfText(QByteArrayView bytes, int maxNesting);
