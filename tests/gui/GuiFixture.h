#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "gui/MainWindow.h"
#include "gui/QtShell.h"
#include "session/Session.h"
#include "support/TestFiles.h"

namespace tombra::test {

// Where the program keeps the user's settings (the recent files): a folder of the test's,
// never the user's own.
struct UserSettingsAt {
    explicit UserSettingsAt(const std::filesystem::path& folder);
};

// The program as main() puts it together, offscreen. Its user settings live in `settings`,
// by default in its own folder.
struct GuiProgram {
    GuiProgram() : GuiProgram(std::filesystem::path()) {}
    explicit GuiProgram(const std::filesystem::path& settings)
        : settingsAt(settings.empty() ? folder.path() : settings),
          session(shell, folder.path()),
          window(session, shell) {}
    TempDir folder;
    UserSettingsAt settingsAt;
    gui::QtShell shell;
    Session session;
    gui::MainWindow window;
};

// Runs `act` on the next modal window (a message box, a form, a file dialog) once it is up;
// a modal window left open after it is rejected, so a failing test cannot hang.
void onNextModal(std::function<void(QWidget* modal)> act);

// Types text into a widget as a keyboard or an input method would, Japanese included
// (QTest::keyClicks only knows Latin-1 keys).
void typeText(QWidget* widget, const QString& text);

// Types a path into a file dialog's name box and presses its 開く or 保存 button. (The dialog's
// selectFile leaves the box alone when it has the focus, which an offscreen dialog gets at
// a moment of its own.)
void chooseFile(QFileDialog* dialog, const std::filesystem::path& path);

// Whether any pixel of the image is not white.
bool hasInk(const QImage& image);
// Every character of `text` draws in `font` as a glyph of its own, not as the box of a missing
// one; `where` names the place in failures.
void expectJapaneseGlyphs(const QFont& font, const QString& text, const char* where);

// Pumps events until `done` holds or the time runs out; returns whether it held.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 3000);

}  // namespace tombra::test
