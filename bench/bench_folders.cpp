// SPDX-License-Identifier: GPL-3.0-or-later
// Times a folder comparison through the real main window, from the command
// to the filled grid, on two generated trees of N files in nested folders
// (half of the pairs differing in size), and `diff -rq` on the same trees.
// Run headless with QT_QPA_PLATFORM=offscreen:
//   bench_folders [files]        (default 100000)

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

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString left = dir.filePath(u"left/"_s);
    const QString right = dir.filePath(u"right/"_s);

    QElapsedTimer timer;
    timer.start();
    MakeTrees(left, right, files);
    std::printf("%d files per side written in %lld ms\n", files, timer.elapsed());

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
        command->trigger();
        std::printf("run %d: CompareFolders to the filled grid: %lld ms (%d grid rows)\n", run, timer.elapsed(),
                    window.Grid().RowCount());
    }
    std::printf("status: %s\n", qPrintable(window.findChild<QLabel *>(u"lblStatus"_s)->text()));

    QProcess diff;
    timer.restart();
    diff.start(u"diff"_s, {u"-rq"_s, left, right});
    diff.waitForFinished(-1);
    const qsizetype lines = diff.readAllStandardOutput().count('\n');
    std::printf("diff -rq: %lld ms (%lld lines, reads contents)\n", timer.elapsed(), qint64(lines));
    return 0;
}
