#include "gui/FrozenPanes.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

#include "gui/SheetGridView.h"
#include "gui/SheetTableModel.h"

namespace tombra::gui {

FrozenPanes::FrozenPanes(SheetGridView* main, int rows, int columns)
    : QObject(main), main_(main), rows_(rows), columns_(columns) {
    if (rows_ > 0) top_ = addOverlay(true, false);
    if (columns_ > 0) left_ = addOverlay(false, true);
    if (rows_ > 0 && columns_ > 0) corner_ = addOverlay(true, true);
    if (overlays_.empty()) return;
    // Scrolled a row and a column at a time, the frozen part stays whole.
    main_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    main_->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    main_->viewport()->installEventFilter(this);
    main_->installEventFilter(this);
    auto replace = [this] { place(); };
    connect(main_->horizontalHeader(), &QHeaderView::sectionResized, this, replace);
    connect(main_->verticalHeader(), &QHeaderView::sectionResized, this, replace);
    connect(main_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FrozenPanes::followCursor);
    place();
}

SheetGridView* FrozenPanes::addOverlay(bool top, bool left) {
    auto* view = new SheetGridView(main_->sheetModel(), main_);
    view->setObjectName(top && left ? QStringLiteral("FrozenCorner")
                        : top       ? QStringLiteral("FrozenRows")
                                    : QStringLiteral("FrozenColumns"));
    view->setSelectionModel(main_->selectionModel());
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setFrameShape(QFrame::NoFrame);
    // The main grid's headers stay in sight; an overlay shows only the headers it covers.
    view->horizontalHeader()->setVisible(top);
    view->verticalHeader()->setVisible(left);
    view->setStyleSheet(
        QStringLiteral("QTableView { gridline-color: #d8d8d8; "
                       "border-bottom: 2px solid #808080; }"));
    // Frozen rows move sideways with the main grid, frozen columns up and down, whichever of
    // the two grids scrolled.
    view->pin(top, left);
    auto follow = [view](QScrollBar* a, QScrollBar* b) {
        connect(a, &QScrollBar::valueChanged, b, &QScrollBar::setValue);
        connect(b, &QScrollBar::valueChanged, a, &QScrollBar::setValue);
    };
    if (top && !left) follow(main_->horizontalScrollBar(), view->horizontalScrollBar());
    if (left && !top) follow(main_->verticalScrollBar(), view->verticalScrollBar());
    connect(view, &SheetGridView::undoRequested, main_, &SheetGridView::undoRequested);
    connect(view, &SheetGridView::redoRequested, main_, &SheetGridView::redoRequested);
    view->show();
    overlays_.push_back(view);
    return view;
}

void FrozenPanes::place() {
    for (SheetGridView* view : overlays_) {
        for (int c = 0; c < main_->model()->columnCount(); ++c)
            view->setColumnWidth(c, main_->columnWidth(c));
        for (int r = 0; r < std::max(rows_, 1) + 1 && r < main_->model()->rowCount(); ++r)
            view->setRowHeight(r, main_->rowHeight(r));
    }
    int frozenHeight = 0, frozenWidth = 0;
    for (int r = 0; r < rows_; ++r) frozenHeight += main_->rowHeight(r);
    for (int c = 0; c < columns_; ++c) frozenWidth += main_->columnWidth(c);
    const int frame = main_->frameWidth();
    const int headerHeight = main_->horizontalHeader()->height();
    const int headerWidth = main_->verticalHeader()->width();
    const QRect area = main_->viewport()->geometry();
    // Each overlay covers its headers' place too, so that its row numbers or column letters
    // stand over the main grid's.
    if (top_) {
        top_->horizontalHeader()->setFixedHeight(headerHeight);
        top_->setGeometry(frame, frame, headerWidth + area.width(), headerHeight + frozenHeight);
        top_->verticalHeader()->setFixedWidth(headerWidth);
        top_->verticalHeader()->setVisible(true);
        top_->horizontalScrollBar()->setValue(main_->horizontalScrollBar()->value());
    }
    if (left_) {
        left_->verticalHeader()->setFixedWidth(headerWidth);
        left_->setGeometry(frame, frame, headerWidth + frozenWidth, headerHeight + area.height());
        left_->horizontalHeader()->setFixedHeight(headerHeight);
        left_->horizontalHeader()->setVisible(true);
        left_->verticalScrollBar()->setValue(main_->verticalScrollBar()->value());
    }
    if (corner_) {
        corner_->verticalHeader()->setFixedWidth(headerWidth);
        corner_->horizontalHeader()->setFixedHeight(headerHeight);
        corner_->setGeometry(frame, frame, headerWidth + frozenWidth, headerHeight + frozenHeight);
    }
    for (SheetGridView* view : overlays_) view->raise();
    if (corner_) corner_->raise();
}

void FrozenPanes::followCursor() {
    const QModelIndex current = main_->currentIndex();
    if (!current.isValid()) return;
    const bool inRows = current.row() < rows_, inColumns = current.column() < columns_;
    SheetGridView* shows = inRows && inColumns ? corner_
                           : inRows            ? top_
                           : inColumns         ? left_
                                               : main_;
    if (!shows) shows = main_;
    // The keyboard follows the cursor into the grid that shows it.
    QWidget* focused = main_->window()->focusWidget();
    const bool gridHasFocus = focused == main_ || std::find(overlays_.begin(), overlays_.end(),
                                                            focused) != overlays_.end();
    if (gridHasFocus && focused != shows) shows->setFocus();
    if (shows != main_) return;
    // A cell of the main grid must not stand beneath the frozen rows or columns: the grid
    // scrolls a row or column at a time, so the first in sight may be at most the cursor's
    // less the frozen ones.
    QScrollBar* down = main_->verticalScrollBar();
    QScrollBar* across = main_->horizontalScrollBar();
    if (rows_ > 0 && down->value() > current.row() - rows_) down->setValue(current.row() - rows_);
    if (columns_ > 0 && across->value() > current.column() - columns_)
        across->setValue(current.column() - columns_);
}

bool FrozenPanes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show) place();
    return QObject::eventFilter(watched, event);
}

}  // namespace tombra::gui
