#include "batch/OffscreenGui.h"

#include <QGuiApplication>

namespace tombra::batch {

void ensureGuiApplication() {
    if (QCoreApplication::instance()) return;
    // Set before the application exists: Qt picks its platform once, in the constructor.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tombra-batch";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down among other static objects at exit gains nothing.
    new QGuiApplication(argc, argv);
}

}  // namespace tombra::batch
