// SPDX-License-Identifier: GPL-3.0-or-later
#include "ComparisonSession.h"

#include "SessionFixture.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLocale>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

/// An engine that holds the job on one pair of lists until the test
/// releases it, so that job finishes after any other.
struct THeldJob {
    THeldJob(QStringList left, QStringList right)
        : HeldLeft(std::move(left)),
          HeldRight(std::move(right))
    {
    }

    const QStringList HeldLeft;
    const QStringList HeldRight;
    std::atomic<int> Calls = 0;
    QSemaphore Release;

    TDiffFunction Function()
    {
        return [this](const QStringList &left, const QStringList &right, const TDiffOptions &options) {
            ++Calls;
            if (left == HeldLeft && right == HeldRight)
                Release.acquire();
            return ComputeDiff(left, right, options);
        };
    }
};

// Runs every result the workers have queued.
void DeliverAllResults()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
}

} // namespace

class TestRecompute : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void onlyTheNewestResultIsApplied_data();
    void onlyTheNewestResultIsApplied();
    void resultArrivesWhileABoxIsOpen();
    void emptySidesGiveAnEmptyGrid();
    void newComparisonIsNotOverwritten();
    void engineFailureOnTheWorker();
    void sessionDestroyedWhileAJobRuns();
};

void TestRecompute::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // A held job must not keep the next one from running.
    QThreadPool::globalInstance()->setMaxThreadCount(std::max(4, QThreadPool::globalInstance()->maxThreadCount()));
}

void TestRecompute::onlyTheNewestResultIsApplied_data()
{
    QTest::addColumn<bool>("waitInLoop");
    QTest::newRow("the newer result arrives through the event loop first") << true;
    QTest::newRow("the newer result is taken at once while the older job still runs") << false;
}

void TestRecompute::onlyTheNewestResultIsApplied()
{
    QFETCH(bool, waitInLoop);
    TSessionFixture f;
    f.Load({u"a"_s, u"X1"_s, u"b"_s, u"X2"_s, u"c"_s}, {u"a"_s, u"Y1"_s, u"b"_s, u"Y2"_s, u"c"_s});
    THeldJob engine({u"a"_s, u"X1"_s, u"b"_s, u"X2"_s, u"c"_s}, {u"a"_s, u"X1"_s, u"b"_s, u"Y2"_s, u"c"_s});
    f.Session->SetDiffFunction(engine.Function());
    QSignalSpy rowsSpy(f.Session.get(), &TComparisonSession::GridRowsChanged);
    QSignalSpy statusSpy(f.Session.get(), &TComparisonSession::StatusChanged);

    f.Grid.Row = 2;
    f.Session->btnLeftToRightClick(); // job 1, held
    f.Session->btnAllRightDiffsToLeftClick(); // job 2
    const TDiffItems expected = f.FreshItems();
    QCOMPARE(expected.size(), 5);
    if (waitInLoop)
        QTRY_VERIFY(!f.Session->DiffRecomputeInProgress());
    else
        f.Session->ApplyPendingRecompute();

    QCOMPARE(f.Session->DiffItems(), expected);
    QCOMPARE(f.Session->GridRows().Items, expected);
    QCOMPARE(rowsSpy.count(), 1);
    QVERIFY(f.Prompts.CursorsBalanced());
    QCOMPARE(f.Prompts.BusyCursorPushes, 2);
    QCOMPARE(statusSpy.last().first().toString(),
             u"5 lines (left file) vs 5 lines (right file). Equal lines: 5 of 5 (100.0%). Different lines: 0."_s);

    engine.Release.release();
    DeliverAllResults();
    QCOMPARE(f.Session->DiffItems(), expected);
    QCOMPARE(rowsSpy.count(), 1);
    QVERIFY(!f.Session->DiffRecomputeInProgress());
    QVERIFY(f.Prompts.CursorsBalanced());
}

void TestRecompute::resultArrivesWhileABoxIsOpen()
{
    TSessionFixture f;
    f.Load({u"a"_s, u"b"_s}, {u"a"_s, u"c"_s});
    QSignalSpy statusSpy(f.Session.get(), &TComparisonSession::StatusChanged);
    f.Session->btnAllLeftDiffsToRightClick();
    QVERIFY(f.Session->DiffRecomputeInProgress());
    bool appliedInsideTheBox = false;
    f.Prompts.WhileBoxOpen = [&] {
        QEventLoop box;
        connect(f.Session.get(), &TComparisonSession::GridRowsChanged, &box, &QEventLoop::quit);
        QTimer::singleShot(5000, &box, &QEventLoop::quit);
        if (f.Session->DiffRecomputeInProgress())
            box.exec();
        appliedInsideTheBox = !f.Session->DiffRecomputeInProgress();
    };

    f.Session->btnAllRightDiffsToLeftClick(); // "Files are already identical."

    QCOMPARE(f.Prompts.Log, QStringList{u"information: Files are already identical."_s});
    QVERIFY(appliedInsideTheBox);
    QCOMPARE(f.Session->DiffItems(), f.FreshItems());
    // The command's own status text gives way to the statistics.
    QCOMPARE(statusSpy.count(), 2);
    QCOMPARE(statusSpy.at(0).first().toString(), u"Right side replaced with LEFT (files made identical)."_s);
    QCOMPARE(statusSpy.at(1).first().toString(),
             u"2 lines (left file) vs 2 lines (right file). Equal lines: 2 of 2 (100.0%). Different lines: 0."_s);
    QVERIFY(f.Prompts.CursorsBalanced());
}

void TestRecompute::emptySidesGiveAnEmptyGrid()
{
    TSessionFixture f;
    f.Load({}, {u"a"_s, u"b"_s});
    QSignalSpy statusSpy(f.Session.get(), &TComparisonSession::StatusChanged);

    f.Session->btnAllLeftDiffsToRightClick();
    QTRY_VERIFY(!f.Session->DiffRecomputeInProgress());

    QVERIFY(f.Session->RightLines().isEmpty());
    QVERIFY(f.Session->DiffItems().isEmpty());
    QVERIFY(f.Session->GridRows().Items.isEmpty());
    QCOMPARE(f.Grid.Rows, 2);
    QCOMPARE(statusSpy.last().first().toString(),
             u"0 lines (left file) vs 0 lines (right file). No comparable lines."_s);
    QVERIFY(f.Prompts.CursorsBalanced());
}

void TestRecompute::newComparisonIsNotOverwritten()
{
    TSessionFixture f;
    f.Load({u"a"_s, u"b"_s}, {u"a"_s, u"c"_s});
    THeldJob engine({u"a"_s, u"b"_s}, {u"a"_s, u"b"_s});
    f.Session->SetDiffFunction(engine.Function());
    f.Session->btnAllLeftDiffsToRightClick(); // held
    QVERIFY(!f.Prompts.CursorsBalanced());

    f.Session->CompareTextFiles(f.Write(u"new-left.txt"_s, LfLines({u"p"_s, u"q"_s, u"r"_s})),
                                f.Write(u"new-right.txt"_s, LfLines({u"p"_s})));
    const TDiffItems compared = f.Session->DiffItems();
    QCOMPARE(compared.size(), 3);
    // The pending job's cursor goes with the comparison that replaced it.
    QVERIFY(f.Prompts.CursorsBalanced());
    QVERIFY(!f.Session->DiffRecomputeInProgress());

    engine.Release.release();
    DeliverAllResults();

    QCOMPARE(f.Session->DiffItems(), compared);
    QCOMPARE(f.Session->GridRows().Items, compared);
    QVERIFY(f.Prompts.CursorsBalanced());
}

void TestRecompute::engineFailureOnTheWorker()
{
    TSessionFixture f;
    f.Load({u"a"_s, u"X"_s, u"b"_s, u"c"_s, u"d"_s}, {u"a"_s, u"b"_s});
    const TDiffItems before = f.Session->DiffItems();
    QCOMPARE(before.size(), 5);
    std::atomic<int> calls = 0;
    f.Session->SetDiffFunction(
        [&calls](const QStringList &left, const QStringList &right, const TDiffOptions &options) {
            if (calls.fetch_add(1) == 0)
                throw std::runtime_error("out of memory");
            return ComputeDiff(left, right, options);
        });

    f.Session->btnAllRightDiffsToLeftClick();
    DeliverAllResults();

    // The rows stay, but the user gets the normal cursor back.
    QCOMPARE(f.Session->DiffItems(), before);
    QVERIFY(f.Prompts.CursorsBalanced());
    QVERIFY(f.Session->DiffRecomputeInProgress());

    // Row 5 would name left line 4, which is gone: the block merge computes
    // the items for the present lines first and finds no such row.
    f.Grid.Row = 5;
    f.Session->btnLeftToRightClick();

    QCOMPARE(calls.load(), 2);
    QCOMPARE(f.Session->DiffItems(), f.FreshItems());
    QCOMPARE(f.Session->UndoStack().size(), 1);
    QVERIFY(!f.Session->DiffRecomputeInProgress());
    QVERIFY(f.Prompts.CursorsBalanced());
}

void TestRecompute::sessionDestroyedWhileAJobRuns()
{
    TSessionFixture f;
    f.Load({u"a"_s, u"b"_s}, {u"a"_s, u"c"_s});
    THeldJob engine({u"a"_s, u"b"_s}, {u"a"_s, u"b"_s});
    f.Session->SetDiffFunction(engine.Function());
    f.Session->btnAllLeftDiffsToRightClick();
    std::thread releaser([&engine] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        engine.Release.release();
    });

    f.Session.reset(); // waits for the job; its queued result must die with the session
    releaser.join();
    DeliverAllResults();

    QCOMPARE(engine.Calls.load(), 1);
}

QTEST_GUILESS_MAIN(TestRecompute)
#include "tst_recompute.moc"
