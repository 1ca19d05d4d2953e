#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "render/PageSettings.h"

class QSplitter;

namespace tombra {
class Session;
}
namespace tombra::sheet {
class Workbook;
}

namespace tombra::gui {

class FrozenPanes;
class SheetGridView;
class SheetPagesView;
class SheetTableModel;

// One sheet of the workbook window: the grid to type into, and beside it the pages as they
// print, which follow the typing.
class SheetTab : public QWidget {
    Q_OBJECT
  public:
    SheetTab(Session* session, sheet::Workbook& workbook, const std::string& sheetName,
             const std::optional<render::PageSettings>& paper, QWidget* parent = nullptr);

    const std::string& sheetName() const { return sheetName_; }
    SheetTableModel* model() const { return model_; }
    SheetGridView* grid() const { return grid_; }
    SheetPagesView* pages() const { return pages_; }
    QSplitter* splitter() const { return splitter_; }
    // The sheet's frozen rows and columns over the grid; nullptr when it has none.
    FrozenPanes* frozen() const { return frozen_; }

  private:
    std::string sheetName_;
    SheetTableModel* model_;
    SheetGridView* grid_;
    SheetPagesView* pages_;
    QSplitter* splitter_;
    FrozenPanes* frozen_ = nullptr;
};

}  // namespace tombra::gui
