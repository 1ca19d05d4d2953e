#include "batch/PdfExport.h"

#include "batch/OffscreenGui.h"
#include "render/SheetRenderer.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

namespace tombra::batch {

std::filesystem::path pdfPath(const std::optional<std::filesystem::path>& pdfDir,
                              const sheet::Workbook& workbook, const sheet::Worksheet& sheet,
                              const std::string& document) {
    std::filesystem::path folder = pdfDir ? *pdfDir : workbook.path().parent_path();
    return folder / ((document.empty() ? sheet.name() : document) + ".pdf");
}

std::optional<std::string> writeSheetPdf(sheet::Workbook&, sheet::Worksheet& sheet,
                                         const std::filesystem::path& target) {
    // Painting needs fonts, and fonts need a Qt application; the runner makes one only now.
    ensureGuiApplication();
    std::string error;
    if (render::writeSheetPdf(sheet, target, error)) return std::nullopt;
    return "PDFを書き出せません: " + error;
}

}  // namespace tombra::batch
