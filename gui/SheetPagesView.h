#pragma once

#include <QScrollArea>
#include <string>

#include "render/PageSettings.h"

class QLabel;

namespace tombra::sheet {
class Workbook;
}

namespace tombra::gui {

// One worksheet's pages as they come out of the printer, one under the other on grey. The
// pages are painted when the view is first shown: a workbook with many sheets costs only the
// ones the user looks at. The sheet is looked up by name then, so the view never holds on to
// a worksheet the workbook may have replaced. The view only reads the workbook.
class SheetPagesView : public QScrollArea {
    Q_OBJECT
  public:
    SheetPagesView(sheet::Workbook& workbook, std::string sheetName, render::PageSettings paper,
                   QWidget* parent = nullptr);

    const std::string& sheetName() const { return sheetName_; }
    bool rendered() const { return rendered_; }
    // The page images shown, top to bottom (empty before the view was first shown).
    QList<QLabel*> pageLabels() const;

    // Screen pixels per inch of paper at 100 %.
    static constexpr double kDpi = 96.0;
    // Grey between and around the pages, in pixels.
    static constexpr int kGap = 12;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void render();
    void addNote(const QString& text);

    sheet::Workbook& workbook_;
    std::string sheetName_;
    render::PageSettings paper_;
    QWidget* pages_;
    bool rendered_ = false;
};

}  // namespace tombra::gui
