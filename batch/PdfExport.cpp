#include "batch/PdfExport.h"

#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

namespace tombra::batch {

std::filesystem::path pdfPath(const std::optional<std::filesystem::path>& pdfDir,
                              const sheet::Workbook& workbook, const sheet::Worksheet& sheet) {
    std::filesystem::path folder = pdfDir ? *pdfDir : workbook.path().parent_path();
    return folder / (sheet.name() + ".pdf");
}

std::optional<std::string> writeSheetPdf(sheet::Workbook&, sheet::Worksheet&,
                                         const std::filesystem::path&) {
    // The renderer offers no PDF writer yet. Once it does, this paints the pages after
    // ensureGuiApplication() (batch/OffscreenGui.h) and nothing else in the runner changes.
    return "PDFを書き出せません: 印刷機能はまだありません";
}

}  // namespace tombra::batch
