#include <gtest/gtest.h>

#include <QProgressBar>

#include "gui/GuiFixture.h"
#include "gui/ProgressWindow.h"

namespace tombra::test {
namespace {

double shownFraction(const QProgressBar& bar) {
    return double(bar.value() - bar.minimum()) / double(bar.maximum() - bar.minimum());
}

TEST(ProgressWindow, IsModelessAndShowsCaptionAndValue) {
    GuiProgram p;
    p.window.show();
    ui::ProgressDialog& progress = p.session.progress;
    progress.setMin(0.5f);
    gui::ProgressWindow* dialog = p.shell.progressWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle().toStdString(), "処理中");
    EXPECT_FALSE(dialog->isVisible());
    progress.setCaption("選手を投入中");
    progress.setMax(2.5f);
    progress.setValue(1.25f);
    progress.show();
    EXPECT_EQ(dialog->objectName(), "Form2");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(dialog->windowTitle().toStdString(), "選手を投入中");
    auto* bar = dialog->findChild<QProgressBar*>("ProgressBar1");
    ASSERT_EQ(bar, dialog->bar());
    EXPECT_DOUBLE_EQ(shownFraction(*bar), 0.375);

    progress.setValue(2.5f);
    EXPECT_DOUBLE_EQ(shownFraction(*bar), 1.0);
    progress.setCaption("ヤグラ作成中");
    EXPECT_EQ(dialog->windowTitle().toStdString(), "ヤグラ作成中");

    progress.hide();
    EXPECT_FALSE(dialog->isVisible());
    // Hidden, not gone: the next command shows the same dialog.
    progress.show();
    EXPECT_EQ(p.shell.progressWindow(), dialog);
    EXPECT_TRUE(dialog->isVisible());
}

TEST(ProgressWindow, ValuesOutsideTheRangeStayOnTheBar) {
    GuiProgram p;
    ui::ProgressDialog& progress = p.session.progress;
    progress.setMin(0);
    progress.setMax(10);
    progress.setValue(12);
    QProgressBar* bar = p.shell.progressWindow()->bar();
    EXPECT_EQ(bar->value(), bar->maximum());
    progress.setValue(-3);
    EXPECT_EQ(bar->value(), bar->minimum());
    // An empty range still shows a bar, not a busy indicator.
    progress.setMax(0);
    EXPECT_GT(bar->maximum(), bar->minimum());
}

}  // namespace
}  // namespace tombra::test
