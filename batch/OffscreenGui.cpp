#include "batch/OffscreenGui.h"

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace tombra::batch {

void ensureGuiApplication() {
    if (QCoreApplication::instance()) return;
    // Set before the application exists: Qt picks its platform once, in the constructor.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Headless machines (CI, cron) often have no session folder; Qt then warns on every run.
    // A private one of our own keeps the transcript's standard error clean.
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        std::string folder = (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
        folder += "/tombra-runtime-XXXXXX";
        if (mkdtemp(folder.data())) {
            qputenv("XDG_RUNTIME_DIR", folder.c_str());
            static std::string made = folder;
            std::atexit([] {
                std::error_code ignored;
                std::filesystem::remove_all(made, ignored);
            });
        }
    }
    static int argc = 1;
    static char name[] = "tombra-batch";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down among other static objects at exit gains nothing.
    new QGuiApplication(argc, argv);
}

}  // namespace tombra::batch
