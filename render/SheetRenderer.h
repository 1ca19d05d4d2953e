#pragma once

#include <QImage>
#include <filesystem>
#include <string>

#include "render/PageSettings.h"
#include "render/SheetLayout.h"

class QPagedPaintDevice;
class QPrinter;

namespace tombra::sheet {
class Worksheet;
}

namespace tombra::render {

// Prints one worksheet: to a printer or print preview, to a PDF file, or a page to an image.
// The worksheet must outlive the renderer and stay unchanged while it is used. Painting
// needs a QGuiApplication (fonts); without one the calls fail instead of aborting.
class SheetRenderer {
  public:
    explicit SheetRenderer(const sheet::Worksheet& sheet, PageSettings settings = {});

    const PageSettings& settings() const { return settings_; }
    // The pages on the paper of settings().
    const SheetLayout& layout() const { return layout_; }
    int pageCount() const { return layout_.pageCount(); }

    // Paints pages first..last (1-based, 0 for "to the end") onto a device that is not yet
    // painted on, one device page per sheet page, laid out for the device's own paper and
    // margins. An empty sheet gives one blank page. False when the device cannot be opened.
    bool paint(QPagedPaintDevice& device, int firstPage = 1, int lastPage = 0) const;

    // The whole sheet of paper of one page (0-based), white, at `dpi`; a null image for a
    // page that does not exist.
    QImage renderPage(int page, double dpi) const;

    // Writes the pages as a PDF (the paper of settings()). The file is replaced only when
    // complete; on failure `error` tells the user why, in Japanese.
    bool writePdf(const std::filesystem::path& path, std::string& error) const;

  private:
    const sheet::Worksheet& sheet_;
    PageSettings settings_;
    SheetLayout layout_;
};

// Sets a printer (or PDF writer) to the paper and margins the sheets are laid out for; the
// window calls this before it shows the printer dialog or the preview.
void applyPageSettings(QPagedPaintDevice& device, const PageSettings& settings = {});

// Prints the sheet on the printer as it is set up (paper, margins, page range): the handler
// for QPrintPreviewDialog::paintRequested and for printing after the printer dialog.
bool printSheet(const sheet::Worksheet& sheet, QPrinter& printer);

// Convenience for the batch runner: the sheet as a PDF on the paper its page setup names.
bool writeSheetPdf(const sheet::Worksheet& sheet, const std::filesystem::path& path,
                   std::string& error);

}  // namespace tombra::render
