// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

/// What the program's arguments ask for.
enum class TStartAction {
    saOpenWindow,  ///< no arguments, or LEFT and RIGHT
    saShowHelp,    ///< -h, --help
    saShowVersion, ///< -v, --version
    saUsageError,  ///< anything else
};

struct TStartArguments {
    TStartAction Action = TStartAction::saOpenWindow;
    /// With saOpenWindow: both set (the window compares them at once) or
    /// both empty (the window opens as without arguments).
    QString LeftPath;
    QString RightPath;
};

/// The arguments as the C runtime passed them, decoded as the system's
/// 8-bit encoding like QCoreApplication::arguments(), for reading them
/// before any application object exists.
QStringList ArgumentsFrom(int argc, char *argv[]);

/// Reads `arguments` (the program first, as QCoreApplication::arguments()
/// gives them): none, LEFT RIGHT, --help (also with other arguments) or
/// --version; "--" ends the options, so a path may begin with "-". Any other
/// option, or another number of paths, is a usage error. A relative path
/// is made absolute against the working folder, so the path boxes and their
/// histories hold paths that stay valid; an empty or blank path is kept as
/// it is, for the window to refuse as it refuses an empty path box.
TStartArguments ParseStartArguments(const QStringList &arguments);

/// True for the actions that only print (help, version, usage error).
bool IsPrintOnly(TStartAction action);

/// The text printed for `action` in the current language, ending in a
/// line break: the help, "Lunavist 2.4", or the usage line. Empty for
/// saOpenWindow.
QString StartOutput(TStartAction action);

/// Prints StartOutput(`action`): help and version on standard output, the
/// usage line on standard error. Returns the exit status: 0, or 2 for a
/// usage error.
int PrintStartOutput(TStartAction action);
