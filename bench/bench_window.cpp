// SPDX-License-Identifier: GPL-3.0-or-later
// Times a text comparison through the real main window: from the command
// to the filled grid, to the first painted screen, and how long the
// interface thread is kept from its loop while the remaining row heights
// come in; then the same for resizes of the window, narrower and back.
// Run headless with QT_QPA_PLATFORM=offscreen:
//   bench_window [lines] [accented]
// "accented" puts a non-ASCII letter in every line, so no row height can
// skip laying its text out.

#include "EditedPairInputs.h"
#include "SilentPrompts.h"
#include "DiffGrid.h"
#include "MainForm.h"
#include "StallMeter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

struct TFigures {
    double Settled = 0;      // from the start to the last row height
    double LongestStall = 0; // longest gap between turns of the event loop
    qint64 TextsMeasured = 0;
};

// Runs `action`, then spins the event loop until every row height is in. A
// 1 ms timer measures how long the interface thread stayed away from its
// loop; the action itself counts as such a stretch.
template<typename Action>
TFigures UntilHeightsSettle(TDiffGrid &grid, Action action)
{
    TFigures figures;
    const qint64 measuredBefore = grid.TextMeasureCount();
    TStallMeter meter;
    meter.Start();
    action();
    while (grid.RowHeightsPending())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    figures.Settled = Ms(meter.Elapsed());
    // One more turn, so the gap that ends with the last slice is counted.
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    figures.LongestStall = meter.Stop();
    figures.TextsMeasured = grid.TextMeasureCount() - measuredBefore;
    return figures;
}

void Print(const char *what, const TFigures &f)
{
    std::printf("  %-40s  all heights %8.1f ms, longest stall %6.1f ms, %7lld texts measured\n", what, f.Settled,
                f.LongestStall, static_cast<long long>(f.TextsMeasured));
}

// Lets the window's 100 ms alignment timer settle the column widths.
void SettleColumns()
{
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 300)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int lineCount = argc > 1 ? std::atoi(argv[1]) : 20000;
    const bool accented = argc > 2 && std::strcmp(argv[2], "accented") == 0;
    QTemporaryDir dir;
    qputenv("APPDATA", dir.path().toUtf8()); // the user's settings stay untouched
    const QString leftPath = dir.filePath(u"left.txt"_s);
    const QString rightPath = dir.filePath(u"right.txt"_s);
    WriteEditedPair(leftPath, rightPath, lineCount, accented);

    TSilentPrompts prompts;
    TfrmMain window(prompts);
    window.show();
    QApplication::processEvents();
    window.findChild<QComboBox *>(u"cmbLeft"_s)->setCurrentText(leftPath);
    window.findChild<QComboBox *>(u"cmbRight"_s)->setCurrentText(rightPath);

    TDiffGrid &grid = window.Grid();
    QElapsedTimer timer;
    timer.start();
    window.findChild<QAction *>(u"miAsTextFiles1"_s)->trigger();
    const double filled = Ms(timer.nsecsElapsed());
    grid.viewport()->grab(); // paints the visible rows
    const double painted = Ms(timer.nsecsElapsed());
    const TFigures rest = UntilHeightsSettle(grid, [] {});

    std::printf("two %d-line files%s, 1%% changed, through the window (%lld rows):\n", lineCount,
                accented ? " (accented)" : "", static_cast<long long>(window.Session().DiffItems().size()));
    std::printf("  command to filled grid, screen measured  %8.1f ms\n", filled);
    std::printf("  command to first painted screen          %8.1f ms\n", painted);
    Print("then the remaining rows", rest);

    // The window's own resize handling re-wraps the rows; each width pair
    // is measured once and found in the cache when it comes back.
    SettleColumns();
    const QSize wide = window.size();
    const QSize narrow(wide.width() * 2 / 3, wide.height());
    for (int round = 1; round <= 2; ++round) {
        Print(round == 1 ? "resize narrower" : "resize narrower again",
              UntilHeightsSettle(grid, [&] { window.resize(narrow); }));
        SettleColumns();
        Print(round == 1 ? "resize back" : "resize back again", UntilHeightsSettle(grid, [&] { window.resize(wide); }));
        SettleColumns();
    }
    return 0;
}
