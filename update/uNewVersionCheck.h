// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NewVersionForm.h"
#include "UpdateShell.h"
#include "UpdateSite.h"

/// Asks the site for the latest and minimum versions (first line of the
/// version file, "latest/minimum", both without their point) and for the
/// change log. True when the dialog is to be shown (minimum or latest above
/// the running version); `info` is then filled, else left alone. Every
/// failure (network, time-out, HTTP status, malformed line) gives false.
/// Blocks, without user input, until both answers are in.
bool CheckForNewVersion(const TUpdateSite &site, TNewVersionInfo &info);

/// The update step of the program's start: checks, and if there is a new
/// version shows TfrmNewVersion modally without an owner. False when the
/// program is to end now, before any other window exists; true when the
/// start goes on (nothing new, the check failed, or the user skipped).
bool RunStartupVersionCheck(const TUpdateSite &site, TUpdateShell &shell);
