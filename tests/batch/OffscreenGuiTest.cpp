#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>

#include "batch/OffscreenGui.h"

namespace tombra::batch {
namespace {

TEST(OffscreenGui, NeedsNoDisplayAndIsCreatedOnce) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "another test created a Qt application";
    ::unsetenv("QT_QPA_PLATFORM");
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ensureGuiApplication();
    QCoreApplication* app = QCoreApplication::instance();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(QGuiApplication::platformName(), "offscreen");
    ensureGuiApplication();
    EXPECT_EQ(QCoreApplication::instance(), app);
}

}  // namespace
}  // namespace tombra::batch
