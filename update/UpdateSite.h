// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Where the updates come from and what they are compared with.
struct TUpdateSite {
    /// "http://host[:port]" without a trailing slash; the version file, the
    /// change log, the installer and the home page ("/") lie below it.
    QString BaseAddress;
    /// The running version written without its point: 2.4 is 24.
    int RunningVersion = 0;
    /// Shown in the dialog's caption after a blank.
    QString ApplicationTitle;
    /// Longest wait for data of each request of the version check, in
    /// milliseconds; it bounds the name lookup and the connect as well.
    int ReadTimeoutMs = 10000;
    /// Longest time each request of the version check may take in all, in
    /// milliseconds: a server that keeps sending a trickle never ends the
    /// read time-out, and the program shows no window meanwhile.
    int TotalTimeoutMs = 30000;
    /// Folder the installer is saved in; empty means the user's temporary folder.
    QString DownloadFolder;
};

/// What the version check found for the dialog to show.
struct TNewVersionInfo {
    /// The announcement (CR LF line breaks), ending with the change-log lines.
    QString Announcement;
    /// The running version is below the minimum: the user can only update or leave.
    bool ForcedUpdate = false;
};
