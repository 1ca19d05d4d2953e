#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>

#include "render/PageSettings.h"

class QLabel;
class QTimer;

namespace tombra::render {
class SheetRenderer;
}
namespace tombra::sheet {
class Workbook;
}

namespace tombra::gui {

// One worksheet's pages as they come out of the printer, one under the other on grey, at a
// zoom the user chooses (Ctrl + wheel, Ctrl +/−, Ctrl 0, or the context menu, which also fits
// the page to the width). The sheet is laid out when the view is first shown, so a workbook
// with many sheets costs only the ones the user looks at; it is looked up by name then, so
// the view never holds on to a worksheet the workbook may have replaced. Only the pages in
// sight are painted, and painted pages are kept within a memory budget. The view only reads
// the workbook.
class SheetPagesView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    // `paper`: the paper to lay the pages on; nullopt, the one the sheet's page setup names.
    SheetPagesView(sheet::Workbook& workbook, std::string sheetName,
                   std::optional<render::PageSettings> paper, QWidget* parent = nullptr);
    ~SheetPagesView() override;

    const std::string& sheetName() const { return sheetName_; }
    // Laid out: the sheet has been looked up (when the view was first shown).
    bool rendered() const { return rendered_; }
    int pageCount() const;
    // Where a page (0-based) lies on the viewport now, in its pixels.
    QRect pageRect(int page) const;
    // The page as the view paints it at the present zoom.
    QImage pageImage(int page) const;
    // The bytes of painted pages kept for scrolling back.
    std::size_t cachedBytes() const { return cachedBytes_; }

    // The sheet changed (a typed cell): the pages are laid out anew shortly, once the typing
    // pauses, keeping the zoom and the scroll position.
    void invalidate();

    double zoom() const { return zoom_; }
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();
    void fitWidth();

    // Screen pixels per inch of paper at 100 %.
    static constexpr double kDpi = 96.0;
    // Grey between and around the pages, in pixels.
    static constexpr int kGap = 12;
    static constexpr double kLeastZoom = 0.25, kMostZoom = 3.0;
    // Painted pages kept: about eighteen A4 pages at 100 %.
    static constexpr std::size_t kCacheBudget = 64u << 20;

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    struct Painted {
        int page;
        double zoom;
        QImage image;
    };

    void prepare();
    void relayoutNow();
    // Whether the workbook still holds the worksheet the pages were laid out from.
    bool sameSheet() const;
    void addZoomActions();
    void showNote(const QString& text);
    QSize pageSize() const;  // at the present zoom, in viewport pixels
    QSize contentSize() const;
    void updateScrollBars();
    // Keeps the content point under `anchor` (viewport pixels) where it is while zooming.
    void zoomAround(double zoom, QPoint anchor);

    sheet::Workbook& workbook_;
    std::string sheetName_;
    std::optional<render::PageSettings> givenPaper_;
    render::PageSettings paper_;
    std::unique_ptr<render::SheetRenderer> renderer_;
    QLabel* note_ = nullptr;
    QTimer* relayout_ = nullptr;
    const void* preparedSheet_ = nullptr;  // compared only, never used
    std::uint64_t preparedRevision_ = 0;
    bool rendered_ = false;
    double zoom_ = 1.0;
    mutable std::list<Painted> painted_;  // the most recently used first
    mutable std::size_t cachedBytes_ = 0;
};

}  // namespace tombra::gui
