// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExtractTypes.h"

#include <QString>

/// Exit statuses of `lunavist-extract --extract FILE`. The server runs that
/// command for every document, so a document that crashes or stalls a
/// reader costs one process, never the server.
enum TExtractExit : int {
    eeText = 0,        ///< the text is on standard output
    eeUsage = 1,       ///< the file cannot be read
    eeUnsupported = 3, ///< see TExtractStatus::esUnsupported; reason on standard error
    eeUnparseable = 4, ///< see TExtractStatus::esUnparseable; reason on standard error
};

/// Writes the text of the file at `path` to standard output in UTF-8, or
/// the reason it has none to standard error, and returns the exit status.
int RunExtractCommand(const QString &path, const TExtractLimits &limits = {});
