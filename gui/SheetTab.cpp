#include "gui/SheetTab.h"

#include <QSplitter>
#include <QVBoxLayout>

#include "gui/SheetGridView.h"
#include "gui/SheetPagesView.h"
#include "gui/SheetTableModel.h"

namespace tombra::gui {

SheetTab::SheetTab(Session& session, sheet::Workbook& workbook, const std::string& sheetName,
                   const std::optional<render::PageSettings>& paper, QWidget* parent)
    : QWidget(parent),
      sheetName_(sheetName),
      model_(new SheetTableModel(session, workbook, sheetName, this)),
      grid_(nullptr),
      pages_(new SheetPagesView(workbook, sheetName, paper)),
      splitter_(new QSplitter(Qt::Horizontal, this)) {
    setObjectName(QString::fromStdString(sheetName));
    grid_ = new SheetGridView(model_);
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
