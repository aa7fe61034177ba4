// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QString SettingsFilePath()
{
    QString base = qEnvironmentVariable("APPDATA");
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QCoreApplication::applicationDirPath();
    const QString folder = QDir(base).filePath(u"Lunavist"_s);
    QDir().mkpath(folder);
    return QDir(folder).filePath(u"settings.dt"_s);
}

std::optional<QByteArray> ReadSettingsFile(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool WriteSettingsFile(const QString &path, const QByteArray &bytes)
{
    // Unbuffered, because Qt 6.4 commits a buffered QSaveFile even when its
    // final flush fails, which would replace the file with a cut copy.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
