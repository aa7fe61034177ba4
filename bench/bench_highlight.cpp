// SPDX-License-Identifier: GPL-3.0-or-later
// Times ComputeHighlightRanges on two lines of about 100,000 tokens each
// (similar, unrelated with shared vocabulary, and with no word in common)
// and prints the median of three runs per case.

#include "HighlightRanges.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Source-like text: words from a vocabulary of `vocabulary` names with
// `prefix`, separated by a blank or a short run of punctuation.
QStringList RandomWords(QRandomGenerator &random, int count, int vocabulary, const QString &prefix)
{
    QStringList words;
    words.reserve(count);
    for (int k = 0; k < count; ++k)
        words.append(prefix + QString::number(random.bounded(vocabulary)));
    return words;
}

QString Join(QRandomGenerator &random, const QStringList &words)
{
    static const QStringList separators = {u" "_s, u" "_s, u" "_s, u", "_s, u"("_s, u") "_s, u" = "_s, u";"_s};
    QString line;
    for (const QString &word : words) {
        if (!line.isEmpty())
            line += separators[random.bounded(qsizetype(separators.size()))];
        line += word;
    }
    return line;
}

double MedianMs(const QString &a, const QString &b, int &rangeCount)
{
    std::vector<double> times;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        const THighlightRanges ranges = ComputeHighlightRanges(a, b, false);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        rangeCount = int(ranges.size());
    }
    std::sort(times.begin(), times.end());
    return times[1];
}

void Report(const char *name, const QString &a, const QString &b)
{
    int rangesA = 0;
    int rangesB = 0;
    const double ab = MedianMs(a, b, rangesA);
    const double ba = MedianMs(b, a, rangesB);
    std::printf("%-44s %7lld x %7lld tokens  %9.1f ms / %9.1f ms  (%d / %d ranges)\n", name,
                static_cast<long long>(TokenizeLine(a).Texts.size()),
                static_cast<long long>(TokenizeLine(b).Texts.size()), ab, ba, rangesA, rangesB);
}

} // namespace

int main()
{
    QRandomGenerator random(7);
    const int words = 50000; // and as many separators: about 100,000 tokens

    // Similar: 1% of the words replaced, spread over the whole line.
    const QStringList base = RandomWords(random, words, 2000, u"name"_s);
    QStringList edited = base;
    for (int k = 0; k < words / 100; ++k)
        edited[random.bounded(words)] = u"changed"_s + QString::number(k);
    QRandomGenerator separators(11);
    const QString similarA = Join(separators, base);
    separators.seed(11);
    const QString similarB = Join(separators, edited);
    Report("similar (1% of words changed)", similarA, similarB);

    // Unrelated text over the same vocabulary: many matches, no long runs.
    const QString unrelatedA = Join(random, RandomWords(random, words, 2000, u"name"_s));
    const QString unrelatedB = Join(random, RandomWords(random, words, 2000, u"name"_s));
    Report("unrelated, shared vocabulary", unrelatedA, unrelatedB);

    // No word in common: only the separators match.
    const QString otherB = Join(random, RandomWords(random, words, 2000, u"other"_s));
    Report("unrelated, no word in common", unrelatedA, otherB);
    return 0;
}
