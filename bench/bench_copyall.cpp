// SPDX-License-Identifier: GPL-3.0-or-later
// Times "Copy All to Right" (and the Undo after it) through the real main
// window: from the command to the applied result (grid refilled, status
// written), with the longest time the interface thread did not come back
// to its event loop, and the part of it that is the grid refill itself.
// Runs headless (offscreen) unless QT_QPA_PLATFORM says otherwise.

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
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

struct TFigures {
    double CommandReturned = 0; // the command's own synchronous part
    double ResultApplied = 0;   // command to refilled grid and status line
    double LongestStall = 0;    // longest gap between event-loop turns
    double Refill = 0;          // the grid refill inside the apply step
};

// Runs `command`, then spins the event loop until the session has applied
// the recomputed rows. A 1 ms timer measures how long the interface thread
// stayed away from its loop.
template<typename Command>
TFigures Measure(TfrmMain &window, Command command)
{
    TFigures figures;
    TStallMeter meter;

    // The refill runs from the model's reset to the end of the window's
    // reaction to the new rows (this connection comes after the window's).
    qint64 refillStart = -1;
    qint64 refillEnd = -1;
    qint64 applied = -1;
    TComparisonSession &session = window.Session();
    const auto c1 = QObject::connect(window.Grid().model(), &QAbstractItemModel::modelAboutToBeReset,
                                     [&] { refillStart = meter.Elapsed(); });
    const auto c2 = QObject::connect(&session, &TComparisonSession::GridRowsChanged,
                                     [&] { refillEnd = meter.Elapsed(); });
    const auto c3 = QObject::connect(&session, &TComparisonSession::StatusChanged, [&] {
        if (refillEnd >= 0)
            applied = meter.Elapsed();
    });

    meter.Start();
    command();
    figures.CommandReturned = Ms(meter.Elapsed());
    while (applied < 0 || session.DiffRecomputeInProgress())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // One more turn, so the gap that ends with the apply step is counted.
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    figures.LongestStall = meter.Stop();
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    QObject::disconnect(c3);

    figures.ResultApplied = Ms(applied);
    figures.Refill = Ms(refillEnd - refillStart);
    return figures;
}

void Print(const char *what, const TFigures &f)
{
    std::printf("%s\n", what);
    std::printf("  command returned                       %8.1f ms\n", f.CommandReturned);
    std::printf("  command to applied result              %8.1f ms\n", f.ResultApplied);
    std::printf("  longest interface-thread stall         %8.1f ms\n", f.LongestStall);
    std::printf("  of which the grid refill               %8.1f ms\n", f.Refill);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lineCount = argc > 1 ? std::atoi(argv[1]) : 50000;
    QTemporaryDir dir;
    qputenv("APPDATA", dir.path().toUtf8()); // the user's settings stay untouched
    const QString leftPath = dir.filePath(u"left.txt"_s);
    const QString rightPath = dir.filePath(u"right.txt"_s);
    WriteEditedPair(leftPath, rightPath, lineCount);

    TSilentPrompts prompts;
    TfrmMain window(prompts);
    window.show();
    QApplication::processEvents();
    window.findChild<QComboBox *>(u"cmbLeft"_s)->setCurrentText(leftPath);
    window.findChild<QComboBox *>(u"cmbRight"_s)->setCurrentText(rightPath);
    window.findChild<QAction *>(u"miAsTextFiles1"_s)->trigger();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents(); // the layout gives the grid its room
    const qsizetype rowsBefore = window.Session().DiffItems().size();

    const TFigures copyAll = Measure(window, [&] { window.findChild<QAction *>(u"btnAllLeftDiffsToRight"_s)->trigger(); });
    const qsizetype rowsAfter = window.Session().DiffItems().size();
    const TFigures undo = Measure(window, [&] { window.findChild<QAction *>(u"btnUndo"_s)->trigger(); });

    std::printf("two %d-line files, 1%% changed, through the window (%lld rows, %lld after Copy All):\n", lineCount,
                static_cast<long long>(rowsBefore), static_cast<long long>(rowsAfter));
    Print("Copy All to Right", copyAll);
    Print("Undo Last Change", undo);
    return 0;
}
