#include "gui/PrintBridge.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "render/SheetRenderer.h"
#include "sheet/Worksheet.h"
#include "ui/Shell.h"

namespace tombra::gui {

void printWorksheet(ui::Shell& shell, QPrinter& printer, QWidget* parent,
                    const sheet::Worksheet& sheet) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QString::fromUtf8(kPrintTitle));
    if (dialog.exec() != QDialog::Accepted) return;
    if (!render::printSheet(sheet, printer)) shell.message(kPrintFailed, ui::Buttons::Ok);
}

void saveWorksheetAsPdf(ui::Shell& shell, const QPrinter& printer,
                        const std::filesystem::path& folder, const sheet::Worksheet& sheet) {
    if (shell.message(kNoPrinterQuestion, ui::Buttons::YesNo) != ui::Answer::Yes) return;
    const std::filesystem::path suggested = folder / (sheet.name() + ".pdf");
    std::filesystem::path path =
        shell.saveFileName({kPdfSaveTitle, kPdfFilter, suggested.string()});
    if (path.empty()) return;
    // A name typed without its ending would give a file no viewer recognises.
    if (!path.has_extension()) path += ".pdf";
    const render::SheetRenderer renderer(
        sheet, render::PageSettings::fromPageLayout(printer.pageLayout()));
    std::string error;
    if (!renderer.writePdf(path, error)) shell.message(error, ui::Buttons::Ok);
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
