#include <gtest/gtest.h>

#include <QAction>
#include <QDate>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTime>
#include <QToolBar>
#include <QToolButton>
#include <string>
#include <vector>

#include "app/CommandMap.h"
#include "app/ProgramCommands.h"
#include "gui/GuiFixture.h"
#include "gui/ProgressWindow.h"
#include "session/CommandIds.h"

namespace tombra::test {
namespace {

std::string str(const QString& s) { return s.toStdString(); }

// Compares one level of the built menus with the command map, then the levels below; a menu
// put together by hand, a lost separator or a wrong shortcut shows up here.
void expectMenuMatches(const QList<QAction*>& actions, const std::vector<app::MenuItem>& items,
                       const std::string& where) {
    ASSERT_EQ(actions.size(), qsizetype(items.size())) << where;
    for (size_t i = 0; i < items.size(); ++i) {
        const app::MenuItem& item = items[i];
        const QAction* action = actions[qsizetype(i)];
        const std::string at = where + " / #" + std::to_string(i) + " " + item.caption;
        EXPECT_EQ(action->isSeparator(), item.isSeparator()) << at;
        EXPECT_EQ(action->isVisible(), item.visible) << at;
        if (item.isSeparator()) continue;
        EXPECT_EQ(str(action->text()), item.caption) << at;
        EXPECT_EQ(str(action->objectName()), item.id) << at;
        // Qt disables what it hides (the recent files until there are some).
        EXPECT_EQ(action->isEnabled(), item.enabled() && item.visible) << at;
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromStdString(item.shortcut))) << at;
        EXPECT_EQ(action->menu() != nullptr, !item.children.empty()) << at;
        if (QMenu* menu = action->menu()) {
            EXPECT_EQ(str(menu->title()), item.caption) << at;
            expectMenuMatches(menu->actions(), item.children, at);
        }
    }
}

TEST(MainWindow, IsFrmMainCaptionedTombra) {
    GuiProgram p;
    EXPECT_EQ(p.window.objectName(), "frmMain");
    EXPECT_EQ(p.window.windowTitle(), "Tombra");
    EXPECT_EQ(p.shell.mainWindow(), &p.window);
}

TEST(MainWindow, MenuBarIsTheCommandMapItemByItem) {
    GuiProgram p;
    expectMenuMatches(p.window.menuBar()->actions(), app::menuBar(), "menu bar");

    // Items without a submenu sit on the menu bar itself.
    QAction* cellMerge = p.window.menuAction("セル結合(&R)");
    ASSERT_NE(cellMerge, nullptr);
    EXPECT_TRUE(p.window.menuBar()->actions().contains(cellMerge));
}

TEST(MainWindow, MenuItemsRunTheirCommands) {
    GuiProgram p;
    std::vector<std::string> shown;
    p.shell.setMessageHook([&](const std::string& text, ui::Buttons) {
        shown.push_back(text);
        return ui::Answer::Ok;
    });
    p.window.menuAction("mnuHelpAbout")->trigger();
    p.window.menuAction("mnuFileProperties")->trigger();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], app::versionText(TOMBRA_VERSION));
    EXPECT_EQ(shown[1], " 'mnuFileProperties_Click' のｺｰﾄﾞを追加します。");
}

TEST(MainWindow, CheckMarksShowTheSessionsMarks) {
    GuiProgram p;
    QAction* placement = p.window.menuAction("投入");
    ASSERT_NE(placement, nullptr);
    EXPECT_TRUE(placement->isCheckable());
    EXPECT_FALSE(placement->isChecked());
    p.session.marks.set("投入", true);
    p.session.marks.set("セル結合(&R)", true);
    EXPECT_TRUE(placement->isChecked());
    EXPECT_TRUE(p.window.menuAction("セル結合(&R)")->isChecked());

    p.session.marks.clear(ids::kPlacementAndOutput);
    EXPECT_FALSE(placement->isChecked());
    EXPECT_FALSE(p.window.menuAction("セル結合(&R)")->isChecked());

    // Choosing an item must not tick it by itself: only its command sets marks.
    QAction* clear = p.window.menuAction("画面消去(&C)");
    clear->trigger();
    EXPECT_FALSE(clear->isChecked());
    EXPECT_FALSE(p.session.marks.checked("画面消去(&C)"));
}

TEST(MainWindow, ViewItemsHideAndShowToolbarAndStatusBar) {
    GuiProgram p;
    p.window.show();
    auto* toolBar = p.window.findChild<QToolBar*>("tbToolBar");
    auto* statusBar = p.window.findChild<QStatusBar*>("sbStatusBar");
    ASSERT_NE(toolBar, nullptr);
    ASSERT_NE(statusBar, nullptr);
    QAction* toolbarItem = p.window.menuAction("mnuViewToolbar");
    QAction* statusItem = p.window.menuAction("mnuViewStatusBar");
    EXPECT_TRUE(toolbarItem->isChecked());
    EXPECT_TRUE(statusItem->isChecked());
    EXPECT_FALSE(toolBar->isHidden());
    EXPECT_FALSE(statusBar->isHidden());

    toolbarItem->trigger();
    EXPECT_TRUE(toolBar->isHidden());
    EXPECT_FALSE(toolbarItem->isChecked());
    EXPECT_FALSE(p.session.marks.checked("mnuViewToolbar"));
    EXPECT_FALSE(statusBar->isHidden());

    statusItem->trigger();
    EXPECT_TRUE(statusBar->isHidden());
    EXPECT_FALSE(statusItem->isChecked());

    toolbarItem->trigger();
    statusItem->trigger();
    EXPECT_FALSE(toolBar->isHidden());
    EXPECT_FALSE(statusBar->isHidden());
    EXPECT_TRUE(toolbarItem->isChecked());
    EXPECT_TRUE(statusItem->isChecked());
}

TEST(MainWindow, ToolbarHasTheThirteenButtonsInOrder) {
    GuiProgram p;
    auto* toolBar = p.window.findChild<QToolBar*>("tbToolBar");
    ASSERT_NE(toolBar, nullptr);
    const QList<QAction*> actions = toolBar->actions();
    const std::vector<app::ToolbarButton>& buttons = app::toolbarButtons();
    ASSERT_EQ(buttons.size(), 13u);
    ASSERT_EQ(actions.size(), 13);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const QAction* a = actions[qsizetype(i)];
        EXPECT_EQ(str(a->text()), buttons[i].key);
        EXPECT_EQ(str(a->toolTip()), buttons[i].key);
        EXPECT_EQ(a->isEnabled(), buttons[i].command != nullptr || !buttons[i].windowEdit.empty())
            << buttons[i].key;
        EXPECT_FALSE(a->icon().isNull()) << buttons[i].key;
        EXPECT_EQ(p.window.toolbarAction(buttons[i].key), a);
    }
    EXPECT_EQ(str(actions.first()->text()), "新規作成");
    EXPECT_EQ(str(actions.last()->text()), "右揃え");
}

TEST(MainWindow, ToolbarButtonsRunTheirDispatch) {
    GuiProgram p;
    std::vector<std::string> shown;
    p.shell.setMessageHook([&](const std::string& text, ui::Buttons) {
        shown.push_back(text);
        return ui::Answer::Ok;
    });
    p.window.toolbarAction("太字")->trigger();
    p.window.toolbarAction("中央揃え")->trigger();
    p.window.toolbarAction("新規作成")->trigger();
    EXPECT_EQ(shown, (std::vector<std::string>{" '太字' ﾎﾞﾀﾝのｺｰﾄﾞを追加します。",
                                               " '中央揃え' ﾎﾞﾀﾝのｺｰﾄﾞを追加します。",
                                               " '新規作成' ﾎﾞﾀﾝのｺｰﾄﾞを追加します。"}));
}

TEST(MainWindow, StatusBarShowsTextTodayAndTheTime) {
    GuiProgram p;
    auto* bar = p.window.findChild<QStatusBar*>("sbStatusBar");
    ASSERT_NE(bar, nullptr);
    auto* text = bar->findChild<QLabel*>("panelStatus");
    auto* date = bar->findChild<QLabel*>("panelDate");
    auto* time = bar->findChild<QLabel*>("panelTime");
    ASSERT_TRUE(text && date && time);
    EXPECT_EQ(str(text->text()), "ｽﾃｰﾀｽ");

    const QDate shownDate = QDate::fromString(date->text(), "yyyy/MM/dd");
    ASSERT_TRUE(shownDate.isValid()) << str(date->text());
    const QDate today = QDate::currentDate();
    EXPECT_TRUE(shownDate == today || shownDate == today.addDays(-1)) << str(date->text());

    const QTime shownTime = QTime::fromString(time->text(), "H:mm");
    ASSERT_TRUE(shownTime.isValid()) << str(time->text());
    const int minutesOff = std::abs(shownTime.secsTo(QTime::currentTime())) / 60;
    EXPECT_TRUE(minutesOff <= 1 || minutesOff >= 24 * 60 - 1) << str(time->text());
}

TEST(MainWindow, LogPaneShowsLinesInOrderAndIsEmptyAfterClearing) {
    GuiProgram p;
    p.window.show();
    auto* pane = p.window.findChild<QPlainTextEdit*>("RichTextBox1");
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(pane->isReadOnly());
    EXPECT_EQ(p.window.centralWidget(), pane);

    p.session.log.append("男子シングルス 投入開始");
    p.session.log.append("  第1シード 山田");
    EXPECT_EQ(str(pane->toPlainText()), "男子シングルス 投入開始\n  第1シード 山田\n");

    p.window.menuAction("画面消去(&C)")->trigger();
    EXPECT_EQ(str(pane->toPlainText()), "");
    p.session.log.append("次の行");
    EXPECT_EQ(str(pane->document()->firstBlock().text()), "次の行");
    EXPECT_EQ(str(pane->toPlainText()), "次の行\n");
}

TEST(MainWindow, LogPaneFollowsTheLastLine) {
    GuiProgram p;
    p.window.show();
    auto* pane = p.window.findChild<QPlainTextEdit*>("RichTextBox1");
    ASSERT_NE(pane, nullptr);
    for (int i = 0; i < 300; ++i) p.session.log.append("行 " + std::to_string(i));
    QCoreApplication::processEvents();
    QScrollBar* scroll = pane->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 0);
    EXPECT_EQ(scroll->value(), scroll->maximum());
    EXPECT_EQ(pane->document()->blockCount(), 301);  // 300 lines and the empty one after them
}

// Records when a window is closed, to see the order the main window closes the others in.
class CloseRecorder : public QObject {
  public:
    explicit CloseRecorder(std::vector<std::string>& closed) : closed_(closed) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) closed_.push_back(str(watched->objectName()));
        return false;
    }

  private:
    std::vector<std::string>& closed_;
};

TEST(MainWindow, ClosingClosesTheOtherWindowsLastOpenedFirstThenQuits) {
    GuiProgram p;
    p.window.show();
    std::vector<std::string> closed;
    CloseRecorder recorder(closed);

    p.session.progress.show();  // the modeless Form2
    QWidget* progress = p.shell.progressWindow();
    ASSERT_NE(progress, nullptr);
    QWidget later;
    later.setObjectName("later");
    later.show();
    progress->installEventFilter(&recorder);
    later.installEventFilter(&recorder);
    p.window.installEventFilter(&recorder);

    ASSERT_FALSE(p.shell.workbookVisible());
    QTimer::singleShot(0, [&] { p.window.menuAction("mnuFileExit")->trigger(); });
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    safety.start(5000);
    const int rc = QApplication::exec();

    EXPECT_EQ(rc, 0) << "the application did not quit after the window closed";
    EXPECT_EQ(closed, (std::vector<std::string>{"frmMain", "later", "Form2"}));
    EXPECT_FALSE(p.window.isVisible());
    EXPECT_FALSE(later.isVisible());
    EXPECT_FALSE(progress->isVisible());
    // The closing steps ran: they show the spreadsheet host, minimised.
    EXPECT_TRUE(p.shell.workbookVisible());
    EXPECT_EQ(p.session.host.windowState(), -4140);
}

TEST(MainWindow, TopLevelEndEndsAtOnceWithoutClosingWindows) {
    GuiProgram p;
    p.window.show();
    std::vector<std::string> closed;
    CloseRecorder recorder(closed);
    QWidget other;
    other.setObjectName("other");
    other.show();
    other.installEventFilter(&recorder);
    p.window.installEventFilter(&recorder);

    QTimer::singleShot(0, [&] { p.window.menuAction("END")->trigger(); });
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    safety.start(5000);
    const int rc = QApplication::exec();

    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(closed.empty());
    EXPECT_TRUE(p.window.isVisible());
    EXPECT_TRUE(other.isVisible());
}

}  // namespace
}  // namespace tombra::test
