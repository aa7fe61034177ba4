// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>

/// Structural UTF-8 test of a byte buffer. True only when the buffer holds at
/// least one multi-byte sequence and every byte from 0x80 up is a lead byte
/// (C0-DF, E0-EF, F0-F7) followed by its 1, 2 or 3 continuation bytes
/// (80-BF) inside the buffer. Pure ASCII and an empty buffer give false.
/// Only the shape is checked: overlong forms, surrogate code points and the
/// lead bytes C0, C1, F5-F7 pass (strict decoding rejects them later).
/// One pass, no allocation.
bool IsValidUtf8(QByteArrayView bytes);

/// True when every byte is below 0x80; true for an empty buffer.
bool IsAscii(QByteArrayView bytes);
