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
// print, which follow the typing. The parts are made when the tab first shows (or is first
// asked for them): a workbook of many sheets costs only the ones the user looks at.
class SheetTab : public QWidget {
    Q_OBJECT
  public:
    SheetTab(Session* session, sheet::Workbook& workbook, const std::string& sheetName,
             const std::optional<render::PageSettings>& paper, QWidget* parent = nullptr);

    const std::string& sheetName() const { return sheetName_; }
    bool built() const { return splitter_ != nullptr; }
    SheetTableModel* model();
    SheetGridView* grid();
    SheetPagesView* pages();
    QSplitter* splitter();
    // The sheet's frozen rows and columns over the grid; nullptr when it has none.
    FrozenPanes* frozen();

  signals:
    // The user typed into this sheet.
    void edited();
    // The grid's cell cursor moved.
    void currentCellChanged();
    void undoRequested();
    void redoRequested();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void build();

    Session* session_;
    sheet::Workbook& workbook_;
    std::string sheetName_;
    std::optional<render::PageSettings> paper_;
    SheetTableModel* model_ = nullptr;
    SheetGridView* grid_ = nullptr;
    SheetPagesView* pages_ = nullptr;
    QSplitter* splitter_ = nullptr;
    FrozenPanes* frozen_ = nullptr;
};

}  // namespace tombra::gui
