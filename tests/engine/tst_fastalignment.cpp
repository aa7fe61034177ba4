// SPDX-License-Identifier: GPL-3.0-or-later
// The fast alignment must give exactly the plain alignment's matches, and
// therefore the same rows, on every input: checked on many random inputs
// with each of its paths forced in turn.

#include "DiffEngine.h"
#include "FastLineAligner.h"
#include "KeyInterning.h"
#include "LineAlignment.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using TIds = std::vector<std::int32_t>;
using TTuning = TFastLineAligner::TTuning;
using TRowMethod = TFastLineAligner::TRowMethod;

// Every path of the fast form, each forced down to the smallest inputs.
const QList<QPair<QString, TTuning>> &Tunings()
{
    static const QList<QPair<QString, TTuning>> tunings = {
        {u"default"_s, TTuning{}},
        {u"bit-parallel rows"_s, TTuning{0, TRowMethod::BitParallel, std::int64_t(1) << 40}},
        {u"threshold rows"_s, TTuning{0, TRowMethod::Threshold, std::int64_t(1) << 40}},
        {u"two threads"_s, TTuning{0, TRowMethod::ByCost, 1 << 12}},
    };
    return tunings;
}

TIds RandomIds(QRandomGenerator &random, int count, int distinct)
{
    TIds ids(std::size_t(count), 0);
    for (auto &id : ids)
        id = std::int32_t(random.bounded(distinct));
    return ids;
}

// A copy with a few lines changed, inserted or deleted: keeps the band narrow.
TIds EditedCopy(QRandomGenerator &random, const TIds &original, int distinct, int editPercent)
{
    TIds copy;
    for (std::int32_t id : original) {
        if (int(random.bounded(100)) >= editPercent) {
            copy.push_back(id);
            continue;
        }
        switch (random.bounded(3)) {
        case 0:
            copy.push_back(std::int32_t(random.bounded(distinct)));
            break;
        case 1:
            copy.push_back(std::int32_t(random.bounded(distinct)));
            copy.push_back(id);
            break;
        default:
            break;
        }
    }
    return copy;
}

QString Describe(const TIds &left, const TIds &right)
{
    const auto join = [](const TIds &ids) {
        QStringList parts;
        for (auto id : ids)
            parts.append(QString::number(id));
        return parts.join(u',');
    };
    return u"left [%1] right [%2]"_s.arg(join(left), join(right));
}

// Compares every tuning's matches with the plain ones; `distinct` bounds the ids.
bool SameAsPlain(const TIds &left, const TIds &right, int distinct, QString &failure)
{
    const LineMatches expected = TPlainLineAligner<TIds>(left, right).AlignLines();
    for (const auto &[name, tuning] : Tunings()) {
        if (TFastLineAligner(left, right, distinct, tuning).AlignLines() != expected) {
            failure = name + u": "_s + (left.size() + right.size() < 400 ? Describe(left, right) : u"large input"_s);
            return false;
        }
    }
    return true;
}

} // namespace

class TestFastAlignment : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matchesThePlainAlignmentOnSmallInputs();
    void matchesThePlainAlignmentAcrossWordBoundaries_data();
    void matchesThePlainAlignmentAcrossWordBoundaries();
    void matchesThePlainAlignmentOnLargeInputs();
    void lowerBoundNeverExceedsTheLcs();
    void internedIdsFollowKeyEquality_data();
    void internedIdsFollowKeyEquality();
    void computeDiffEqualsTheReference();
};

void TestFastAlignment::matchesThePlainAlignmentOnSmallInputs()
{
    QRandomGenerator random(1);
    for (int round = 0; round < 20000; ++round) {
        const int distinct = 1 + int(random.bounded(5));
        const TIds left = RandomIds(random, int(random.bounded(13)), distinct);
        const TIds right = round % 2 ? RandomIds(random, int(random.bounded(13)), distinct)
                                     : EditedCopy(random, left, distinct, 30);
        QString failure;
        QVERIFY2(SameAsPlain(left, right, distinct, failure), qPrintable(failure));
    }
}

void TestFastAlignment::matchesThePlainAlignmentAcrossWordBoundaries_data()
{
    QTest::addColumn<int>("leftCount");
    QTest::addColumn<int>("rightCount");
    for (int n : {1, 63, 64, 65, 127, 128, 129})
        for (int m : {63, 64, 65, 127, 128, 129})
            QTest::addRow("%d left lines against %d right lines", n, m) << n << m;
}

void TestFastAlignment::matchesThePlainAlignmentAcrossWordBoundaries()
{
    QFETCH(int, leftCount);
    QFETCH(int, rightCount);
    QRandomGenerator random(quint32(leftCount * 1000 + rightCount));
    for (int round = 0; round < 60; ++round) {
        const int distinct = 2 + int(random.bounded(round % 3 == 0 ? 200 : 6));
        const TIds left = RandomIds(random, leftCount, distinct);
        // Unrelated, lightly edited and heavily edited right sides, cut or padded to size.
        TIds right = round % 3 == 1 ? EditedCopy(random, left, distinct, round % 2 ? 3 : 40)
                                    : RandomIds(random, rightCount, distinct);
        right.resize(std::size_t(rightCount), std::int32_t(distinct - 1));
        QString failure;
        QVERIFY2(SameAsPlain(left, right, distinct, failure), qPrintable(failure));
    }
}

void TestFastAlignment::matchesThePlainAlignmentOnLargeInputs()
{
    // Large enough for the narrow band, the pair-following rows and two threads
    // under the default tuning; every input kind once per size.
    QRandomGenerator random(7);
    for (int size : {700, 2500}) {
        for (int distinct : {3, 40, 5000}) {
            const TIds left = RandomIds(random, size, distinct);
            for (int editPercent : {1, 20}) {
                const TIds right = EditedCopy(random, left, distinct, editPercent);
                QString failure;
                QVERIFY2(SameAsPlain(left, right, distinct, failure), qPrintable(failure));
            }
            QString failure;
            QVERIFY2(SameAsPlain(left, RandomIds(random, size, distinct), distinct, failure), qPrintable(failure));
        }
    }
}

void TestFastAlignment::lowerBoundNeverExceedsTheLcs()
{
    QRandomGenerator random(3);
    for (int round = 0; round < 3000; ++round) {
        const int distinct = 1 + int(random.bounded(round % 2 ? 4 : 60));
        const TIds left = RandomIds(random, int(random.bounded(40)), distinct);
        const TIds right = EditedCopy(random, left, distinct, int(random.bounded(60)));
        const int lcs = int(TPlainLineAligner<TIds>(left, right).AlignLines().size());
        QVERIFY2(TFastLineAligner(left, right, distinct).LcsLowerBound() <= lcs, qPrintable(Describe(left, right)));
    }
}

void TestFastAlignment::internedIdsFollowKeyEquality_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("distinct");
    QTest::newRow("a few lines") << 20 << 5;
    QTest::newRow("many repeated lines") << 5000 << 50;
    // Enough lines that the key table and the id lists get mappings of their own.
    QTest::newRow("enough lines for large tables") << 70000 << 50000;
}

void TestFastAlignment::internedIdsFollowKeyEquality()
{
    QFETCH(int, lineCount);
    QFETCH(int, distinct);
    QRandomGenerator random{quint32(lineCount)};
    const auto randomLines = [&] {
        QStringList lines;
        for (int i = 0; i < lineCount; ++i)
            lines.append(u"line %1"_s.arg(random.bounded(distinct)));
        return lines;
    };
    const QStringList left = randomLines();
    const QStringList right = randomLines();

    // Through the keys themselves, and through a function that upper-cases
    // them, which keeps equality as it is.
    const TInternedKeys plain = InternKeys(left, right);
    const TInternedKeys computed = InternKeys(left, right, [](const QString &line) { return line.toUpper(); });
    for (const TInternedKeys *keys : {&plain, &computed}) {
        // Ids are given in order of first occurrence, one per distinct key.
        QHash<QString, std::int32_t> idOfKey;
        for (const auto &[lines, ids] : {std::pair{&left, &keys->Left}, std::pair{&right, &keys->Right}}) {
            QCOMPARE(ids->size(), std::size_t(lines->size()));
            for (qsizetype i = 0; i < lines->size(); ++i) {
                const std::int32_t expected = idOfKey.value(lines->at(i), std::int32_t(idOfKey.size()));
                idOfKey.insert(lines->at(i), expected);
                QCOMPARE((*ids)[std::size_t(i)], expected);
            }
        }
        QCOMPARE(keys->DistinctCount, std::int32_t(idOfKey.size()));
    }
}

void TestFastAlignment::computeDiffEqualsTheReference()
{
    // Whole rows, through keys and interning, under every option set.
    const QStringList alphabet = {u"a"_s, u"A"_s, u" a"_s, u"a  b"_s, u"a b"_s, u"b"_s, u""_s, u"\t"_s, u"B "_s};
    QRandomGenerator random(11);
    for (int round = 0; round < 10000; ++round) {
        TDiffOptions options;
        const int bits = int(random.bounded(64));
        options.IgnoreCase = bits & 1;
        options.IgnoreAllWhiteSpace = bits & 2;
        options.IgnoreWsAmount = bits & 4;
        options.IgnoreLeadingWhiteSpace = bits & 8;
        options.IgnoreTrailingWhiteSpace = bits & 16;
        options.IgnoreBlankLines = bits & 32;
        const int size = round % 50 == 0 ? 150 : 14;
        QStringList left, right;
        for (int i = int(random.bounded(size)); i > 0; --i)
            left.append(alphabet[random.bounded(qsizetype(alphabet.size()))]);
        for (int i = int(random.bounded(size)); i > 0; --i)
            right.append(alphabet[random.bounded(qsizetype(alphabet.size()))]);
        QVERIFY2(ComputeDiff(left, right, options) == ComputeDiffReference(left, right, options),
                 qPrintable(left.join(u'|') + u" / "_s + right.join(u'|')));
    }
}

QTEST_GUILESS_MAIN(TestFastAlignment)
#include "tst_fastalignment.moc"
