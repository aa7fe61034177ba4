// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the application, the translations, the version check, then
// the main window.

#include "AppInfo.h"
#include "MainForm.h"
#include "WidgetPrompts.h"
#include "translation.h"
#include "uNewVersionCheck.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    QApplication::setOrganizationName(ApplicationTitle());
    QApplication::setApplicationVersion(ApplicationVersion());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/lunavist")));

    LoadTranslations();

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
    return QApplication::exec();
}
