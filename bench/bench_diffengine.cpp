// SPDX-License-Identifier: GPL-3.0-or-later
// Times ComputeDiff and its plain reference form on generated inputs and
// prints the median of three runs of each.

#include "DiffEngine.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QString RandomLine(QRandomGenerator &random)
{
    // Source-like lines: an indent and a few words from a small vocabulary.
    static const QStringList words = {u"int"_s, u"return"_s, u"value"_s, u"index"_s, u"if"_s, u"("_s, u")"_s,
                                      u"{"_s, u"}"_s, u"count"_s, u"="_s, u"+"_s, u"name"_s, u"list"_s};
    QString line(int(random.bounded(4)) * 4, u' ');
    const int wordCount = 2 + int(random.bounded(8));
    for (int w = 0; w < wordCount; ++w)
        line += words[random.bounded(qsizetype(words.size()))] + u' ';
    return line + QString::number(random.bounded(1000));
}

QStringList RandomFile(QRandomGenerator &random, int lineCount)
{
    QStringList lines;
    lines.reserve(lineCount);
    for (int i = 0; i < lineCount; ++i)
        lines.append(RandomLine(random));
    return lines;
}

// A copy in which about `percent` of the lines were changed, inserted or deleted.
QStringList EditedCopy(QRandomGenerator &random, const QStringList &original, int percent)
{
    QStringList copy;
    copy.reserve(original.size() + original.size() / 50);
    for (const QString &line : original) {
        if (int(random.bounded(100)) >= percent) {
            copy.append(line);
            continue;
        }
        switch (random.bounded(3)) {
        case 0:
            copy.append(line + u" changed"_s);
            break;
        case 1:
            copy.append(RandomLine(random));
            copy.append(line);
            break;
        default:
            break; // deleted
        }
    }
    return copy;
}

double MedianMilliseconds(const std::function<void()> &work, int runs)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// ComputeDiff against the plain reference form on the same input.
void Report(const char *name, const QStringList &left, const QStringList &right)
{
    qsizetype rowCount = 0;
    const double fast = MedianMilliseconds([&] { rowCount = ComputeDiff(left, right, TDiffOptions()).size(); }, 3);
    const double plain = MedianMilliseconds([&] { ComputeDiffReference(left, right, TDiffOptions()); }, 3);
    std::printf("%-40s %6lld x %6lld lines %6lld rows  ComputeDiff %8.1f ms  reference %8.1f ms\n", name,
                static_cast<long long>(left.size()), static_cast<long long>(right.size()),
                static_cast<long long>(rowCount), fast, plain);
}

} // namespace

int main()
{
    QRandomGenerator random(42);
    const QStringList base = RandomFile(random, 20000);
    Report("20,000 lines vs a copy with 1% changed", base, EditedCopy(random, base, 1));
    Report("two unrelated 5,000-line files", RandomFile(random, 5000), RandomFile(random, 5000));
    return 0;
}
