#include "gui/ProgramLook.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>

#include "render/PrintFonts.h"

namespace tombra::gui {

void setUpProgramLook() {
    render::installFontSubstitutions();
    // Menus and dialogs in the same Gothic as the log pane: the captions are Japanese, and a
    // Latin-only system font would leave it to fallback which font draws them.
    QFont font = QApplication::font();
    font.setFamilies({kLogFontFamily, font.family()});
    QApplication::setFont(font);
    // Without a desktop (or with only the bare "hicolor" theme) Qt knows no icon folders and
    // no action icons; the toolbar draws its own when Adwaita is missing too.
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QStringLiteral("hicolor")) {
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString& dir :
             QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                       QStandardPaths::LocateDirectory))
            if (!paths.contains(dir)) paths << dir;
        QIcon::setThemeSearchPaths(paths);
        for (const QString& dir : paths)
            if (QFileInfo::exists(dir + QStringLiteral("/Adwaita/index.theme"))) {
                QIcon::setThemeName(QStringLiteral("Adwaita"));
                break;
            }
    }
}

QFont logPaneFont() {
    QFont font(kLogFontFamily);
    font.setPointSize(10);
    return font;
}

}  // namespace tombra::gui
