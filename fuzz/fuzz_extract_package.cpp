// SPDX-License-Identifier: GPL-3.0-or-later
// The extraction server's readers of zip packages (word-processing
// documents, workbooks, presentations and their OpenDocument kinds) on any
// package: a text or a failure with its reason, never a crash, and never
// more unpacked than the limits allow.
//
// Input: a mode byte, then either the package's bytes (mode bit 0 clear),
// or (bit 0 set) parts that are zipped here first, so the mutations reach
// the XML inside rather than break checksums: each part a name-length byte,
// the name, a 16-bit little-endian length and the bytes. Bit 1 stores the
// parts rather than compressing them.

#include "ExtractFuzz.h"

#include "ExtractTypes.h"
#include "FormatDetection.h"
#include "OfficeOpenXmlText.h"
#include "OpenDocumentText.h"
#include "ZipInMemory.h"
#include "ZipPackage.h"

namespace {

QByteArray Zipped(TFuzzInput &input, bool stored)
{
    QList<std::pair<QByteArray, QByteArray>> parts;
    while (!input.Rest().isEmpty()) {
        QByteArray name = input.Take(input.Byte()).toByteArray();
        const qsizetype length = input.Byte() | (qsizetype(input.Byte()) << 8);
        parts.append({std::move(name), input.Take(length).toByteArray()});
    }
    return ZipInMemory(parts, stored);
}

QString Extract(QByteArrayView bytes, const TExtractLimits &limits)
{
    TZipPackage package(bytes, limits);
    const TPackageFormat format = DetectPackageFormat(package);
    switch (format.Kind) {
    case TPackageKind::pkWordprocessing:
        return ExtractWordprocessingText(package, format.MainPart);
    case TPackageKind::pkSpreadsheet:
        return ExtractSpreadsheetText(package, format.MainPart);
    case TPackageKind::pkPresentation:
        return ExtractPresentationText(package, format.MainPart);
    case TPackageKind::pkOdfText:
        return ExtractOpenDocumentText(package, TOpenDocumentKind::okText);
    case TPackageKind::pkOdfSpreadsheet:
        return ExtractOpenDocumentText(package, TOpenDocumentKind::okSpreadsheet);
    case TPackageKind::pkOdfPresentation:
        return ExtractOpenDocumentText(package, TOpenDocumentKind::okPresentation);
    case TPackageKind::pkUnknown:
        break;
    }
    return QString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TFuzzInput input(data, size);
    const std::uint8_t mode = input.Byte();
    const QByteArray bytes = (mode & 1) ? Zipped(input, mode & 2) : input.Rest().toByteArray();

    // Lower than the server's, so a few kilobytes of input reach them.
    TExtractLimits limits;
    limits.MaxZipEntries = 32;
    limits.MaxUnpackedBytes = 8 << 20;
    limits.MinRatioCheckBytes = 256 << 10;
    limits.MaxNesting = 48;
    QString text;
    try {
        text = Extract(bytes, limits);
    } catch (const TExtractFailure &failure) {
        FUZZ_CHECK(!failure.Reason().isEmpty(), "a failure without a reason");
        return 0;
    }
    CheckTextLayout(text);
    return 0;
}
