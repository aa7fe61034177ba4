// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class TZipPackage;

/// The kinds of OpenDocument package, from the package's "mimetype" entry.
enum class TOpenDocumentKind { okText, okSpreadsheet, okPresentation };

/// The text of an OpenDocument package's content.xml, laid out as
/// TTextBuilder does: paragraphs, headings and list items as lines; a
/// table row as one line of tab-separated cells (paragraphs inside a cell
/// joined by spaces, nested tables flattened, empty cells at the end of a
/// spreadsheet row left out, repeated cells and rows written out up to a
/// bound); in a spreadsheet each sheet is a section that starts with its
/// name; in a presentation each slide is a section. Notes, annotations and
/// deleted changes are left out. Throws TExtractFailure.
QString ExtractOpenDocumentText(TZipPackage &package, TOpenDocumentKind kind);
