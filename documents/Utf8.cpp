// SPDX-License-Identifier: GPL-3.0-or-later
#include "Utf8.h"

#include <algorithm>

bool IsValidUtf8(QByteArrayView bytes)
{
    const qsizetype count = bytes.size();
    bool result = false;
    qsizetype i = 0;
    while (i < count) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        qsizetype n;
        if ((lead & 0xE0) == 0xC0)
            n = 1;
        else if ((lead & 0xF0) == 0xE0)
            n = 2;
        else if ((lead & 0xF8) == 0xF0)
            n = 3;
        else
            return false;
        if (i + n >= count)
            return false;
        for (qsizetype k = 1; k <= n; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        result = true;
        i += n + 1;
    }
    return result;
}

bool IsAscii(QByteArrayView bytes)
{
    // A block at a time with no exit inside, so the compiler can test many
    // bytes per step; a large file stops at the first block with a high byte.
    constexpr qsizetype BlockSize = 4096;
    for (qsizetype from = 0; from < bytes.size(); from += BlockSize) {
        unsigned char seen = 0;
        for (const char byte : bytes.sliced(from, std::min(BlockSize, bytes.size() - from)))
            seen |= static_cast<unsigned char>(byte);
        if (seen >= 0x80)
            return false;
    }
    return true;
}
