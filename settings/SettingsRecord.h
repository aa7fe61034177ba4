// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

/// The fields of the settings file, numbered in file order. A history is
/// two fields: its count, then that many strings.
enum TSettingsField : int {
    sfNone = 0,
    sfHeader = 1,
    sfLeftDialogFolder,
    sfRightDialogFolder,
    sfIgnoreWhitespace,
    sfIgnoreWSAmount,
    sfIgnoreLeadingWS,
    sfIgnoreTrailingWS,
    sfIgnoreBlankLines,
    sfIgnoreCase,
    sfShowLineNumbers,
    sfShowGridLines,
    sfGridFontColor,
    sfGridFontSize,
    sfGridFontName,
    sfColorAddedLines,
    sfColorRemovedLines,
    sfColorChangedLines,
    sfColorDifferentTextInLine,
    sfLeftHistoryCount,
    sfLeftHistory,
    sfRightHistoryCount,
    sfRightHistory,
    sfMaximized,
    sfWindowLeft,
    sfWindowTop,
    sfWindowWidth,
    sfWindowHeight,
    sfLeftColumnWidth,
    sfRightColumnWidth,
    sfLastField = sfRightColumnWidth,
};

/// Everything the settings file holds, one member per field (the header is
/// always 1 and the history counts are the lists' sizes). Colours are
/// 0x00BBGGRR values or system colour references 0xFF0000nn. The member
/// initialisers are the program's defaults where they are fixed values.
struct TSettingsRecord {
    QString LeftDialogFolder;
    QString RightDialogFolder;
    bool IgnoreWhitespace = false;
    bool IgnoreWSAmount = false;
    bool IgnoreLeadingWS = false;
    bool IgnoreTrailingWS = false;
    bool IgnoreBlankLines = false;
    bool IgnoreCase = false;
    bool ShowLineNumbers = true;
    bool ShowGridLines = true;
    std::uint32_t GridFontColor = 0xFF000008; // the system window-text colour
    /// Points, not pixels, so the size survives a change of screen resolution.
    std::int32_t GridFontSize = 11;
    QString GridFontName = QStringLiteral("Courier New");
    std::uint32_t ColorAddedLines = 0x00FFF0E0;
    std::uint32_t ColorRemovedLines = 0x00E0F0FF;
    std::uint32_t ColorChangedLines = 0x00E0E0FF;
    std::uint32_t ColorDifferentTextInLine = 0x0000FFFF;
    QStringList LeftHistory;
    QStringList RightHistory;
    bool Maximized = false;
    /// Window bounds in pixels, screen coordinates.
    std::int32_t WindowLeft = 0;
    std::int32_t WindowTop = 0;
    std::int32_t WindowWidth = 0;
    std::int32_t WindowHeight = 0;
    /// Widths of grid columns 1 and 2, pixels.
    std::int32_t LeftColumnWidth = 432;
    std::int32_t RightColumnWidth = 573;

    bool operator==(const TSettingsRecord &) const = default;
};

/// The file's bytes for `record`: little-endian 32-bit integers, one-byte
/// Booleans (0 or 1), strings as a 32-bit count of UTF-16 code units
/// followed by that many UTF-16LE code units. Equal records give equal bytes.
QByteArray WriteSettingsRecord(const TSettingsRecord &record);

/// Reads `bytes` from the start onto `record`, field by field in file order,
/// and returns the last field taken over (sfNone for none, sfLastField for
/// all). Reading stops silently at the first field the bytes cannot supply;
/// that field and all later ones keep their values in `record`. Rules:
/// - a Boolean byte other than 0 is true; the header is read and not checked;
/// - a negative string length is the empty string, with no bytes after it;
///   a length beyond the remaining bytes stops the reading;
/// - a history is replaced once its count is read (a negative count is no
///   entries); a cut inside its entries keeps the entries read before the
///   cut, and the count is then the last field taken;
/// - the four window bounds are taken together or not at all;
/// - a grid font size below 1 cannot be applied and stops the reading;
/// - bytes after the last field are ignored.
/// Nothing is allocated ahead of the bytes that back it, whatever the
/// lengths and counts claim.
TSettingsField ReadSettingsRecord(const QByteArray &bytes, TSettingsRecord &record);
