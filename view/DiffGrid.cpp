// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiffGrid.h"

#include "CellPainting.h"
#include "DiffGridDelegate.h"
#include "DiffGridHeader.h"
#include "DiffGridModel.h"
#include "GridLayout.h"
#include "GridRowMapping.h"
#include "TextHeightCache.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

// What measuring one row's texts needs, taken once per font and not per
// row: a refill measures every row of a long file.
struct TDiffGrid::TTextMeasure {
    QFont Font;
    QFontMetrics Metrics;
    int OneLineHeight;
    int MaxCharWidth;

    explicit TTextMeasure(const QFont &font)
        : Font(font)
        , Metrics(font)
        , OneLineHeight(Metrics.boundingRect(QRect(0, 0, INT_MAX / 2, INT_MAX), PlainTextFlags(), u"x"_s).height())
        // Spacing added to the glyphs' advances would void the bound below.
        , MaxCharWidth(font.letterSpacing() == 0 && font.wordSpacing() == 0 ? Metrics.maxWidth() : 0)
    {
    }

    /// The height of `text` word-wrapped to `width` pixels.
    int TextHeight(const QString &text, int width) const
    {
        if (SurelyOneLine(text, width))
            return OneLineHeight;
        return Metrics.boundingRect(QRect(0, 0, width, INT_MAX), PlainTextFlags(), text).height();
    }

    /// True when the text cannot wrap: printable ASCII only, which the font
    /// draws itself, each character at most MaxCharWidth wide. Laying the
    /// text out is what makes a refill slow; most lines need no layout.
    bool SurelyOneLine(const QString &text, int width) const
    {
        if (MaxCharWidth <= 0 || text.size() > width / MaxCharWidth)
            return false;
        return std::all_of(text.cbegin(), text.cend(),
                           [](QChar c) { return c.unicode() >= 0x20 && c.unicode() <= 0x7E; });
    }
};

// One way of measuring rows: a font and the layout widths of the two text
// columns, with the cached text heights that belong to them.
struct TDiffGrid::THeightSource {
    const TTextMeasure &Measure;
    int LayoutWidths[2];
    std::vector<int> *Heights[2];

    THeightSource(const TTextMeasure &measure, int layoutWidth1, int layoutWidth2, TTextHeightCache &cache)
        : Measure(measure)
        , LayoutWidths{layoutWidth1, layoutWidth2}
        , Heights{&cache.Heights(1, layoutWidth1, measure.Font), &cache.Heights(2, layoutWidth2, measure.Font)}
    {
    }
};

namespace {

// A slice of row heights gives the interface thread back after this long.
constexpr qint64 kHeightSliceNs = 20'000'000;

// Resizing a row repaints the (hidden) row header from that row's position
// on, and finding the position walks every row before it: a pass over many
// rows would take quadratic time. With the header's updates off a resize is
// constant time; the table repaints once for all of them.
class TRowResizeBatch
{
public:
    explicit TRowResizeBatch(QWidget *header)
        : FHeader(header)
        , FWasEnabled(header->updatesEnabled())
    {
        FHeader->setUpdatesEnabled(false);
    }
    ~TRowResizeBatch() { FHeader->setUpdatesEnabled(FWasEnabled); }
    TRowResizeBatch(const TRowResizeBatch &) = delete;
    TRowResizeBatch &operator=(const TRowResizeBatch &) = delete;

private:
    QWidget *FHeader;
    bool FWasEnabled;
};

} // namespace

TDiffGrid::TDiffGrid(QWidget *parent)
    : QTableView(parent)
    , FModel(new TDiffGridModel(this))
    , FDelegate(new TDiffGridDelegate(this))
    , FHeader(new TDiffGridHeader(this))
    , FHeightSlices(new QTimer(this))
    , FTextHeights(std::make_unique<TTextHeightCache>())
{
    setHorizontalHeader(FHeader);
    setModel(FModel);
    setItemDelegate(FDelegate);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    setShowGrid(false); // the delegate draws the lines (horizontal ones optional)
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    setFont(DesignFont());
    FBaseRowHeight = BaseRowHeightFor(TextLineHeight(QFontMetrics(font())));
    verticalHeader()->setDefaultSectionSize(FBaseRowHeight);
    FHeader->SetRowHeight(HeaderRowHeightFor(FBaseRowHeight));
    for (int c = 0; c < kGridColumnCount; ++c)
        setColumnWidth(c, kDesignColumnWidths[c]);

    // Row 1 is current from the start, like a fresh grid's; it is not a
    // selection change, so the frame bookkeeping starts at -1.
    SetCurrentGridRow(1);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &) { CurrentRowChanged(current); });

    viewport()->installEventFilter(this);
    FHeader->viewport()->installEventFilter(this);

    FTextHeights->Reset(FModel->rowCount());
    // Not 0: a zero timer may run two slices back to back before other
    // timers get their turn.
    FHeightSlices->setInterval(1);
    connect(FHeightSlices, &QTimer::timeout, this, &TDiffGrid::ApplyRowHeightSlice);
    // Scrolling is per row: the value is the top row. What comes into view
    // gets its heights before it is painted.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TDiffGrid::ApplyScreenFrom);
}

TDiffGrid::~TDiffGrid() = default;

QFont TDiffGrid::DesignFont()
{
    QFont font(u"Courier New"_s);
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(15);
    return font;
}

// --- rows ------------------------------------------------------------------

void TDiffGrid::SetRows(const TGridRows &rows)
{
    const int oldRow = CurrentGridRow();
    const int oldTop = TopRow();
    // Nothing is measured while the model and the cache disagree.
    FPassMeasure.reset();
    FHeightSlices->stop();
    FModel->SetRows(rows);
    FTextHeights->Reset(FModel->rowCount());
    AdjustAllRowHeights();
    const int last = RowCount() - 1;
    // The reset dropped the view's current index; putting it back is no
    // selection change.
    FRefilling = true;
    SetCurrentGridRow(oldRow >= 1 ? std::min(oldRow, last) : 1);
    FRefilling = false;
    SetTopRow(std::min(oldTop, last));
}

const TGridRows &TDiffGrid::Rows() const
{
    return FModel->Rows();
}

int TDiffGrid::RowCount() const
{
    return GridRowOfModelRow(FModel->rowCount() - 1) + 1;
}

int TDiffGrid::ColumnCount() const
{
    return kGridColumnCount;
}

QString TDiffGrid::CellText(int gridCol, int gridRow) const
{
    return FModel->CellText(ModelRowOfGridRow(gridRow), gridCol);
}

void TDiffGrid::SetCellText(int gridCol, int gridRow, const QString &text)
{
    if (FModel->SetCellText(ModelRowOfGridRow(gridRow), gridCol, text))
        FTextHeights->ForgetCell(ModelRowOfGridRow(gridRow), gridCol);
}

// --- appearance ----------------------------------------------------------------

void TDiffGrid::SetRowColors(TColorValue added, TColorValue removed, TColorValue changed,
                             TColorValue differentText)
{
    FDelegate->SetRowColors(added, removed, changed, differentText);
    viewport()->update();
}

void TDiffGrid::SetGridFont(const QFont &font)
{
    setFont(font);
}

void TDiffGrid::SetShowGridLines(bool show)
{
    FDelegate->SetShowHorizontalLines(show);
    FHeader->SetShowHorizontalLines(show);
    viewport()->update();
}

bool TDiffGrid::ShowGridLines() const
{
    return FDelegate->ShowHorizontalLines();
}

void TDiffGrid::SetLineNumbersVisible(bool visible)
{
    setColumnWidth(0, visible ? kLineNumberColumnWidth : 0);
}

// --- layout ----------------------------------------------------------------

int TDiffGrid::RowHeight(int gridRow) const
{
    if (gridRow == kHeaderGridRow)
        return FHeader->height();
    if (gridRow < 1 || gridRow >= RowCount())
        return 0;
    return rowHeight(ModelRowOfGridRow(gridRow));
}

void TDiffGrid::AdjustRowHeight(int gridRow)
{
    if (gridRow < 1 || gridRow >= RowCount())
        return;
    const TTextMeasure measure(font());
    ApplyRowHeight(ModelRowOfGridRow(gridRow), THeightSource(measure, TextLayoutWidth(columnWidth(1)),
                                                             TextLayoutWidth(columnWidth(2)), *FTextHeights));
}

void TDiffGrid::AdjustAllRowHeights()
{
    FHeader->SetRowHeight(HeaderRowHeightFor(FBaseRowHeight));
    FPassMeasure = std::make_unique<TTextMeasure>(font());
    for (int c = 1; c < kGridColumnCount; ++c)
        FPassLayoutWidths[c - 1] = TextLayoutWidth(columnWidth(c));
    FPassNextRow = 0;
    // The last screenful decides the scroll range, the top one what is seen;
    // the slices do the rest.
    ApplyScreenAbove(FModel->rowCount() - 1);
    ApplyScreenFrom(verticalScrollBar()->value());
    // The scroll range follows now, so a top row set next is not clamped
    // to the old heights.
    updateGeometries();
    FHeightSlices->start();
}

bool TDiffGrid::RowHeightsPending() const
{
    return FHeightSlices->isActive();
}

// The row's height by `source`, set on the row and returned; texts are laid
// out only when the cache does not know them.
int TDiffGrid::ApplyRowHeight(int modelRow, const THeightSource &source)
{
    if (modelRow < 0 || std::size_t(modelRow) >= source.Heights[0]->size())
        return rowHeight(modelRow);
    int tallest = 0;
    for (int i = 0; i < 2; ++i) {
        int &known = (*source.Heights[i])[std::size_t(modelRow)];
        if (known == TTextHeightCache::kUnknownHeight) {
            const QString text = FModel->CellText(modelRow, i + 1);
            known = text.isEmpty() ? 0 : source.Measure.TextHeight(text, source.LayoutWidths[i]);
            FTextMeasureCount += text.isEmpty() ? 0 : 1;
        }
        tallest = std::max(tallest, known);
    }
    const int height = RowHeightFor(FBaseRowHeight, tallest);
    if (rowHeight(modelRow) != height)
        setRowHeight(modelRow, height);
    return height;
}

TDiffGrid::THeightSource TDiffGrid::PassSource()
{
    return THeightSource(*FPassMeasure, FPassLayoutWidths[0], FPassLayoutWidths[1], *FTextHeights);
}

// The rows a view with `topModelRow` at the top shows, partly shown ones included.
void TDiffGrid::ApplyScreenFrom(int topModelRow)
{
    if (!FPassMeasure)
        return;
    const THeightSource source = PassSource();
    const TRowResizeBatch batch(verticalHeader());
    const int count = FModel->rowCount();
    const int height = std::max(1, viewport()->height());
    int y = 0;
    for (int row = std::max(0, topModelRow); row < count && y < height; ++row)
        y += ApplyRowHeight(row, source);
}

// `modelRow` and the rows above it that a view with it at the bottom could
// show: no row is lower than the base height, so a screenful of those.
void TDiffGrid::ApplyScreenAbove(int modelRow)
{
    if (!FPassMeasure || modelRow < 0)
        return;
    const THeightSource source = PassSource();
    const TRowResizeBatch batch(verticalHeader());
    const int first = std::max(0, modelRow - viewport()->height() / std::max(1, FBaseRowHeight) - 1);
    const int last = std::min(modelRow, FModel->rowCount() - 1);
    for (int row = first; row <= last; ++row)
        ApplyRowHeight(row, source);
}

void TDiffGrid::ApplyRowHeightSlice()
{
    QElapsedTimer clock;
    clock.start();
    const int count = FModel->rowCount();
    if (FPassMeasure) {
        const THeightSource source = PassSource();
        const TRowResizeBatch batch(verticalHeader());
        while (FPassNextRow < count) {
            ApplyRowHeight(FPassNextRow++, source);
            if (FPassNextRow % 16 == 0 && clock.nsecsElapsed() >= kHeightSliceNs)
                break;
        }
    }
    if (!FPassMeasure || FPassNextRow >= count) {
        FHeightSlices->stop();
        Q_EMIT rowHeightsSettled();
    }
}

QRect TDiffGrid::CellRect(int gridCol, int gridRow) const
{
    if (gridCol < 0 || gridCol >= kGridColumnCount || gridRow < 0 || gridRow >= RowCount())
        return {};
    if (gridRow == kHeaderGridRow) {
        return QRect(FHeader->sectionViewportPosition(gridCol), -FHeader->height(),
                     FHeader->sectionSize(gridCol), FHeader->height());
    }
    return visualRect(FModel->index(ModelRowOfGridRow(gridRow), gridCol));
}

QPoint TDiffGrid::CellAt(const QPoint &pos) const
{
    if (pos.y() < 0) {
        const int column = pos.y() >= -FHeader->height() ? FHeader->logicalIndexAt(pos.x()) : -1;
        return column >= 0 ? QPoint(column, kHeaderGridRow) : QPoint(-1, -1);
    }
    const int row = rowAt(pos.y());
    const int column = columnAt(pos.x());
    if (row < 0 || column < 0)
        return QPoint(-1, -1);
    return QPoint(column, GridRowOfModelRow(row));
}

// --- current row and scrolling -------------------------------------------------

int TDiffGrid::CurrentGridRow() const
{
    return GridRowOfModelRow(currentIndex().isValid() ? currentIndex().row() : -1);
}

int TDiffGrid::CurrentGridColumn() const
{
    return currentIndex().isValid() ? currentIndex().column() : 1;
}

void TDiffGrid::SetCurrentGridRow(int gridRow)
{
    if (gridRow < 1 || gridRow >= RowCount())
        return;
    setCurrentIndex(FModel->index(ModelRowOfGridRow(gridRow), CurrentGridColumn()));
}

int TDiffGrid::TopRow() const
{
    const int row = rowAt(0);
    return row >= 0 ? GridRowOfModelRow(row) : 1;
}

void TDiffGrid::SetTopRow(int gridRow)
{
    // Scrolling is per row, so the scroll value is the top model row.
    verticalScrollBar()->setValue(std::max(0, ModelRowOfGridRow(gridRow)));
}

int TDiffGrid::FullyVisibleRowCount() const
{
    const int height = viewport()->height();
    int count = 0;
    for (int row = rowAt(0); row >= 0 && row < FModel->rowCount(); ++row) {
        if (rowViewportPosition(row) + rowHeight(row) > height)
            break;
        ++count;
    }
    return std::max(1, count);
}

int TDiffGrid::SelectedRow() const
{
    const int row = CurrentGridRow();
    return row >= 1 ? row : 1;
}

int TDiffGrid::SelectedCol() const
{
    return CurrentGridColumn();
}

void TDiffGrid::SelectRow(int gridRow)
{
    SetCurrentGridRow(gridRow);
}

void TDiffGrid::SelectCol(int gridCol)
{
    if (gridCol < 0 || gridCol >= kGridColumnCount)
        return;
    const int row = CurrentGridRow();
    setCurrentIndex(FModel->index(ModelRowOfGridRow(row >= 1 ? row : 1), gridCol));
}

// --- repainting --------------------------------------------------------------

void TDiffGrid::InvalidateRow(int gridRow)
{
    if (gridRow < 0 || gridRow >= RowCount())
        return;
    if (gridRow == kHeaderGridRow) {
        FHeader->viewport()->update();
        return;
    }
    const int modelRow = ModelRowOfGridRow(gridRow);
    const int left = columnViewportPosition(0);
    const int last = kGridColumnCount - 1;
    const int right = columnViewportPosition(last) + columnWidth(last);
    viewport()->update(QRect(left, rowViewportPosition(modelRow), right - left, rowHeight(modelRow)));
}

void TDiffGrid::CurrentRowChanged(const QModelIndex &current)
{
    if (FRefilling)
        return;
    // The old row loses its frame and the new one gains it; each must be
    // repainted across all columns, not only the cells the view refreshes.
    const int gridRow = GridRowOfModelRow(current.isValid() ? current.row() : -1);
    if (gridRow != FLastFramedRow) {
        InvalidateRow(FLastFramedRow);
        InvalidateRow(gridRow);
        FLastFramedRow = gridRow;
    }
    Q_EMIT currentGridRowChanged(gridRow);
}

// --- mouse -------------------------------------------------------------------

bool TDiffGrid::eventFilter(QObject *watched, QEvent *event)
{
    const bool onHeader = watched == FHeader->viewport();
    if (onHeader || watched == viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            // Both widgets start at the left of column 0; the header row
            // lies right above the viewport.
            const auto *mouse = static_cast<QMouseEvent *>(event);
            QPoint pos = mouse->position().toPoint();
            if (onHeader)
                pos.ry() -= FHeader->height();
            GridMousePress(mouse->button(), pos);
            break;
        }
        case QEvent::MouseButtonRelease:
            GridMouseRelease(static_cast<QMouseEvent *>(event)->button());
            break;
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void TDiffGrid::GridMousePress(Qt::MouseButton button, const QPoint &pos)
{
    FInColResize = false;
    if (button != Qt::LeftButton)
        return;
    const QPoint cell = CellAt(pos);
    FLastMouseCol = cell.x();
    FLastMouseRow = cell.y();
    FInColResize = PressGrabsColumnBorder(cell.y(), pos.x(), HeaderRightEdges());
}

void TDiffGrid::GridMouseRelease(Qt::MouseButton button)
{
    // The dragged border changed a text column's width: re-wrap every row.
    if (button == Qt::LeftButton && FInColResize)
        AdjustAllRowHeights();
    FInColResize = false;
}

QList<int> TDiffGrid::HeaderRightEdges() const
{
    QList<int> edges;
    for (int c = 0; c < kGridColumnCount; ++c)
        edges.append(FHeader->sectionViewportPosition(c) + FHeader->sectionSize(c));
    return edges;
}

void TDiffGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    const QPoint cell = CellAt(event->position().toPoint());
    if (cell.y() >= 1)
        Q_EMIT cellDoubleClicked(cell.x(), cell.y());
}

void TDiffGrid::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    // Placing a row at the bottom sums the heights of the rows above it.
    if (index.isValid())
        ApplyScreenAbove(index.row());
    QTableView::scrollTo(index, hint);
}

void TDiffGrid::resizeEvent(QResizeEvent *event)
{
    // A taller view shows rows that may still wait for the slices, and the
    // scroll range depends on the last screenful.
    ApplyScreenAbove(FModel->rowCount() - 1);
    ApplyScreenFrom(verticalScrollBar()->value());
    QTableView::resizeEvent(event);
}

void TDiffGrid::updateGeometries()
{
    QTableView::updateGeometries();
    // The columns are sized to the grid; nothing may scroll sideways.
    horizontalScrollBar()->setRange(0, 0);
}
