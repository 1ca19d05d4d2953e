#pragma once

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
// be opened is reported.
void printWorksheet(ui::Shell& shell, QPrinter& printer, QWidget* parent,
                    const sheet::Worksheet& sheet);
// Shows the worksheet's pages in a print preview, from which it can be printed too.
void previewWorksheet(QPrinter& printer, QWidget* parent, const sheet::Worksheet& sheet);

inline constexpr const char* kPrintTitle = "印刷";
inline constexpr const char* kPreviewTitle = "印刷ﾌﾟﾚﾋﾞｭｰ";
inline constexpr const char* kPrintFailed = "印刷できませんでした";

}  // namespace tombra::gui
