#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/Session.h"
#include "gui/MainWindow.h"
#include "gui/QtShell.h"
#include "support/TestFiles.h"

namespace tombra::test {

// The program as main() puts it together, offscreen.
struct GuiProgram {
    GuiProgram() : session(shell, folder.path()), window(session, shell) {}
    TempDir folder;
    gui::QtShell shell;
    app::Session session;
    gui::MainWindow window;
};

// Runs `act` on the next modal window (a message box, a form, a file dialog) once it is up;
// a modal window left open after it is rejected, so a failing test cannot hang.
void onNextModal(std::function<void(QWidget* modal)> act);

// Types text into a widget as a keyboard or an input method would, Japanese included
// (QTest::keyClicks only knows Latin-1 keys).
void typeText(QWidget* widget, const QString& text);

// Pumps events until `done` holds or the time runs out; returns whether it held.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 3000);

}  // namespace tombra::test
