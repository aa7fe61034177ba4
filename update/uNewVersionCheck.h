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
/// Blocks, without user input, until both answers are in, a request sent
/// nothing for the site's read time-out or was not complete within its
/// whole-request time-out, or an answer grew beyond MaxVersionAnswerBytes.
bool CheckForNewVersion(const TUpdateSite &site, TNewVersionInfo &info);

/// The largest answer the version check reads; a larger one fails the check.
inline constexpr qint64 MaxVersionAnswerBytes = 1024 * 1024;

/// What CheckForNewVersion decides from the bytes of the version file and
/// of the change log (both UTF-8, invalid bytes read as U+FFFD), against the
/// running version written without its point. False, with `info` left
/// alone, for nothing new and for an empty or malformed version line.
bool EvaluateVersionFiles(const QByteArray &versionFile, const QByteArray &changeLog, int runningVersion,
                          TNewVersionInfo &info);

/// The update step of the program's start: checks, and if there is a new
/// version shows TfrmNewVersion modally without an owner. False when the
/// program is to end now, before any other window exists; true when the
/// start goes on (nothing new, the check failed, or the user skipped).
bool RunStartupVersionCheck(const TUpdateSite &site, TUpdateShell &shell);
