#pragma once

#include <QTableView>

#include "sheet/CellAddress.h"

namespace tombra::gui {

class SheetCellDelegate;
class SheetTableModel;

// A worksheet as a spreadsheet shows it: column letters and row numbers, the sheet's column
// widths and row heights, merged cells, and each cell's font, alignment and borders. A cell
// is typed into in place (typing over it, F2 or a double click); Enter, Tab and the arrows
// move as spreadsheet users expect; Delete empties the selection; Ctrl+C, Ctrl+X and Ctrl+V
// copy, cut and paste ranges as tab-separated text. Undo and redo are asked of the window,
// which knows the whole workbook's history.
class SheetGridView : public QTableView {
    Q_OBJECT
  public:
    SheetGridView(SheetTableModel* model, QWidget* parent = nullptr);

    SheetTableModel* sheetModel() const { return model_; }
    // The selection's bounding area on the sheet (1-based); the current cell when nothing is
    // selected.
    sheet::Area selectedArea() const;
    void selectArea(const sheet::Area& area);

    // Widths, heights, hidden rows and columns and merges as the sheet has them now.
    void applySheetLayout();

    // A grid of frozen rows never scrolls up or down, one of frozen columns never sideways.
    void pin(bool vertically, bool horizontally);
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

  public slots:
    void copy();
    void cut();
    void paste();
    void clearContents();

    // Where the cell cursor goes after a typing ended (CellEditor::Move as an int).
    Q_INVOKABLE void moveAfterEdit(int move);

  signals:
    void undoRequested();
    void redoRequested();

  protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

  private:
    void step(int rows, int columns);

    SheetTableModel* model_;
    SheetCellDelegate* delegate_;
    bool pinnedVertically_ = false, pinnedHorizontally_ = false;
};

}  // namespace tombra::gui
