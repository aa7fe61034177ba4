// SPDX-License-Identifier: GPL-3.0-or-later
// Times a folder comparison through the real main window, from the command
// to the filled grid, on two generated trees of N files in nested folders
// (half of the pairs differing in size), and `diff -rq` on the same trees.
// Run headless with QT_QPA_PLATFORM=offscreen:
//   bench_folders [files [folder]]   (default 100000 files, a temporary folder)
// Trees already present in `folder` are reused, so that repeated runs (or a
// profiler) see the comparison alone.

#include "SilentPrompts.h"
#include "ComparisonSession.h"
#include "DiffGrid.h"
#include "MainForm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

void WriteFile(const QString &path, qsizetype size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(size, 'x')) != size) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
}

// 100 files per folder, 10 folders per parent folder.
void MakeTrees(const QString &left, const QString &right, int files)
{
    for (int i = 0; i < files; ++i) {
        const QString relative = u"d%1/e%2/f%3.txt"_s.arg(i / 1000, 3, 10, QChar(u'0'))
                                     .arg(i / 100 % 10)
                                     .arg(i % 100, 2, 10, QChar(u'0'));
        if (i % 100 == 0) {
            QDir().mkpath(QFileInfo(left + relative).path());
            QDir().mkpath(QFileInfo(right + relative).path());
        }
        WriteFile(left + relative, 10);
        WriteFile(right + relative, i % 2 == 0 ? 10 : 11);
    }
}

// User plus system time of this process (`who` RUSAGE_SELF) or of its
// finished children (RUSAGE_CHILDREN), in milliseconds: a figure that a
// busy machine disturbs less than the wall clock.
long long CpuMilliseconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto ms = [](const timeval &t) { return (long long)t.tv_sec * 1000 + t.tv_usec / 1000; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir temporary;
    qputenv("APPDATA", temporary.path().toUtf8()); // the user's settings stay untouched
    const QDir dir(argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path());
    const QString left = dir.filePath(u"left/"_s);
    const QString right = dir.filePath(u"right/"_s);

    QElapsedTimer timer;
    timer.start();
    if (!QFileInfo::exists(left)) {
        MakeTrees(left, right, files);
        std::printf("%d files per side written in %lld ms\n", files, timer.elapsed());
    }

    TSilentPrompts prompts;
    {
        // The session alone: listing, matching and the rows, without a grid.
        TComparisonSession session(prompts);
        timer.restart();
        session.CompareFolders(left, right);
        std::printf("CompareFolders without a window: %lld ms\n", timer.elapsed());
    }
    TfrmMain window(prompts);
    window.show();
    window.findChild<QComboBox *>(u"cmbLeft"_s)->setCurrentText(left);
    window.findChild<QComboBox *>(u"cmbRight"_s)->setCurrentText(right);
    QAction *command = window.findChild<QAction *>(u"miAsFolders1"_s);

    for (int run = 1; run <= 2; ++run) {
        timer.restart();
        const long long cpuBefore = CpuMilliseconds(RUSAGE_SELF);
        command->trigger();
        std::printf("run %d: CompareFolders to the filled grid: %lld ms, %lld ms CPU (%d grid rows)\n", run,
                    timer.elapsed(), CpuMilliseconds(RUSAGE_SELF) - cpuBefore, window.Grid().RowCount());
    }
    std::printf("status: %s\n", qPrintable(window.findChild<QLabel *>(u"lblStatus"_s)->text()));

    QProcess diff;
    timer.restart();
    diff.start(u"diff"_s, {u"-rq"_s, left, right});
    diff.waitForFinished(-1);
    const qint64 diffWall = timer.elapsed();
    const qsizetype lines = diff.readAllStandardOutput().count('\n');
    std::printf("diff -rq: %lld ms, %lld ms CPU (%lld lines, reads contents)\n", diffWall,
                CpuMilliseconds(RUSAGE_CHILDREN), qint64(lines));
    return 0;
}
