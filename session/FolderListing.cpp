// SPDX-License-Identifier: GPL-3.0-or-later
// Folder listing for the folder comparison. It talks to the system
// directly: one directory read per folder and one status query per entry,
// relative to its folder, is what makes a tree of 100,000 files quick to
// list; going through QFileInfo costs several full-path queries per file.
#include "FolderListing.h"

#include <QFile>

#include <algorithm>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TFileFacts FactsOf(const struct stat &status)
{
    const std::int64_t milliseconds =
        std::int64_t(status.st_mtim.tv_sec) * 1000 + std::int64_t(status.st_mtim.tv_nsec) / 1000000;
    return {std::int64_t(status.st_size), std::max<std::int64_t>(milliseconds, 0)};
}

struct TFolderIdentity {
    dev_t Device;
    ino_t Inode;
    bool operator==(const TFolderIdentity &) const = default;
};

struct TFolderEntry {
    QByteArray Name;
    bool Known;
    struct stat Status;
};

// Every entry of the folder, read before any subfolder is entered, so that
// no folder handle stays open down a deep branch.
std::vector<TFolderEntry> ReadFolder(const QByteArray &folder)
{
    std::vector<TFolderEntry> entries;
    const int handle = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return entries;
    DIR *directory = ::fdopendir(handle);
    if (directory == nullptr) {
        ::close(handle);
        return entries;
    }
    while (const dirent *entry = ::readdir(directory)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        TFolderEntry &added = entries.emplace_back();
        added.Name = QByteArray(name);
        // Links are followed: a link's target decides folder or file, and
        // a broken link stays a file whose size cannot be read.
        added.Known = ::fstatat(handle, name, &added.Status, 0) == 0;
    }
    ::closedir(directory);
    return entries;
}

void ListFolder(const QByteArray &folder, const QString &relativeFolder, TSortedPathList &list,
                std::vector<TFolderIdentity> &branch)
{
    for (const TFolderEntry &entry : ReadFolder(folder)) {
        const QString relative = relativeFolder + QFile::decodeName(entry.Name);
        if (!entry.Known || !S_ISDIR(entry.Status.st_mode)) {
            list.Add(relative, entry.Known ? FactsOf(entry.Status) : TFileFacts{});
            continue;
        }
        const TFolderIdentity identity{entry.Status.st_dev, entry.Status.st_ino};
        if (std::find(branch.begin(), branch.end(), identity) != branch.end())
            continue;
        branch.push_back(identity);
        ListFolder(folder + entry.Name + '/', relative + u'/', list, branch);
        branch.pop_back();
    }
}

} // namespace

std::int64_t FileSizeOf(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || S_ISDIR(status.st_mode))
        return -1;
    return FactsOf(status).Size;
}

void ListFilesRecursive(const QString &top, TSortedPathList &sideList)
{
    const QByteArray encodedTop = QFile::encodeName(top);
    struct stat status;
    if (::stat(encodedTop.constData(), &status) != 0)
        return;
    std::vector<TFolderIdentity> branch{{status.st_dev, status.st_ino}};
    ListFolder(encodedTop, QString(), sideList, branch);
}
