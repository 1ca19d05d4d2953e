#pragma once

#include <filesystem>
#include <optional>
#include <string>

class QPrinter;
class QWidget;

namespace tombra::sheet {
class Worksheet;
}

namespace tombra::ui {
class Shell;
}

namespace tombra::gui {

// Prints a worksheet: the printer dialog, then the renderer paints the pages on the printer
// as the user set it up. Nothing happens when the dialog is cancelled; a printer that cannot
// be opened is reported. False when nothing was printed. `document` names the job ("": the
// sheet).
bool printWorksheet(ui::Shell& shell, QPrinter& printer, QWidget* parent,
                    const sheet::Worksheet& sheet, const std::string& document = {});
// Prints on the printer as it was set up last, without asking: the next print-out of a run.
bool printWorksheetAgain(ui::Shell& shell, QPrinter& printer, const sheet::Worksheet& sheet,
                         const std::string& document);
// Without any printer the pages can still be kept for later: asked first, the sheet is written
// as a PDF file the user names (beside the workbook, after the document or else the sheet,
// unless changed), on the paper the printer is set up for. Nothing happens when the user says
// no or cancels; a file that cannot be written is reported. The file written, if any.
std::optional<std::filesystem::path> saveWorksheetAsPdf(ui::Shell& shell, const QPrinter& printer,
                                                        const std::filesystem::path& folder,
                                                        const sheet::Worksheet& sheet,
                                                        const std::string& document = {});
// Writes the sheet to `path` as PDF on the paper the printer is set up for; false when it
// cannot (the user is told why).
bool writeWorksheetPdf(ui::Shell& shell, const QPrinter& printer, const sheet::Worksheet& sheet,
                       const std::filesystem::path& path);
// Whether the system knows any printer to print on.
bool printerInstalled();
// Shows the worksheet's pages in a print preview, from which it can be printed too.
void previewWorksheet(QPrinter& printer, QWidget* parent, const sheet::Worksheet& sheet);

inline constexpr const char* kPrintTitle = "印刷";
inline constexpr const char* kPreviewTitle = "印刷ﾌﾟﾚﾋﾞｭｰ";
inline constexpr const char* kPrintFailed = "印刷できませんでした";
inline constexpr const char* kNoPrinterQuestion =
    "プリンタが見つかりません。PDFファイルに保存しますか？";
inline constexpr const char* kPdfSaveTitle = "PDFに保存";
inline constexpr const char* kPdfFilter = "PDFﾌｧｲﾙ (*.pdf)|*.pdf";

}  // namespace tombra::gui
