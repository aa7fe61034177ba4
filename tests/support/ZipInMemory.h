// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Zip packages written in memory, for the tests' documents and the fuzz
// target that zips generated parts.

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <zip.h>

#include <utility>

/// A zip archive of `entries` (UTF-8 name, bytes), deflated unless `stored`.
/// An entry whose name the library refuses (an empty one) is left out; a
/// later entry of the same name replaces an earlier one.
inline QByteArray ZipInMemory(const QList<std::pair<QByteArray, QByteArray>> &entries, bool stored = false)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (archive == nullptr)
        qFatal("cannot create a zip in memory");
    zip_source_keep(buffer);
    for (const auto &[name, bytes] : entries) {
        // The entries' bytes are read when the archive is closed; `entries` outlives that.
        zip_source_t *source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index = zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(source);
            continue;
        }
        zip_set_file_compression(archive, zip_uint64_t(index), stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
    }
    if (zip_close(archive) != 0)
        qFatal("cannot write a zip in memory");
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
