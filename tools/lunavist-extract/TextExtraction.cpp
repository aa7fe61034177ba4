// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextExtraction.h"

#include "FormatDetection.h"
#include "HtmlText.h"
#include "MailText.h"
#include "OfficeOpenXmlText.h"
#include "OpenDocumentText.h"
#include "PdfText.h"
#include "PlainText.h"
#include "RtfText.h"
#include "XmlText.h"
#include "ZipPackage.h"

#include <new>

using namespace Qt::StringLiterals;

namespace {

TExtractResult Text(const QString &text)
{
    return {TExtractStatus::esText, text, QString()};
}

TExtractResult ExtractPackage(QByteArrayView bytes, const TExtractLimits &limits)
{
    TZipPackage package(bytes, limits);
    const TPackageFormat format = DetectPackageFormat(package);
    switch (format.Kind) {
    case TPackageKind::pkWordprocessing:
        return Text(ExtractWordprocessingText(package, format.MainPart));
    case TPackageKind::pkSpreadsheet:
        return Text(ExtractSpreadsheetText(package, format.MainPart));
    case TPackageKind::pkPresentation:
        return Text(ExtractPresentationText(package, format.MainPart));
    case TPackageKind::pkOdfText:
        return Text(ExtractOpenDocumentText(package, TOpenDocumentKind::okText));
    case TPackageKind::pkOdfSpreadsheet:
        return Text(ExtractOpenDocumentText(package, TOpenDocumentKind::okSpreadsheet));
    case TPackageKind::pkOdfPresentation:
        return Text(ExtractOpenDocumentText(package, TOpenDocumentKind::okPresentation));
    case TPackageKind::pkUnknown:
        break;
    }
    return {TExtractStatus::esUnsupported, QString(),
            u"The zip package holds no word-processing document, workbook or presentation."_s};
}

} // namespace

TExtractResult ExtractText(QByteArrayView bytes, const TExtractLimits &limits)
{
    try {
        switch (DetectFormat(bytes)) {
        case TDocumentFormat::dfPdf:
            return Text(ExtractPdfText(bytes));
        case TDocumentFormat::dfZip:
            return ExtractPackage(bytes, limits);
        case TDocumentFormat::dfRtf:
            return Text(ExtractRtfText(bytes, limits.MaxNesting));
        case TDocumentFormat::dfHtml:
            return Text(ExtractHtmlText(bytes));
        case TDocumentFormat::dfXml:
            return Text(ExtractXmlText(bytes, limits.MaxNesting));
        case TDocumentFormat::dfMail:
            return Text(ExtractMailText(bytes, limits.MaxMimeNesting));
        case TDocumentFormat::dfText:
            return Text(ExtractPlainText(bytes));
        case TDocumentFormat::dfImage:
            return {TExtractStatus::esUnparseable, QString(),
                    u"The document is an image; reading text from images is not available."_s};
        case TDocumentFormat::dfUnknown:
            break;
        }
        return {TExtractStatus::esUnsupported, QString(), u"The document's type is not one this server reads."_s};
    } catch (const TExtractFailure &failure) {
        return {TExtractStatus::esUnparseable, QString(), failure.Reason()};
    } catch (const std::bad_alloc &) {
        return {TExtractStatus::esUnparseable, QString(), u"The document needs more memory than there is."_s};
    }
}
