// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SettingsRecord.h"

#include <cstdint>

class QComboBox;
class QFont;
class QLabel;
class QString;
class QWidget;
class TComparisonSession;
class TDiffGrid;

/// Where each setting lives in the main window. There is no settings
/// object of its own: reading sets the values on these owners, writing and
/// the settings dialog take them from there.
struct TSettingsOwners {
    TComparisonSession &Session;   ///< the six options and the four row colours
    TDiffGrid &Grid;               ///< line numbers, grid lines, font, column widths
    QLabel &LineNumbersCaption;    ///< "Files or Folders:", shown exactly with line numbers
    QComboBox &LeftPathBox;        ///< its items are the left history
    QComboBox &RightPathBox;       ///< its items are the right history
    QWidget &Window;               ///< maximized state and bounds
    QString &LeftDialogFolder;     ///< initial folder of the left open-file dialog
    QString &RightDialogFolder;    ///< initial folder of the right open-file dialog
    std::uint32_t &GridFontColor;  ///< held and stored; the cells draw in the window-text colour
};

/// The font's size in whole points, also for a font sized in pixels
/// (converted at the screen's resolution).
std::int32_t FontPointSize(const QFont &font);

/// Every field as the owners hold it now.
TSettingsRecord CollectSettings(const TSettingsOwners &owners);

/// Sets the fields `first` .. `last` of `record` on their owners; the others
/// are not touched. A history replaces its box's items and keeps the box's
/// edit text. The bounds are applied only while the window is not
/// maximized. Grid lines and the line-number column take effect at once;
/// the font re-wraps the rows.
void ApplySettings(const TSettingsRecord &record, TSettingsField first, TSettingsField last,
                   const TSettingsOwners &owners);

/// Reads the settings file at `path` and applies what it holds. Without a
/// file the window is centred on its screen instead; a short or damaged
/// file applies the fields before the damage. Never throws, never reports.
void LoadSettings(const QString &path, const TSettingsOwners &owners) noexcept;

/// Writes every setting to `path`, replacing the previous file whole or
/// not at all. Never throws, never reports.
void SaveSettings(const QString &path, const TSettingsOwners &owners) noexcept;
