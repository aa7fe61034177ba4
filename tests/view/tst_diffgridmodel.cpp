// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffGridModel.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Row 0 equal, row 1 changed: 'int x = 10;' against 'int y = 10;'.
TGridRows ChangedRows(bool ignoreCase)
{
    TGridRows rows;
    rows.LeftLines = {u"same"_s, u"int x = 10;"_s};
    rows.RightLines = {u"same"_s, u"int y = 10;"_s};
    rows.Items = {{0, 0, dkEqual}, {1, 1, dkDifferent}};
    rows.IgnoreCase = ignoreCase;
    return rows;
}

} // namespace

class TestDiffGridModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keptRangesFollowEditsAndNewRows();
};

// Ranges are kept between paints; each change of what they depend on must
// show at the next call, in both cells of the row.
void TestDiffGridModel::keptRangesFollowEditsAndNewRows()
{
    using R = THighlightRanges;
    TDiffGridModel model;
    model.SetRows(ChangedRows(false));
    QCOMPARE(model.HighlightRanges(1, 1), R({{4, 1}}));
    QCOMPARE(model.HighlightRanges(1, 2), R({{4, 1}}));

    // An edit of the left line changes both cells.
    QVERIFY(model.SetCellText(1, 1, u"int Y = 10;"_s));
    QCOMPARE(model.HighlightRanges(1, 1), R({{4, 1}}));
    QVERIFY(model.SetCellText(1, 1, u"long y = 10;"_s));
    QCOMPARE(model.HighlightRanges(1, 1), R({{0, 4}}));
    QCOMPARE(model.HighlightRanges(1, 2), R({{0, 3}}));

    // So does an edit of the right line.
    QVERIFY(model.SetCellText(1, 2, u"long y = 10;"_s));
    QCOMPARE(model.HighlightRanges(1, 1), R());
    QCOMPARE(model.HighlightRanges(1, 2), R());

    // New rows bring new lines and a new ignore-case option.
    TGridRows cased = ChangedRows(false);
    cased.RightLines[1] = u"INT x = 10;"_s;
    model.SetRows(cased);
    QCOMPARE(model.HighlightRanges(1, 1), R({{0, 3}}));
    cased.IgnoreCase = true;
    model.SetRows(cased);
    QCOMPARE(model.HighlightRanges(1, 1), R());
    QCOMPARE(model.HighlightRanges(1, 2), R());
}

QTEST_GUILESS_MAIN(TestDiffGridModel)
#include "tst_diffgridmodel.moc"
