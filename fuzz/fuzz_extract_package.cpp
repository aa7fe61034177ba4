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
#include "ZipPackage.h"

#include <zip.h>

namespace {

QByteArray Zipped(TFuzzInput &input, bool stored)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    FUZZ_CHECK(archive != nullptr, "no zip in memory");
    zip_source_keep(buffer);
    QList<QByteArray> parts; // alive until the archive is closed
    while (!input.Rest().isEmpty()) {
        const QByteArray name = input.Take(input.Byte()).toByteArray();
        const qsizetype length = input.Byte() | (qsizetype(input.Byte()) << 8);
        parts.append(input.Take(length).toByteArray());
        zip_source_t *source = zip_source_buffer(archive, parts.back().constData(), zip_uint64_t(parts.back().size()), 0);
        const zip_int64_t index = zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) { // an empty or otherwise refused name
            zip_source_free(source);
            continue;
        }
        zip_set_file_compression(archive, zip_uint64_t(index), stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 1);
    }
    FUZZ_CHECK(zip_close(archive) == 0, "the parts cannot be zipped");
    QByteArray zipped;
    zip_source_open(buffer);
    zip_source_seek(buffer, 0, SEEK_END);
    zipped.resize(qsizetype(zip_source_tell(buffer)));
    zip_source_seek(buffer, 0, SEEK_SET);
    zip_source_read(buffer, zipped.data(), zip_uint64_t(zipped.size()));
    zip_source_close(buffer);
    zip_source_free(buffer);
    return zipped;
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
