// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZipPackage.h"

#include <QStringList>

#include <zip.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype PieceSize = 64 * 1024;

quint64 LittleEndian(QByteArrayView bytes, qsizetype at, int size)
{
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

// The entry count the end-of-directory record declares; -1 when there is
// none to find (the zip library then says what is wrong). Reading it first
// refuses a package of millions of entries before its directory is loaded.
qint64 DeclaredEntryCount(QByteArrayView bytes)
{
    constexpr qsizetype RecordSize = 22;
    const qsizetype earliest = std::max<qsizetype>(0, bytes.size() - RecordSize - 0xFFFF);
    for (qsizetype at = bytes.size() - RecordSize; at >= earliest; --at) {
        if (bytes.sliced(at, 4) != "PK\x05\x06")
            continue;
        const quint64 count = LittleEndian(bytes, at + 10, 2);
        // 0xFFFF: the real count is in the Zip64 record, found through the
        // locator just before this one.
        constexpr qsizetype LocatorSize = 20;
        if (count == 0xFFFF && at >= LocatorSize && bytes.sliced(at - LocatorSize, 4) == "PK\x06\x07") {
            const quint64 record = LittleEndian(bytes, at - LocatorSize + 8, 8);
            // A package shorter than the Zip64 record has none, whatever the locator says.
            if (bytes.size() >= 56 && record <= quint64(bytes.size() - 56)
                && bytes.sliced(qsizetype(record), 4) == "PK\x06\x06")
                return qint64(std::min<quint64>(LittleEndian(bytes, qsizetype(record) + 32, 8), quint64(1) << 62));
        }
        return qint64(count);
    }
    return -1;
}

} // namespace

/// One part being unpacked, counted against the package's limits.
class TZipPackage::TPartReader {
public:
    TPartReader(TZipPackage &package, zip_file_t *file, const QString &name, qint64 packedSize)
        : FPackage(package), FFile(file), FName(name), FPackedSize(packedSize)
    {
    }
    ~TPartReader() { zip_fclose(FFile); }

    /// The next piece; empty at the end.
    QByteArray Next()
    {
        QByteArray piece(PieceSize, Qt::Uninitialized);
        const zip_int64_t got = zip_fread(FFile, piece.data(), zip_uint64_t(piece.size()));
        if (got < 0)
            throw TExtractFailure(u"The part %1 cannot be unpacked: %2"_s.arg(
                FName, QString::fromUtf8(zip_file_strerror(FFile))));
        piece.truncate(qsizetype(got));
        FUnpacked += got;
        FPackage.FUnpacked += got;
        FPackage.CheckUnpacked(FName, FPackage.FUnpacked, FUnpacked, FPackedSize);
        return piece;
    }

private:
    TZipPackage &FPackage;
    zip_file_t *FFile;
    QString FName;
    qint64 FPackedSize;
    qint64 FUnpacked = 0;
};

TZipPackage::TZipPackage(QByteArrayView bytes, const TExtractLimits &limits) : FLimits(limits)
{
    const qint64 declared = DeclaredEntryCount(bytes);
    if (declared > FLimits.MaxZipEntries)
        throw TExtractFailure(u"The package lists %1 entries, more than the %2 allowed."_s.arg(declared).arg(
            FLimits.MaxZipEntries));
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.data(), zip_uint64_t(bytes.size()), 0, &error);
    if (source)
        FZip = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!FZip) {
        const QString reason = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        if (source)
            zip_source_free(source);
        throw TExtractFailure(u"The zip package cannot be read: %1"_s.arg(reason));
    }
    zip_error_fini(&error);
    const zip_int64_t entries = zip_get_num_entries(FZip, 0);
    if (entries > FLimits.MaxZipEntries) {
        zip_discard(FZip);
        throw TExtractFailure(u"The package lists %1 entries, more than the %2 allowed."_s.arg(entries).arg(
            FLimits.MaxZipEntries));
    }
}

TZipPackage::~TZipPackage()
{
    zip_discard(FZip); // read-only: nothing to write back
}

bool TZipPackage::Contains(const QString &partName) const
{
    return zip_name_locate(FZip, partName.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
}

void TZipPackage::CheckUnpacked(const QString &partName, qint64 total, qint64 partUnpacked, qint64 partPacked) const
{
    if (total > FLimits.MaxUnpackedBytes)
        throw TExtractFailure(u"The package unpacks to more than %1 bytes."_s.arg(FLimits.MaxUnpackedBytes));
    if (partUnpacked > FLimits.MinRatioCheckBytes && partUnpacked / std::max<qint64>(partPacked, 1) > FLimits.MaxUnpackRatio)
        throw TExtractFailure(u"The part %1 unpacks to more than %2 times its packed size (a zip bomb?)."_s.arg(
            partName).arg(FLimits.MaxUnpackRatio));
}

std::unique_ptr<TZipPackage::TPartReader> TZipPackage::OpenPart(const QString &partName)
{
    const zip_int64_t index = zip_name_locate(FZip, partName.toUtf8().constData(), ZIP_FL_NOCASE);
    if (index < 0)
        throw TExtractFailure(u"The package has no part %1."_s.arg(partName));
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(FZip, zip_uint64_t(index), 0, &stat) != 0)
        throw TExtractFailure(u"The part %1 cannot be read: %2"_s.arg(partName, QString::fromUtf8(zip_strerror(FZip))));
    // The declared sizes may lie, so they are counted again while reading;
    // an honest bomb is refused before any unpacking.
    if ((stat.valid & ZIP_STAT_SIZE) && (stat.valid & ZIP_STAT_COMP_SIZE)) {
        const qint64 size = qint64(std::min<zip_uint64_t>(stat.size, quint64(1) << 62));
        CheckUnpacked(partName, FUnpacked + size, size, qint64(stat.comp_size));
    }
    zip_file_t *file = zip_fopen_index(FZip, zip_uint64_t(index), 0);
    if (!file)
        throw TExtractFailure(u"The part %1 cannot be opened: %2"_s.arg(partName, QString::fromUtf8(zip_strerror(FZip))));
    return std::make_unique<TPartReader>(*this, file, partName,
                                         (stat.valid & ZIP_STAT_COMP_SIZE) ? qint64(stat.comp_size) : 1);
}

QByteArray TZipPackage::ReadPart(const QString &partName, qsizetype maxBytes)
{
    const std::unique_ptr<TPartReader> reader = OpenPart(partName);
    QByteArray bytes;
    for (QByteArray piece = reader->Next(); !piece.isEmpty() && bytes.size() < maxBytes; piece = reader->Next())
        bytes += piece;
    bytes.truncate(maxBytes);
    return bytes;
}

std::unique_ptr<TXmlTokens> TZipPackage::OpenXml(const QString &partName)
{
    std::shared_ptr<TPartReader> reader = OpenPart(partName);
    return std::make_unique<TXmlTokens>([reader] { return reader->Next(); }, FLimits.MaxNesting, partName);
}

QString ResolvePartName(const QString &sourceFolder, const QString &target)
{
    const QString path = target.startsWith(u'/') ? target.sliced(1) : sourceFolder + target;
    QStringList parts;
    for (const QString &step : path.split(u'/', Qt::SkipEmptyParts)) {
        if (step == u"."_s)
            continue;
        if (step == u".."_s) {
            if (parts.isEmpty())
                return QString();
            parts.removeLast();
            continue;
        }
        parts.append(step);
    }
    return parts.join(u'/');
}
