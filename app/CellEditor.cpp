// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellEditor.h"

#include "CommandRunner.h"
#include "DiffGrid.h"
#include "GridLayout.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The editor widget. Pasted and dropped text loses its line breaks as it
// comes in, so the document only ever holds one line; the text is read
// back raw, because the plain-text reading turns non-breaking spaces into
// spaces and would change characters the user never touched.
class TCellEditorWidget final : public QPlainTextEdit
{
public:
    explicit TCellEditorWidget(QWidget *parent)
        : QPlainTextEdit(parent)
    {
        // With no document margin and one pixel above, the text sits
        // where the cell draws it.
        setViewportMargins(0, kCellTextMargin - 1, 0, 0);
    }

protected:
    void insertFromMimeData(const QMimeData *source) override
    {
        if (!source || !source->hasText())
            return;
        QString text = source->text();
        text.remove(u"\r\n"_s);
        text.remove(u'\r');
        text.remove(u'\n');
        textCursor().insertText(text);
        ensureCursorVisible();
    }
};

} // namespace

TCellEditor::TCellEditor(TDiffGrid &grid, TComparisonSession &session, TPrompts &prompts, QObject *parent)
    : QObject(parent)
    , FGrid(grid)
    , FSession(session)
    , FPrompts(prompts)
    , FPlaceTimer(new QTimer(this))
{
    FPlaceTimer->setSingleShot(true);
    FPlaceTimer->setInterval(0);
    connect(FPlaceTimer, &QTimer::timeout, this, &TCellEditor::PlaceOpenEditor);
    // The editor is a child of the viewport: it must follow its cell when
    // the rows scroll or change height and when the columns are resized.
    const auto later = [this] {
        if (IsEditing())
            FPlaceTimer->start();
    };
    connect(FGrid.verticalScrollBar(), &QScrollBar::valueChanged, this, later);
    connect(FGrid.horizontalHeader(), &QHeaderView::sectionResized, this, later);
    connect(FGrid.verticalHeader(), &QHeaderView::sectionResized, this, later);
    FGrid.installEventFilter(this);
    EnsureCellEditor();
}

TCellEditor::~TCellEditor()
{
    // The editor outlives this object inside the grid; it must not call back.
    if (FCellEditor)
        FCellEditor->removeEventFilter(this);
}

void TCellEditor::EnsureCellEditor()
{
    if (!FCellEditor) {
        auto *editor = new TCellEditorWidget(FGrid.viewport());
        editor->setObjectName(u"FCellEditor"_s);
        editor->setFrameShape(QFrame::NoFrame);
        editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        editor->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        editor->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        editor->setTabChangesFocus(false); // Tab is a character of the line
        editor->document()->setDocumentMargin(0);
        editor->setFont(FGrid.GridFont());
        // The background of a plain text cell, also in the margin strip.
        QPalette palette = editor->palette();
        const QColor window = FGrid.palette().color(QPalette::Base);
        palette.setColor(QPalette::Base, window);
        palette.setColor(QPalette::Window, window);
        editor->setPalette(palette);
        editor->setAutoFillBackground(true);
        editor->hide();
        editor->installEventFilter(this);
        FCellEditor = editor;
    }
    if (FCellEditor->isHidden()) {
        FEditingRow = -1;
        FEditingCol = -1;
        FEditingLine = -1;
        FInCellEditCommit = false;
    }
}

bool TCellEditor::IsEditing() const
{
    return FCellEditor && !FCellEditor->isHidden() && FEditingRow >= 0;
}

void TCellEditor::PlaceCellEditor(int col, int row)
{
    FCellEditor->setGeometry(FGrid.CellRect(col, row).adjusted(2, 1, -2, -1));
}

void TCellEditor::PlaceOpenEditor()
{
    if (IsEditing())
        PlaceCellEditor(FEditingCol, FEditingRow);
}

void TCellEditor::BeginCellEdit(int col, int row)
{
    EnsureCellEditor();
    // Rows still waiting for their recomputed items would map the cell to
    // a line of the lists as they were before the last change.
    FSession.ApplyPendingRecompute();
    const int line = FSession.CellLineIndex(col, row);
    if (line < 0) {
        FPrompts.Beep();
        return;
    }
    if (!FCellEditor->isHidden() && !FInCellEditCommit)
        EndCellEdit(true); // an edit changes no line's position: `line` still holds
    FEditingCol = col;
    FEditingRow = row;
    FEditingLine = line;
    FCellEditor->setFont(FGrid.GridFont());
    FCellEditor->setAccessibleName(col == 1 ? Translate(u"Left line"_s) : Translate(u"Right line"_s));
    FCellEditor->setPlainText((col == 1 ? FSession.LeftLines() : FSession.RightLines()).at(line));
    PlaceCellEditor(col, row);
    FCellEditor->setReadOnly(false);
    FCellEditor->show();
    FCellEditor->raise();
    FCellEditor->setFocus(Qt::OtherFocusReason);
    FCellEditor->selectAll();
}

void TCellEditor::EndCellEdit(bool accept)
{
    if (!FCellEditor || FCellEditor->isHidden())
        return;
    const auto close = [this] {
        const bool hadFocus = FCellEditor->hasFocus();
        FEditingCol = -1;
        FEditingRow = -1;
        FEditingLine = -1;
        FCellEditor->hide();
        if (hadFocus || !QApplication::focusWidget())
            FGrid.setFocus(Qt::OtherFocusReason);
    };
    if (accept && !FInCellEditCommit) {
        try {
            Commit();
        } catch (...) {
            close();
            throw;
        }
    }
    close();
}

void TCellEditor::Commit()
{
    FInCellEditCommit = true;
    struct TResetFlag {
        bool &Flag;
        ~TResetFlag() { Flag = false; }
    } reset{FInCellEditCommit};

    const int col = FEditingCol;
    const int line = FEditingLine;
    const QStringList &lines = col == 1 ? FSession.LeftLines() : FSession.RightLines();
    // The lists do not change while an edit is open (every command that
    // changes them stores the edit first); this only guards a comparison
    // that replaced them behind the editor's back.
    if (FSession.FolderMode() || (col != 1 && col != 2) || line < 0 || line >= lines.size())
        return;
    FSession.CommitLineEdit(col, line, FCellEditor->document()->toRawText());

    const QString stored = (col == 1 ? FSession.LeftLines() : FSession.RightLines()).at(line);
    FGrid.SetCellText(col, FEditingRow, stored);
    FGrid.AdjustRowHeight(FEditingRow);
    FGrid.InvalidateRow(FEditingRow);
    FGrid.SelectRow(std::clamp(FEditingRow, 1, FGrid.RowCount() - 1));
}

void TCellEditor::EditSelectedCell()
{
    int col = FGrid.CurrentGridColumn();
    const int row = FGrid.CurrentGridRow();
    // The grid selects whole rows; a double-click edits the side clicked.
    if (FGrid.LastMouseRow() == row && (FGrid.LastMouseCol() == 1 || FGrid.LastMouseCol() == 2))
        col = FGrid.LastMouseCol();
    BeginCellEdit(col, row);
}

bool TCellEditor::GridKeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (key == Qt::Key_F2) {
        BeginCellEdit(FGrid.CurrentGridColumn(), FGrid.CurrentGridRow());
        return true;
    }
    if (key == Qt::Key_C && shift.testFlag(Qt::ControlModifier)) {
        const int row = FGrid.CurrentGridRow();
        const int col = FGrid.CurrentGridColumn();
        if (row > 0 && (col == 1 || col == 2))
            QGuiApplication::clipboard()->setText(FGrid.CellText(col, row));
        return true;
    }
    if (key == Qt::Key_Escape && FCellEditor && !FCellEditor->isHidden()) {
        EndCellEdit(false);
        return true;
    }
    return false;
}

bool TCellEditor::CellEditorKeyDown(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        EndCellEdit(true);
        return true;
    }
    if (key == Qt::Key_Escape) {
        EndCellEdit(false);
        return true;
    }
    return false;
}

void TCellEditor::CellEditorExit()
{
    if (IsEditing() && !FInCellEditCommit)
        EndCellEdit(true);
}

void TCellEditor::GridRowsReplaced()
{
    if (!IsEditing())
        return;
    const TGridRows &rows = FGrid.Rows();
    int row = -1;
    if (!rows.FolderMode) {
        for (qsizetype i = 0; i < rows.Items.size(); ++i) {
            const TDiffItem &item = rows.Items[i];
            if ((FEditingCol == 1 ? item.LeftIndex : item.RightIndex) == FEditingLine) {
                row = int(i) + 1;
                break;
            }
        }
    }
    if (row < 0) {
        // The line is no longer shown: store what was typed and close.
        RunCommand(FPrompts, [this] { EndCellEdit(true); });
        return;
    }
    FEditingRow = row;
    PlaceCellEditor(FEditingCol, FEditingRow);
}

bool TCellEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (FCellEditor && watched == FCellEditor) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            bool consumed = false;
            RunCommand(FPrompts, [&] { consumed = CellEditorKeyDown(key->key(), key->modifiers()); });
            return consumed;
        }
        case QEvent::FocusOut: {
            // A menu or another window taking the focus for a while is no
            // leaving: the focus comes back to the editor.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                RunCommand(FPrompts, [this] { CellEditorExit(); });
            break;
        }
        default:
            break;
        }
    } else if (watched == &FGrid) {
        switch (event->type()) {
        case QEvent::ShortcutOverride: {
            // F2 belongs to the grid while it has the focus, before the
            // window's "Edit Selected..." shortcut.
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_F2) {
                key->accept();
                return true;
            }
            break;
        }
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            bool consumed = false;
            RunCommand(FPrompts, [&] { consumed = GridKeyDown(key->key(), key->modifiers()); });
            return consumed;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
