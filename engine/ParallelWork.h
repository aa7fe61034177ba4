// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <exception>
#include <thread>

/// Runs `first` and `second`, on two threads when `worthIt` and a spare core
/// is free, else one after the other. Returns when both are done; an
/// exception from either is rethrown here.
template<typename First, typename Second>
void RunBoth(bool worthIt, First &&first, Second &&second)
{
    // Spare cores shared by every caller in the process, so nested and
    // concurrent comparisons never start more threads than there are cores.
    static std::atomic<int> spareCores{int(std::thread::hardware_concurrency()) - 1};

    int spare = worthIt ? spareCores.load() : 0;
    while (spare > 0 && !spareCores.compare_exchange_weak(spare, spare - 1)) {
    }
    if (spare <= 0) {
        first();
        second();
        return;
    }

    std::exception_ptr firstError;
    std::thread helper([&] {
        try {
            first();
        } catch (...) {
            firstError = std::current_exception();
        }
    });
    try {
        second();
    } catch (...) {
        helper.join();
        ++spareCores;
        throw;
    }
    helper.join();
    ++spareCores;
    if (firstError)
        std::rethrow_exception(firstError);
}
