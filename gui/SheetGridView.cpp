#include "gui/SheetGridView.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <cmath>

#include "gui/CellEditor.h"
#include "gui/SheetCellDelegate.h"
#include "gui/SheetTableModel.h"
#include "render/RowHeightFitter.h"
#include "render/SheetLayout.h"
#include "sheet/TabText.h"
#include "sheet/Worksheet.h"

namespace tombra::gui {

namespace {

int pixels(double points) {
    return static_cast<int>(std::lround(points * SheetCellDelegate::kPixelsPerPoint));
}

// The key sequences the grid answers itself rather than leaving to a window's shortcuts.
bool ownSequence(QKeyEvent* key) {
    return key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
           key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Undo) ||
           key->matches(QKeySequence::Redo) ||
           key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier;
}

}  // namespace

SheetGridView::SheetGridView(SheetTableModel* model, QWidget* parent)
    : QTableView(parent), model_(model), delegate_(new SheetCellDelegate(this)) {
    setObjectName(QStringLiteral("SheetGrid"));
    setModel(model);
    setItemDelegate(delegate_);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    // The input method talks to the grid itself until a cell's editor is open.
    setAttribute(Qt::WA_InputMethodEnabled);
    setGridStyle(Qt::SolidLine);
    setStyleSheet(QStringLiteral("QTableView { gridline-color: #d8d8d8; }"));
    setWordWrap(false);
    horizontalHeader()->setMinimumSectionSize(2);
    verticalHeader()->setMinimumSectionSize(2);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    connect(delegate_, &SheetCellDelegate::moveAfterEdit, this, &SheetGridView::moveAfterEdit);
    connect(model, &QAbstractItemModel::modelReset, this, &SheetGridView::applySheetLayout);
    applySheetLayout();
    setCurrentIndex(model->index(0, 0));
}

void SheetGridView::applySheetLayout() {
    const sheet::Worksheet* ws = model_->sheet();
    clearSpans();
    if (!ws) return;
    for (int c = 1; c <= model_->columnCount(); ++c) {
        setColumnWidth(c - 1, std::max(2, pixels(ws->columnWidthPoints(c))));
        setColumnHidden(c - 1, ws->columnHidden(c));
    }
    const std::optional<sheet::Area> used = ws->usedArea();
    const int lastRow = used ? std::min(used->bottom + 1, model_->rowCount()) : 0;
    // Rows as they print: an auto-height row grows to its largest font or its lines, as the
    // printed pages beside the grid show it.
    render::RowHeightFitter fitter(*ws);
    const render::SheetLayout printed(*ws, QSizeF(1e7, 1e7), &fitter);
    auto heightOf = [&](int row) {
        if (!printed.empty() && row >= printed.printArea().top && row <= printed.printArea().bottom)
            return printed.rowHeight(row);
        return ws->rowHeight(row);
    };
    // A row of its own height is set; the rest keep the sheet's default.
    const int usual = pixels(ws->rowHeight(model_->rowCount()));
    verticalHeader()->setDefaultSectionSize(std::max(2, usual));
    for (int r = 1; r <= lastRow; ++r) {
        setRowHidden(r - 1, ws->rowHidden(r));
        if (ws->rowHidden(r)) continue;
        const int height = pixels(heightOf(r));
        if (height != usual) setRowHeight(r - 1, std::max(2, height));
    }
    for (const sheet::Area& m : ws->mergedAreas())
        if (m.bottom <= model_->rowCount() && m.right <= model_->columnCount())
            setSpan(m.top - 1, m.left - 1, m.bottom - m.top + 1, m.right - m.left + 1);
}

void SheetGridView::pin(bool vertically, bool horizontally) {
    pinnedVertically_ = vertically;
    pinnedHorizontally_ = horizontally;
}

void SheetGridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    const int down = verticalScrollBar()->value(), across = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (pinnedVertically_) verticalScrollBar()->setValue(down);
    if (pinnedHorizontally_) horizontalScrollBar()->setValue(across);
}

sheet::Area SheetGridView::selectedArea() const {
    const QModelIndexList chosen = selectionModel()->selectedIndexes();
    const QModelIndex current = currentIndex();
    if (chosen.isEmpty())
        return sheet::Area::cell(std::max(0, current.row()) + 1, std::max(0, current.column()) + 1);
    sheet::Area a = sheet::Area::cell(chosen.front().row() + 1, chosen.front().column() + 1);
    for (const QModelIndex& i : chosen) {
        a.top = std::min(a.top, i.row() + 1);
        a.bottom = std::max(a.bottom, i.row() + 1);
        a.left = std::min(a.left, i.column() + 1);
        a.right = std::max(a.right, i.column() + 1);
    }
    return a;
}

void SheetGridView::selectArea(const sheet::Area& area) {
    const QModelIndex topLeft = model_->index(area.top - 1, area.left - 1);
    const QModelIndex bottomRight = model_->index(std::min(area.bottom, model_->rowCount()) - 1,
                                                  std::min(area.right, model_->columnCount()) - 1);
    setCurrentIndex(topLeft);
    selectionModel()->select(QItemSelection(topLeft, bottomRight),
                             QItemSelectionModel::ClearAndSelect);
    scrollTo(topLeft);
}

void SheetGridView::copy() {
    const sheet::Worksheet* ws = model_->sheet();
    if (!ws) return;
    QApplication::clipboard()->setText(QString::fromStdString(sheet::tabText(*ws, selectedArea())));
}

void SheetGridView::cut() {
    copy();
    clearContents();
}

void SheetGridView::clearContents() {
    const sheet::Area a = selectedArea();
    const std::vector<std::vector<std::string>> empty(
        static_cast<size_t>(a.bottom - a.top + 1),
        std::vector<std::string>(static_cast<size_t>(a.right - a.left + 1)));
    model_->typeBlock(a.top - 1, a.left - 1, empty);
}

void SheetGridView::paste() {
    std::vector<std::vector<std::string>> rows =
        sheet::parseTabText(QApplication::clipboard()->text().toStdString());
    if (rows.empty()) return;
    const sheet::Area target = selectedArea();
    // One value pasted into a selection fills all of it, as in a spreadsheet.
    if (rows.size() == 1 && rows[0].size() == 1 && !target.isSingleCell()) {
        const std::string one = rows[0][0];
        rows.assign(
            static_cast<size_t>(target.bottom - target.top + 1),
            std::vector<std::string>(static_cast<size_t>(target.right - target.left + 1), one));
    }
    size_t widest = 0;
    for (const auto& r : rows) widest = std::max(widest, r.size());
    model_->typeBlock(target.top - 1, target.left - 1, rows);
    selectArea({target.top, target.left, target.top + static_cast<int>(rows.size()) - 1,
                target.left + static_cast<int>(widest) - 1});
}

bool SheetGridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    delegate_->setTypingOver(trigger == AnyKeyPressed);
    const bool editing = QTableView::edit(index, trigger, event);
    delegate_->setTypingOver(false);
    return editing;
}

void SheetGridView::step(int rows, int columns) {
    const QModelIndex now = currentIndex();
    if (!now.isValid()) return;
    // Past a merged cell, not into it.
    const int spanRows = rowSpan(now.row(), now.column()),
              spanColumns = columnSpan(now.row(), now.column());
    const int row = std::clamp(now.row() + (rows > 0 ? spanRows : rows), 0, model_->rowCount() - 1);
    const int column = std::clamp(now.column() + (columns > 0 ? spanColumns : columns), 0,
                                  model_->columnCount() - 1);
    setCurrentIndex(
        model_->index(rows == 0 ? now.row() : row, columns == 0 ? now.column() : column));
}

void SheetGridView::moveAfterEdit(int move) {
    switch (static_cast<CellEditor::Move>(move)) {
        case CellEditor::Move::Down:
            return step(1, 0);
        case CellEditor::Move::Up:
            return step(-1, 0);
        case CellEditor::Move::Right:
            return step(0, 1);
        case CellEditor::Move::Left:
            return step(0, -1);
        case CellEditor::Move::Stay:
            return;
    }
}

bool SheetGridView::event(QEvent* event) {
    // The scroll area passes the input method's events over; the grid wants them.
    if (event->type() == QEvent::InputMethod) {
        inputMethodEvent(static_cast<QInputMethodEvent*>(event));
        return true;
    }
    // The grid's own keys win over any window shortcut on the same keys.
    if (event->type() == QEvent::ShortcutOverride && ownSequence(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTableView::event(event);
}

void SheetGridView::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty() && event->preeditString().isEmpty()) {
        event->ignore();
        return;
    }
    // A word of the input method types over the cell as a key does. The view keeps the focus
    // while the word is composed (moving it would break the composition) and hands the
    // events to the editor; once the word is committed the typing goes on in the editor.
    if (!delegate_->openEditor()) edit(currentIndex(), AnyKeyPressed, nullptr);
    QWidget* editor = delegate_->openEditor();
    if (!editor) {
        event->ignore();
        return;
    }
    QApplication::sendEvent(editor, event);
    if (!event->commitString().isEmpty()) editor->setFocus();
}

void SheetGridView::keyPressEvent(QKeyEvent* event) {
    if (state() == EditingState) {
        if (QWidget* editor = delegate_->openEditor(); editor && !editor->hasFocus()) {
            QApplication::sendEvent(editor, event);
            return;
        }
    }
    if (state() != EditingState) {
        const bool shift = event->modifiers() & Qt::ShiftModifier;
        if (event->matches(QKeySequence::Copy)) return copy();
        if (event->matches(QKeySequence::Cut)) return cut();
        if (event->matches(QKeySequence::Paste)) return paste();
        if (event->matches(QKeySequence::Undo)) return emit undoRequested();
        if (event->matches(QKeySequence::Redo) ||
            (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier))
            return emit redoRequested();
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                return step(shift ? -1 : 1, 0);
            case Qt::Key_Tab:
                return step(0, 1);
            case Qt::Key_Backtab:
                return step(0, -1);
            case Qt::Key_Delete:
                return clearContents();
            case Qt::Key_Backspace:
                edit(currentIndex(), AnyKeyPressed, nullptr);
                return;
            default:
                break;
        }
    }
    QTableView::keyPressEvent(event);
}

void SheetGridView::paintEvent(QPaintEvent* event) {
    delegate_->beginPaint();
    QTableView::paintEvent(event);
    delegate_->endPaint();
}

}  // namespace tombra::gui
