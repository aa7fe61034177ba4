// SPDX-License-Identifier: GPL-3.0-or-later
#include "Utf8.h"

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
