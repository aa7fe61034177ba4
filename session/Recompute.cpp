// SPDX-License-Identifier: GPL-3.0-or-later
// Background recomputation of the items after the lines changed.
#include "ComparisonSession.h"

#include "Prompts.h"

#include <QMetaObject>
#include <QThreadPool>

#include <algorithm>
#include <chrono>

void TComparisonSession::SetRecomputeInProgress(bool value)
{
    if (FDiffRecomputeInProgress != value)
        FDiffRecomputeInProgress = value;
}

void TComparisonSession::SetDiffFunction(TDiffFunction function)
{
    FDiffFunction = function ? std::move(function) : TDiffFunction(ComputeDiff);
}

void TComparisonSession::RecomputeDiffAsync()
{
    const TDiffOptions options = Options();
    const std::int32_t jobId = ++FDiffRecomputeJobId;
    // Until this job's result arrives no older result may be taken for the
    // present lines, not even if starting this job fails.
    FNewestJob = {};
    FItemsStale = true;
    SetRecomputeInProgress(true);
    bool listed = false;
    try {
        // Erase the futures of finished jobs so the list stays short.
        FJobs.erase(std::remove_if(FJobs.begin(), FJobs.end(),
                                   [](const auto &job) {
                                       return job.wait_for(std::chrono::seconds(0))
                                              == std::future_status::ready;
                                   }),
                    FJobs.end());

        // The copies share the lists' data; this thread detaches when it
        // writes, so the worker reads lines nobody changes.
        auto promise = std::make_shared<std::promise<TRecomputeResult>>();
        std::shared_future<TRecomputeResult> future = promise->get_future().share();
        FJobs.push_back(future);
        listed = true;
        QThreadPool::globalInstance()->start(
            [this, jobId, promise, left = FLeftLines, right = FRightLines, options,
             compute = FDiffFunction] {
                TRecomputeResult result;
                try {
                    result = compute(left, right, options);
                } catch (...) {
                    // Left empty: the apply step leaves the rows as they are
                    // and a later ApplyPendingRecompute computes again.
                }
                // Queued before the future completes, because the destructor
                // waits for the futures: the session is alive while we post.
                QMetaObject::invokeMethod(
                    this, [this, jobId, result] { ApplyRecomputeResult(jobId, result); },
                    Qt::QueuedConnection);
                promise->set_value(std::move(result));
            });
        FNewestJob = std::move(future);
    } catch (...) {
        if (listed)
            FJobs.pop_back(); // never started, so never completed
        SetRecomputeInProgress(false);
        throw;
    }
}

void TComparisonSession::ApplyRecomputeResult(std::int32_t jobId, const TRecomputeResult &result)
{
    // A newer job, a new comparison or an earlier synchronous application
    // has made this result stale.
    if (jobId != FDiffRecomputeJobId || !FItemsStale)
        return;
    if (!result) {
        // The engine failed on the worker: keep the rows, but give the user
        // the normal cursor back.
        PopJobCursors();
        return;
    }
    FFolderMode = false;
    FDiffItems = *result;
    FItemsStale = false;
    FillGridRows();
    PopJobCursors();
    ReportStatistics(LineCountsText(), false);
    SetRecomputeInProgress(false);
}

void TComparisonSession::ApplyPendingRecompute()
{
    if (!FItemsStale)
        return;
    TRecomputeResult result;
    if (FNewestJob.valid())
        result = FNewestJob.get();
    if (!result)
        result = FDiffFunction(FLeftLines, FRightLines, Options());
    ApplyRecomputeResult(FDiffRecomputeJobId, result);
}

void TComparisonSession::StartRecomputeWithBusyCursor()
{
    FPrompts.PushBusyCursor();
    ++FJobBusyCursors;
    try {
        RecomputeDiffAsync();
    } catch (...) {
        --FJobBusyCursors;
        FPrompts.PopCursor();
        throw;
    }
}

void TComparisonSession::DropPendingRecompute()
{
    ++FDiffRecomputeJobId;
    FNewestJob = {};
    FItemsStale = false;
    PopJobCursors();
    SetRecomputeInProgress(false);
}

void TComparisonSession::PopJobCursors()
{
    for (; FJobBusyCursors > 0; --FJobBusyCursors)
        FPrompts.PopCursor();
}
