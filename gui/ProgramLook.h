#pragma once

#include <QFont>
#include <QString>

namespace tombra::gui {

// The main window's caption and the title of every message box.
inline const QString kProgramTitle = QStringLiteral("Tombra");

// The Windows font the program was laid out for; its name is what the log pane and the
// workbooks ask for.
inline const QString kLogFontFamily = QStringLiteral("ＭＳ Ｐゴシック");

// Once per program, after the QApplication exists: the Japanese Windows font names mapped to
// the installed IPA fonts (the renderer's table, so that window and paper agree), the
// program's font for menus and dialogs, and an icon theme when the platform names none.
void setUpProgramLook();

// The log pane's font.
QFont logPaneFont();

}  // namespace tombra::gui
