#include "gui/PrintBridge.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

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

void previewWorksheet(QPrinter& printer, QWidget* parent, const sheet::Worksheet& sheet) {
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QString::fromUtf8(kPreviewTitle) + QStringLiteral(" - ") +
                           QString::fromStdString(sheet.name()));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&sheet](QPrinter* target) { render::printSheet(sheet, *target); });
    preview.exec();
}

}  // namespace tombra::gui
