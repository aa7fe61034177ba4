// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SortedPathList.h"

#include <QString>

#include <cstdint>

/// The size in bytes of the file at `path` (a link's target), or -1 when no
/// such file exists or the path names a folder.
std::int64_t FileSizeOf(const QString &path);

/// Adds the path relative to `top` of every file under the folder `top`
/// (every entry that is not a folder, hidden ones and broken links
/// included), with its size and time, to `sideList`. `top` ends with '/'.
/// Folder links are followed, but a folder already being listed higher up
/// the same branch is not entered again, so link cycles end. A folder that
/// cannot be read adds nothing.
void ListFilesRecursive(const QString &top, TSortedPathList &sideList);
