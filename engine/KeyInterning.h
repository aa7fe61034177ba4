// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "HugePageAllocator.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

/// One id per line.
using TKeyIds = TLargeInt32Vector;

/// Line keys replaced by dense ids: two keys get the same id exactly when
/// they are identical code unit for code unit. Ids run 0..DistinctCount-1,
/// in order of first occurrence, left lines first.
struct TInternedKeys {
    TKeyIds Left;
    TKeyIds Right;
    std::int32_t DistinctCount = 0;
};

/// Interns the keys of both sides in one table, so the alignment compares
/// integers instead of strings.
TInternedKeys InternKeys(const QStringList &leftKeys, const QStringList &rightKeys);

/// The same ids as InternKeys over `keyOf(line)` of every line of each
/// side, made one line at a time: only the distinct keys are held at once.
TInternedKeys InternKeys(const QStringList &leftLines, const QStringList &rightLines,
                         const std::function<QString(const QString &)> &keyOf);
