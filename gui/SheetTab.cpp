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
      sheetName_(sheetName),
      model_(new SheetTableModel(session, workbook, sheetName, this)),
      grid_(nullptr),
      pages_(new SheetPagesView(workbook, sheetName, paper)),
      splitter_(new QSplitter(Qt::Horizontal, this)) {
    setObjectName(QString::fromStdString(sheetName));
    grid_ = new SheetGridView(model_);
    if (const sheet::Worksheet* ws = model_->sheet()) {
        const sheet::Worksheet::FrozenCells frozen = ws->frozenCells();
        if (frozen.rows > 0 || frozen.columns > 0)
            frozen_ = new FrozenPanes(grid_, frozen.rows, frozen.columns);
    }
    splitter_->addWidget(grid_);
    splitter_->addWidget(pages_);
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 2);
    splitter_->setChildrenCollapsible(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);
    connect(model_, &SheetTableModel::edited, pages_, &SheetPagesView::invalidate);
}

}  // namespace tombra::gui
