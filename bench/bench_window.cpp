// SPDX-License-Identifier: GPL-3.0-or-later
// Times a text comparison through the real main window: from the command
// to the filled grid with its row heights, and to the first painted screen.
// Run headless with QT_QPA_PLATFORM=offscreen.

#include "DiffGrid.h"
#include "MainForm.h"
#include "Prompts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Answers every box with OK and counts nothing: the benchmark measures the window.
class TSilentPrompts final : public TPrompts
{
public:
    void Information(const QString &) override {}
    void Warning(const QString &) override {}
    void Error(const QString &text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    bool Confirm(const QString &) override { return true; }
    void Beep() override {}
    QString OpenFile(const QString &, const QString &) override { return {}; }
    QString SaveFile(const QString &, const QString &) override { return {}; }
    void PushWaitCursor() override {}
    void PushBusyCursor() override {}
    void PopCursor() override {}
};

QByteArray RandomLine(QRandomGenerator &random)
{
    static const char *const words[] = {"int", "return", "value", "index", "if", "(", ")", "{", "}", "count", "="};
    QByteArray line(int(random.bounded(4)) * 4, ' ');
    for (int w = 2 + int(random.bounded(10)); w > 0; --w)
        line += QByteArray(words[random.bounded(11)]) + ' ';
    return line + QByteArray::number(random.bounded(100000));
}

// A file of `count` lines and a copy with about 1% of its lines changed.
void WriteInputs(const QString &leftPath, const QString &rightPath, int count)
{
    QRandomGenerator random(7);
    QByteArray left, right;
    for (int i = 0; i < count; ++i) {
        const QByteArray line = RandomLine(random);
        left += line + '\n';
        right += (random.bounded(100) == 0 ? line + " changed" : line) + '\n';
    }
    QFile l(leftPath), r(rightPath);
    if (!l.open(QIODevice::WriteOnly) || !r.open(QIODevice::WriteOnly) || l.write(left) != left.size()
        || r.write(right) != right.size())
        qFatal("cannot write the inputs");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int lineCount = argc > 1 ? std::atoi(argv[1]) : 20000;
    QTemporaryDir dir;
    const QString leftPath = dir.filePath(u"left.txt"_s);
    const QString rightPath = dir.filePath(u"right.txt"_s);
    WriteInputs(leftPath, rightPath, lineCount);

    TSilentPrompts prompts;
    TfrmMain window(prompts);
    window.show();
    QApplication::processEvents();
    window.findChild<QComboBox *>(u"cmbLeft"_s)->setCurrentText(leftPath);
    window.findChild<QComboBox *>(u"cmbRight"_s)->setCurrentText(rightPath);

    QElapsedTimer timer;
    timer.start();
    window.findChild<QAction *>(u"miAsTextFiles1"_s)->trigger();
    const double filled = double(timer.nsecsElapsed()) / 1e6;
    window.Grid().viewport()->grab(); // paints the visible rows
    const double painted = double(timer.nsecsElapsed()) / 1e6;

    std::printf("two %d-line files, 1%% changed, through the window (%lld rows):\n", lineCount,
                static_cast<long long>(window.Session().DiffItems().size()));
    std::printf("  command to filled grid with row heights  %8.1f ms\n", filled);
    std::printf("  command to first painted screen          %8.1f ms\n", painted);
    return 0;
}
