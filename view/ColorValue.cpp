// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColorValue.h"

#include <QPalette>

namespace {

constexpr TColorValue kSystemColorFlag = 0xFF000000u;

// The system colour indices a colour value can name, mapped to the palette
// roles with the same meaning; an index no system defines is black.
QColor SystemColor(unsigned index, const QPalette &palette)
{
    switch (index) {
    case 0: // scroll bar
        return palette.color(QPalette::Button);
    case 1: // desktop
    case 4: // menu
    case 10: // active border
    case 11: // inactive border
    case 30: // menu bar
        return palette.color(QPalette::Window);
    case 2: // active caption
    case 27: // gradient of the active caption
    case 13: // highlight
    case 29: // menu highlight
        return palette.color(QPalette::Highlight);
    case 3: // inactive caption
    case 28: // gradient of the inactive caption
        return palette.color(QPalette::Inactive, QPalette::Highlight);
    case 5: // window background
        return palette.color(QPalette::Base);
    case 6: // window frame
    case 21: // 3D dark shadow
        return palette.color(QPalette::Shadow);
    case 7: // menu text
        return palette.color(QPalette::WindowText);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 9: // caption text
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 12: // application workspace
    case 16: // button shadow
        return palette.color(QPalette::Dark);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 17: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 19: // inactive caption text
        return palette.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20: // button highlight
        return palette.color(QPalette::Light);
    case 22: // 3D light
        return palette.color(QPalette::Midlight);
    case 23: // tool tip text
        return palette.color(QPalette::ToolTipText);
    case 24: // tool tip background
        return palette.color(QPalette::ToolTipBase);
    case 26: // hot-tracked item
        return palette.color(QPalette::Link);
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
