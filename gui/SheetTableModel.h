#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

namespace tombra {
class Session;
}
namespace tombra::sheet {
class Workbook;
class Worksheet;
struct Area;
}  // namespace tombra::sheet

namespace tombra::gui {

// One worksheet as a table of cells for the grid: what each cell shows and what an editor
// starts from, its font and alignment, the column letters and row numbers. A typed value is
// written as the user's edit (numbers as numbers, undoable). The sheet is looked up by name
// on every use, so the model never holds a worksheet the workbook has replaced.
class SheetTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // Without a session the cells show but take no typing.
    SheetTableModel(Session* session, sheet::Workbook& workbook, std::string sheetName,
                    QObject* parent = nullptr);

    const std::string& sheetName() const { return sheetName_; }
    sheet::Workbook& workbook() const { return workbook_; }
    // nullptr once the workbook has no sheet of that name.
    sheet::Worksheet* sheet() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Writes typed texts (rows of cells from `top`, `left`, 0-based) as one edit: a paste, or
    // clearing a selection with empty texts. False when nothing changed.
    bool typeBlock(int top, int left, const std::vector<std::vector<std::string>>& texts);
    // After an undo or redo: the cells of that area show anew.
    void cellsChanged(const sheet::Area& area);
    // After a command or a reload: everything shows anew, the sheet's size included.
    void reset();

  signals:
    // The user changed the workbook through this model.
    void edited();

  private:
    void measure();

    Session* session_;
    sheet::Workbook& workbook_;
    std::string sheetName_;
    int rows_ = 0, columns_ = 0;
};

}  // namespace tombra::gui
