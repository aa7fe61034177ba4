// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

/// The settings file's full path: the folder named by the environment
/// variable APPDATA when it is set and not empty, else the user's config
/// folder (normally ~/.config), else the program's folder; then "Lunavist"
/// and "settings.dt". Creates the "Lunavist" folder with its parents; a
/// failure to create it is not reported (reads and writes then fail).
QString SettingsFilePath();

/// The whole file at `path`; nothing when it does not exist. A file that
/// exists but cannot be read gives empty bytes.
std::optional<QByteArray> ReadSettingsFile(const QString &path);

/// Replaces the file at `path` by `bytes` as one step: the file is written
/// beside it and renamed over it, so a failure at any point leaves the
/// previous file whole. False on failure; never reports anything.
bool WriteSettingsFile(const QString &path, const QByteArray &bytes);
