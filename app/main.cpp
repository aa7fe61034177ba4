// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the application, the translations, then the main window.

#include "AppInfo.h"
#include "MainForm.h"
#include "WidgetPrompts.h"
#include "translation.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    QApplication::setOrganizationName(ApplicationTitle());
    QApplication::setApplicationVersion(ApplicationVersion());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/lunavist")));

    LoadTranslations();

    // The version check and the new-version dialog come here, before any
    // other window, once the program can look for updates.

    TWidgetPrompts prompts;
    TfrmMain window(prompts);
    prompts.SetParent(&window);
    window.show();
    return QApplication::exec();
}
