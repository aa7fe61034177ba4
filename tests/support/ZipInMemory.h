// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Zip packages written in memory, for the tests' documents and the fuzz
// target that zips generated parts. Written here over zlib rather than with
// the zip library the server reads with: the fixtures do not share that
// library's mistakes, and the compressor is sized to each entry (a library
// writer sets up hundreds of kilobytes per entry, most of a fuzz run's time).

#include <QByteArray>
#include <QList>
#include <QtEndian>
#include <QtGlobal>

#include <zlib.h>

#include <limits>
#include <utility>

namespace ZipInMemoryDetail {

inline void Put16(QByteArray &out, quint32 value)
{
    const quint16 le = qToLittleEndian(quint16(value));
    out.append(reinterpret_cast<const char *>(&le), 2);
}

inline void Put32(QByteArray &out, quint32 value)
{
    const quint32 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&le), 4);
}

/// Raw deflate (no zlib header), as zip entries hold it.
inline QByteArray Deflated(const QByteArray &bytes)
{
    // A small window and hash for small entries; large ones (the bombs)
    // get the full window so they pack as tightly as a real archiver's.
    const bool large = bytes.size() > 4096;
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, large ? -15 : -9, large ? 8 : 1, Z_DEFAULT_STRATEGY) != Z_OK)
        qFatal("cannot start deflating");
    QByteArray out(qsizetype(deflateBound(&stream, uLong(bytes.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END)
        qFatal("cannot deflate");
    out.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

} // namespace ZipInMemoryDetail

/// A zip archive of `entries` (UTF-8 name, bytes) in the given order,
/// deflated unless `stored`. Names are written as given, also empty or
/// repeated ones. Entries must stay below 4 GB (no zip64).
inline QByteArray ZipInMemory(const QList<std::pair<QByteArray, QByteArray>> &entries, bool stored = false)
{
    using namespace ZipInMemoryDetail;
    constexpr quint32 Utf8Names = 0x0800;
    constexpr quint32 Version = 20; // deflate
    constexpr quint32 Date1980 = 0x21; // 1 January 1980, time 0:00
    QByteArray archive;
    QByteArray directory;
    for (const auto &entry : entries) {
        // Not a structured binding: clang 14 cannot capture one in the lambda.
        const QByteArray &name = entry.first;
        const QByteArray &bytes = entry.second;
        if (bytes.size() >= std::numeric_limits<quint32>::max() || archive.size() >= std::numeric_limits<quint32>::max())
            qFatal("a zip entry too large for a plain zip");
        const QByteArray packed = stored ? bytes : Deflated(bytes);
        const auto crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
        const auto offset = quint32(archive.size());
        const auto fields = [&](QByteArray &out) {
            Put16(out, Version);
            Put16(out, Utf8Names);
            Put16(out, stored ? 0 : 8);
            Put16(out, 0);
            Put16(out, Date1980);
            Put32(out, crc);
            Put32(out, quint32(packed.size()));
            Put32(out, quint32(bytes.size()));
            Put16(out, quint32(name.size()));
            Put16(out, 0); // no extra field
        };
        Put32(archive, 0x04034b50);
        fields(archive);
        archive += name;
        archive += packed;

        Put32(directory, 0x02014b50);
        Put16(directory, Version); // made by
        fields(directory);
        Put16(directory, 0); // comment
        Put16(directory, 0); // disk
        Put16(directory, 0); // internal attributes
        Put32(directory, 0); // external attributes
        Put32(directory, offset);
        directory += name;
    }
    const auto directoryOffset = quint32(archive.size());
    archive += directory;
    Put32(archive, 0x06054b50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, quint32(entries.size()));
    Put16(archive, quint32(entries.size()));
    Put32(archive, quint32(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, 0); // comment
    return archive;
}
