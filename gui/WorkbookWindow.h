#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "render/PageSettings.h"

class QTabWidget;

namespace tombra::sheet {
class Workbook;
}

namespace tombra::gui {

class SheetPagesView;

// The workbook made visible: a window titled with the workbook's file name, one tab per sheet
// in the workbook's order, each showing the sheet's pages exactly as they print. It opens on
// the workbook's active sheet. It only reads the workbook: choosing a tab here does not
// activate a sheet, and nothing can be edited.
//
// The tabs are made anew each time the window shows (and on refresh()), so what it shows is
// the workbook as it is then; while hidden it keeps no pages. Its close box only hides it:
// the commands decide when the workbook shows.
class WorkbookWindow : public QWidget {
    Q_OBJECT
  public:
    explicit WorkbookWindow(QWidget* parent = nullptr);

    // The workbook to show from the next show or refresh() on; nullptr shows nothing. The
    // window must be given nullptr (or be hidden) before the workbook goes away.
    void setWorkbook(sheet::Workbook* workbook);
    sheet::Workbook* workbook() const { return workbook_; }
    // The paper the pages are laid out on: the one page setup chose, or (nullopt) each
    // sheet's own.
    void setPaper(const std::optional<render::PageSettings>& paper) { paper_ = paper; }

    // Shows the workbook as it is now, on its active sheet.
    void refresh();
    // Brings the sheet's tab to the front; false when the workbook shows no sheet of that name.
    bool selectSheet(const std::string& name);

    QTabWidget* tabs() const { return tabs_; }
    // The view of the tab in front; nullptr when there is none.
    SheetPagesView* currentSheetView() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void clearTabs();

    QTabWidget* tabs_;
    sheet::Workbook* workbook_ = nullptr;
    std::optional<render::PageSettings> paper_;
};

}  // namespace tombra::gui
