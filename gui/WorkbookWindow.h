#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>

#include "render/PageSettings.h"

class QLabel;
class QTabWidget;

namespace tombra {
class Session;
}
namespace tombra::sheet {
class Workbook;
}

namespace tombra::gui {

class CellEditor;
class SheetGridView;
class SheetPagesView;
class SheetTab;

// The workbook made visible: a window titled with the workbook's file name (marked while it
// holds unsaved changes), one tab per sheet in the workbook's order, each with the sheet's
// grid to type into and its pages as they print, and a formula bar over them showing the
// current cell. It opens on the workbook's active sheet; choosing a tab here does not
// activate a sheet.
//
// The tabs are made anew each time the window shows, and whenever the workbook changed by
// other means than the window's own typing (a command, a reload); while hidden it keeps no
// pages. Its close box only hides it: the commands decide when the workbook shows.
class WorkbookWindow : public QWidget {
    Q_OBJECT
  public:
    explicit WorkbookWindow(QWidget* parent = nullptr);

    // The session whose typing history the window writes through; without one the grids
    // show but do not take typing.
    void setSession(Session* session) { session_ = session; }
    // The workbook to show from the next show or refresh() on; nullptr shows nothing. The
    // window must be given nullptr (or be hidden) before the workbook goes away.
    void setWorkbook(sheet::Workbook* workbook);
    sheet::Workbook* workbook() const { return workbook_; }
    // The paper the pages are laid out on: the one page setup chose, or (nullopt) each
    // sheet's own.
    void setPaper(const std::optional<render::PageSettings>& paper) { paper_ = paper; }

    // Shows the workbook as it is now, on its active sheet.
    void refresh();
    // After a command: shows the workbook anew if it changed since it was shown (staying on
    // the sheet in front), and the unsaved mark as it is.
    void followWorkbook();
    // Brings the sheet's tab to the front; false when the workbook shows no sheet of that name.
    bool selectSheet(const std::string& name);

    QTabWidget* tabs() const { return tabs_; }
    SheetTab* sheetTab(int index) const;
    // The pages or the grid of the tab in front; nullptr when there is none.
    SheetPagesView* currentSheetView() const;
    SheetGridView* currentGrid() const;
    CellEditor* formulaBar() const { return formula_; }

  public slots:
    void undo();
    void redo();
    void copy();
    void cut();
    void paste();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void clearTabs();
    void showCurrentCell();
    void commitFormula(int move);
    void typed();
    void replay(bool forward);
    void updateTitle();

    QTabWidget* tabs_;
    QLabel* address_;
    CellEditor* formula_;
    Session* session_ = nullptr;
    sheet::Workbook* workbook_ = nullptr;
    std::optional<render::PageSettings> paper_;
    std::uint64_t shownRevision_ = 0;  // the workbook's revision the tabs show
};

}  // namespace tombra::gui
