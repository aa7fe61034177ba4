// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "AppInfo.h"
#include "PathHistory.h"
#include "translation.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QString UsageLine()
{
    return Translate(u"Usage:"_s) + u" lunavist [LEFT RIGHT]\n"_s;
}

// The window trims a typed path before it uses it; a path from the command
// line gets the same treatment and is then anchored to the working folder.
QString AbsolutePath(const QString &path)
{
    const QString trimmed = TrimPathText(path);
    return trimmed.isEmpty() ? path : QDir::current().absoluteFilePath(trimmed);
}

} // namespace

QStringList ArgumentsFrom(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

TStartArguments ParseStartArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption version(QStringList{u"v"_s, u"version"_s});
    parser.addOptions({help, version});

    TStartArguments result;
    if (!parser.parse(arguments)) {
        result.Action = TStartAction::saUsageError;
        return result;
    }
    if (parser.isSet(help)) {
        result.Action = TStartAction::saShowHelp;
        return result;
    }
    if (parser.isSet(version)) {
        result.Action = TStartAction::saShowVersion;
        return result;
    }
    const QStringList paths = parser.positionalArguments();
    if (paths.size() == 2) {
        result.LeftPath = AbsolutePath(paths[0]);
        result.RightPath = AbsolutePath(paths[1]);
    } else if (!paths.isEmpty()) {
        result.Action = TStartAction::saUsageError;
    }
    return result;
}

bool IsPrintOnly(TStartAction action)
{
    return action != TStartAction::saOpenWindow;
}

QString StartOutput(TStartAction action)
{
    switch (action) {
    case TStartAction::saOpenWindow:
        return {};
    case TStartAction::saShowVersion:
        return ApplicationTitle() + u' ' + ApplicationVersion() + u'\n';
    case TStartAction::saUsageError:
        return UsageLine();
    case TStartAction::saShowHelp:
        break;
    }
    return UsageLine() + u'\n' + Translate(u"Compares two text files, two documents or two folders side by side."_s)
        + u'\n' + Translate(u"With LEFT and RIGHT the window opens with both paths and compares them at once."_s)
        + u"\n\n"_s + Translate(u"Options:"_s) + u'\n' + u"  -h, --help     "_s
        + Translate(u"Show this help and exit."_s) + u'\n' + u"  -v, --version  "_s
        + Translate(u"Show the version and exit."_s) + u'\n';
}

int PrintStartOutput(TStartAction action)
{
    const bool error = action == TStartAction::saUsageError;
    const QByteArray bytes = StartOutput(action).toLocal8Bit();
    std::FILE *stream = error ? stderr : stdout;
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
    return error ? 2 : 0;
}
