#include "gui/PrintBridge.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "render/SheetRenderer.h"
#include "sheet/Worksheet.h"
#include "ui/Shell.h"

namespace tombra::gui {

namespace {
std::string documentName(const sheet::Worksheet& sheet, const std::string& document) {
    return document.empty() ? sheet.name() : document;
}
}  // namespace

bool printWorksheet(ui::Shell& shell, QPrinter& printer, QWidget* parent,
                    const sheet::Worksheet& sheet, const std::string& document) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QString::fromUtf8(kPrintTitle));
    if (dialog.exec() != QDialog::Accepted) return false;
    return printWorksheetAgain(shell, printer, sheet, document);
}

bool printWorksheetAgain(ui::Shell& shell, QPrinter& printer, const sheet::Worksheet& sheet,
                         const std::string& document) {
    printer.setDocName(QString::fromStdString(documentName(sheet, document)));
    if (render::printSheet(sheet, printer)) return true;
    shell.message(kPrintFailed, ui::Buttons::Ok);
    return false;
}

std::optional<std::filesystem::path> saveWorksheetAsPdf(ui::Shell& shell, const QPrinter& printer,
                                                        const std::filesystem::path& folder,
                                                        const sheet::Worksheet& sheet,
                                                        const std::string& document) {
    if (shell.message(kNoPrinterQuestion, ui::Buttons::YesNo) != ui::Answer::Yes)
        return std::nullopt;
    const std::filesystem::path suggested = folder / (documentName(sheet, document) + ".pdf");
    std::filesystem::path path =
        shell.saveFileName({kPdfSaveTitle, kPdfFilter, suggested.string()});
    if (path.empty()) return std::nullopt;
    // A name typed without its ending would give a file no viewer recognises.
    if (!path.has_extension()) path += ".pdf";
    if (!writeWorksheetPdf(shell, printer, sheet, path)) return std::nullopt;
    return path;
}

bool writeWorksheetPdf(ui::Shell& shell, const QPrinter& printer, const sheet::Worksheet& sheet,
                       const std::filesystem::path& path) {
    const render::SheetRenderer renderer(
        sheet, render::PageSettings::fromPageLayout(printer.pageLayout()));
    std::string error;
    if (renderer.writePdf(path, error)) return true;
    shell.message(error, ui::Buttons::Ok);
    return false;
}

bool printerInstalled() { return !QPrinterInfo::availablePrinters().isEmpty(); }

void previewWorksheet(QPrinter& printer, QWidget* parent, const sheet::Worksheet& sheet) {
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QString::fromUtf8(kPreviewTitle) + QStringLiteral(" - ") +
                           QString::fromStdString(sheet.name()));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&sheet](QPrinter* target) { render::printSheet(sheet, *target); });
    preview.exec();
}

}  // namespace tombra::gui
