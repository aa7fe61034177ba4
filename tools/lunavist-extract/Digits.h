// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// The value of the ASCII digit `c` in `base` (10 or 16); -1 for any other
/// character.
constexpr int AsciiDigitValue(char16_t c, int base)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (base == 16 && c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (base == 16 && c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

/// The value of a hex digit byte; -1 for any other byte.
constexpr int HexDigitValue(char c)
{
    return AsciiDigitValue(char16_t(static_cast<unsigned char>(c)), 16);
}
