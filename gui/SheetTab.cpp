#include "gui/SheetTab.h"

#include <QSplitter>
#include <QVBoxLayout>

#include "gui/FrozenPanes.h"
#include "gui/SheetGridView.h"
#include "gui/SheetPagesView.h"
#include "gui/SheetTableModel.h"
#include "sheet/Worksheet.h"

namespace tombra::gui {

SheetTab::SheetTab(Session* session, sheet::Workbook& workbook, const std::string& sheetName,
                   const std::optional<render::PageSettings>& paper, QWidget* parent)
    : QWidget(parent),
      session_(session),
      workbook_(workbook),
      sheetName_(sheetName),
      paper_(paper) {
    setObjectName(QString::fromStdString(sheetName));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void SheetTab::showEvent(QShowEvent* event) {
    build();
    QWidget::showEvent(event);
}

void SheetTab::build() {
    if (splitter_) return;
    model_ = new SheetTableModel(session_, workbook_, sheetName_, this);
    grid_ = new SheetGridView(model_);
    pages_ = new SheetPagesView(workbook_, sheetName_, paper_);
    if (const sheet::Worksheet* ws = model_->sheet()) {
        const sheet::Worksheet::FrozenCells frozen = ws->frozenCells();
        if (frozen.rows > 0 || frozen.columns > 0)
            frozen_ = new FrozenPanes(grid_, frozen.rows, frozen.columns);
    }
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->addWidget(grid_);
    splitter_->addWidget(pages_);
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 2);
    splitter_->setChildrenCollapsible(true);
    layout()->addWidget(splitter_);
    connect(model_, &SheetTableModel::edited, pages_, &SheetPagesView::invalidate);
    connect(model_, &SheetTableModel::edited, this, &SheetTab::edited);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SheetTab::currentCellChanged);
    connect(grid_, &SheetGridView::undoRequested, this, &SheetTab::undoRequested);
    connect(grid_, &SheetGridView::redoRequested, this, &SheetTab::redoRequested);
}

SheetTableModel* SheetTab::model() {
    build();
    return model_;
}
SheetGridView* SheetTab::grid() {
    build();
    return grid_;
}
SheetPagesView* SheetTab::pages() {
    build();
    return pages_;
}
QSplitter* SheetTab::splitter() {
    build();
    return splitter_;
}
FrozenPanes* SheetTab::frozen() {
    build();
    return frozen_;
}

}  // namespace tombra::gui
