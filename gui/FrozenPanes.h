#pragma once

#include <QObject>
#include <vector>

class QTableView;

namespace tombra::gui {

class SheetGridView;

// The rows and columns a sheet keeps in view while the rest scrolls, as spreadsheet programs
// freeze panes: grids of their own laid over the top and left edges of the main grid,
// sharing its cells, selection and cursor. The main grid's rows and columns scroll beneath
// them. Typing goes to whichever grid shows the cell cursor.
class FrozenPanes : public QObject {
    Q_OBJECT
  public:
    // Nothing is laid over the grid when both counts are 0.
    FrozenPanes(SheetGridView* main, int rows, int columns);

    // The grids laid over the main one: the top rows, the left columns, and their corner.
    const std::vector<SheetGridView*>& overlays() const { return overlays_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    SheetGridView* addOverlay(bool top, bool left);
    void place();
    void followCursor();

    SheetGridView* main_;
    int rows_, columns_;
    SheetGridView* top_ = nullptr;
    SheetGridView* left_ = nullptr;
    SheetGridView* corner_ = nullptr;
    std::vector<SheetGridView*> overlays_;
};

}  // namespace tombra::gui
