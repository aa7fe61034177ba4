// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColorValue.h"

#include <QPalette>

namespace {

constexpr TColorValue kSystemColorFlag = 0xFF000000u;

// The system colour indices the program's settings can hold, mapped to the
// palette roles with the same meaning.
QColor SystemColor(unsigned index, const QPalette &palette)
{
    switch (index) {
    case 5: // window background
        return palette.color(QPalette::Base);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 16: // button shadow
        return palette.color(QPalette::Dark);
    case 17: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    default:
        return QColor(Qt::black);
    }
}

} // namespace

QColor ColorFromValue(TColorValue value, const QPalette &palette)
{
    if ((value & kSystemColorFlag) == kSystemColorFlag)
        return SystemColor(value & 0xFFu, palette);
    return QColor(int(value & 0xFFu), int((value >> 8) & 0xFFu), int((value >> 16) & 0xFFu));
}

TColorValue ValueFromColor(const QColor &color)
{
    const QRgb rgb = color.rgb();
    return TColorValue(qRed(rgb)) | (TColorValue(qGreen(rgb)) << 8) | (TColorValue(qBlue(rgb)) << 16);
}
