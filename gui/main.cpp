#include <QApplication>

#include "gui/MainWindow.h"
#include "gui/ProgramLook.h"
#include "gui/QtShell.h"
#include "session/Session.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(tombra::gui::kProgramTitle);
    tombra::gui::setUpProgramLook();

    tombra::gui::QtShell shell;
    tombra::Session session(shell, QCoreApplication::applicationDirPath().toStdString());
    tombra::gui::MainWindow window(session, shell);
    window.show();
    return application.exec();
}
