// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the application, the translations, the arguments, the version
// check, then the main window.

#include "AppInfo.h"
#include "CommandLine.h"
#include "MainForm.h"
#include "WidgetPrompts.h"
#include "translation.h"
#include "uNewVersionCheck.h"

#include <QApplication>

namespace {

void SetApplicationIdentity()
{
    QCoreApplication::setApplicationName(ApplicationTitle());
    QCoreApplication::setOrganizationName(ApplicationTitle());
    QCoreApplication::setApplicationVersion(ApplicationVersion());
}

} // namespace

int main(int argc, char *argv[])
{
    // Help and version need no window system, so they also answer in a
    // terminal without a display. Anything else is read again below, once
    // the toolkit has taken its own options (-style, -platform, ...).
    if (const TStartAction early = ParseStartArguments(ArgumentsFrom(argc, argv)).Action;
        early == TStartAction::saShowHelp || early == TStartAction::saShowVersion) {
        QCoreApplication app(argc, argv);
        SetApplicationIdentity();
        LoadTranslations();
        return PrintStartOutput(early);
    }

    QApplication app(argc, argv);
    SetApplicationIdentity();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/lunavist")));

    LoadTranslations();
    const TStartArguments arguments = ParseStartArguments(QApplication::arguments());
    if (IsPrintOnly(arguments.Action))
        return PrintStartOutput(arguments.Action);

    // A forced update, or any Update Now, ends the program before the main
    // window exists, so no settings file is written.
    TUpdateSite site;
    site.BaseAddress = MakerSiteAddress();
    site.RunningVersion = ApplicationVersionNumber();
    site.ApplicationTitle = ApplicationTitle();
    TDesktopUpdateShell shell;
    if (!RunStartupVersionCheck(site, shell))
        return 0;

    TWidgetPrompts prompts;
    TfrmMain window(prompts);
    prompts.SetParent(&window);
    window.show();
    if (!arguments.LeftPath.isEmpty())
        window.CompareOnStart(arguments.LeftPath, arguments.RightPath);
    return QApplication::exec();
}
