// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

/// What a folder comparison knows of one file, read from one directory
/// query while the folder is listed.
struct TFileFacts {
    /// Bytes of the file (a link's target); -1 when it cannot be read.
    std::int64_t Size = -1;
    /// Last write, milliseconds since the epoch; 0 when it cannot be read.
    std::int64_t LastWriteTime = 0;
};
