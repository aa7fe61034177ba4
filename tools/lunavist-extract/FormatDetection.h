// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

class TZipPackage;

/// What a document's bytes say it is; a name or a declared type never counts.
enum class TDocumentFormat {
    dfUnknown, ///< binary this program does not read (an archive, a legacy Office file, ...)
    dfPdf,
    dfZip,     ///< a zip package: DetectPackageFormat tells which kind
    dfRtf,
    dfHtml,
    dfXml,
    dfMail,    ///< an Internet message (.eml), headers first
    dfImage,   ///< PNG, JPEG, GIF, BMP, TIFF, WebP
    dfText,    ///< plain text in one of the encodings of text files
};

/// Detects the format from magic numbers and, for text, from the first
/// markup or header lines: "%PDF-" at the start (or within the first 1024
/// bytes of a binary file); "PK\3\4"; "{\rtf"; image signatures; then, for
/// bytes that look like text, an HTML tag such as <html> or <body>, other
/// markup starting with '<', a block of mail header lines naming at least
/// two well-known fields, or else plain text.
TDocumentFormat DetectFormat(QByteArrayView bytes);

/// A short English name of the format, for messages ("PDF", "plain text").
QString FormatName(TDocumentFormat format);

enum class TPackageKind {
    pkUnknown,
    pkWordprocessing, ///< .docx and its template and macro variants
    pkSpreadsheet,    ///< .xlsx and variants
    pkPresentation,   ///< .pptx and variants
    pkOdfText,        ///< .odt
    pkOdfSpreadsheet, ///< .ods
    pkOdfPresentation ///< .odp
};

struct TPackageFormat {
    TPackageKind Kind = TPackageKind::pkUnknown;
    /// The part that holds or lists the content ("word/document.xml",
    /// "content.xml").
    QString MainPart;
};

/// What kind of document a zip package holds: an Office Open XML package by
/// the content type its [Content_Types].xml gives the main part, an
/// OpenDocument package by its "mimetype" entry. Throws TExtractFailure when
/// those entries are unreadable.
TPackageFormat DetectPackageFormat(TZipPackage &package);
