// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileWriting.h"

bool WriteAll(QFileDevice &file, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qint64 written = file.write(bytes.data(), bytes.size());
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
    }
    return true;
}
