// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class TZipPackage;

// The text of Office Open XML packages. Each takes the package and its main
// part (found through [Content_Types].xml), returns the text in the
// TTextBuilder layout and throws TExtractFailure for a broken package.

/// A word-processing document (.docx): the body's paragraphs as lines, a
/// table row as one line of tab-separated cells (paragraphs inside a cell
/// joined by spaces, nested tables flattened into their cell). Deleted
/// revisions, field codes and the fallback copies of drawings are left out.
QString ExtractWordprocessingText(TZipPackage &package, const QString &mainPart);

/// A workbook (.xlsx): the sheets in workbook order, each one section that
/// starts with the sheet's name, then one line per row with its cells
/// separated by tabs at their column positions (empty rows and empty cells
/// at the end of a row left out). Values are shown as stored: shared and
/// inline strings, numbers as written (dates as serial numbers), TRUE/FALSE.
QString ExtractSpreadsheetText(TZipPackage &package, const QString &mainPart);

/// A presentation (.pptx): the slides in presentation order, one section
/// each, with their text paragraphs as lines and tables as for documents.
QString ExtractPresentationText(TZipPackage &package, const QString &mainPart);
