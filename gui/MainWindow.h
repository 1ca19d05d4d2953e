#pragma once

#include <QMainWindow>
#include <map>
#include <string>

#include "app/CommandMap.h"
#include "gui/RecentFiles.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTimer;
class QToolBar;

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::app {}
namespace tombra::ui {
class CommandMarks;
class LogPane;
}  // namespace tombra::ui

namespace tombra::gui {

class OpenWindows;
class QtShell;

// frmMain: the menu bar and toolbar built from the command map, the log pane, and the status
// bar with its text, date and time panels. Every menu item and button runs its command; the
// window itself only shows what the session holds.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(Session& session, QtShell& shell, QWidget* parent = nullptr);
    ~MainWindow() override;

    Session& session() const { return session_; }
    // The action of a menu item (or of a menu) by its id; nullptr when there is none.
    QAction* menuAction(const std::string& id) const;
    // The toolbar action of a button key; nullptr when there is none.
    QAction* toolbarAction(const std::string& key) const;

    // The shell passes on what the commands change.
    void showLog(const ui::LogPane& log);
    void showMarks(const ui::CommandMarks& marks);

  protected:
    // Closes the other windows, last opened first, then runs the program's closing steps.
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    QMenu* buildMenu(const app::MenuItem& item, QWidget* parent);
    QAction* buildAction(const app::MenuItem& item, QObject* parent);
    void buildToolBar();
    void buildLogPane();
    void buildStatusBar();
    void updateClock();
    void runMenuItem(const app::MenuItem& item);
    void runToolbarButton(const std::string& key);
    // An Edit item the workbook window answers, on its selection when it shows.
    void runWindowEdit(const std::string& id);
    // What every command is followed by: the workbook window and the recent files follow.
    void afterCommand();
    void showRecentFiles();
    void openRecentFile(int number);

    Session& session_;
    QtShell& shell_;
    OpenWindows* openWindows_;
    std::map<std::string, QAction*> actions_;         // menu items and menus, by id
    std::map<std::string, QAction*> checkable_;       // items that can carry a mark, by id
    std::map<std::string, QAction*> toolbarActions_;  // by key
    RecentFiles recent_;
    QAction* recentSeparator_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    std::string shownLog_;  // the log text the pane shows, to append only what is new
    QLabel* statusText_ = nullptr;
    QLabel* date_ = nullptr;
    QLabel* time_ = nullptr;
    QTimer* clock_ = nullptr;
};

}  // namespace tombra::gui
