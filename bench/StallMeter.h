// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How long the interface thread stays away from its event loop, for the
// benchmarks that drive the real window.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

/// Milliseconds from nanoseconds, for printing.
inline double Ms(qint64 ns)
{
    return double(ns) / 1e6;
}

/// A 1 ms timer that records the longest gap between its ticks, from
/// Start() on; what runs between two turns of the loop (a command called
/// right after Start() included) counts as such a gap.
class TStallMeter {
public:
    TStallMeter()
    {
        FTicker.setTimerType(Qt::PreciseTimer);
        FTicker.setInterval(1);
        QObject::connect(&FTicker, &QTimer::timeout, [this] {
            const qint64 now = FClock.nsecsElapsed();
            FLongestGap = std::max(FLongestGap, now - FLastTick);
            FLastTick = now;
        });
    }

    void Start()
    {
        FTicker.start();
        FClock.start();
    }

    /// Nanoseconds since Start().
    qint64 Elapsed() const { return FClock.nsecsElapsed(); }

    /// Stops the timer; the longest gap in milliseconds, the one still open included.
    double Stop()
    {
        FTicker.stop();
        return Ms(std::max(FLongestGap, FClock.nsecsElapsed() - FLastTick));
    }

private:
    QElapsedTimer FClock;
    QTimer FTicker;
    qint64 FLastTick = 0;
    qint64 FLongestGap = 0;
};
