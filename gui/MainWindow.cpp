#include "gui/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <exception>

#include "app/ProgramCommands.h"
#include "gui/MenuMarkStyle.h"
#include "gui/OpenWindows.h"
#include "gui/ProgramLook.h"
#include "gui/QtShell.h"
#include "gui/ToolbarIcons.h"
#include "gui/WorkbookWindow.h"
#include "session/CommandHistory.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "sheet/Workbook.h"

namespace tombra::gui {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }

// What the window-edit items of the command map do in the workbook window.
using WindowEdit = void (WorkbookWindow::*)();
WindowEdit windowEditOf(const std::string& id) {
    if (id == "mnuEditUndo") return &WorkbookWindow::undo;
    if (id == "mnuEditCut") return &WorkbookWindow::cut;
    if (id == "mnuEditCopy") return &WorkbookWindow::copy;
    if (id == "mnuEditPaste") return &WorkbookWindow::paste;
    return nullptr;
}

// The log keeps CR LF line ends; the pane wants one break per line.
QString paneText(const std::string& text) {
    QString out = qs(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}
}  // namespace

MainWindow::MainWindow(Session& session, QtShell& shell, QWidget* parent)
    : QMainWindow(parent), session_(session), shell_(shell), openWindows_(new OpenWindows(this)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kProgramTitle);
    // The toolbar's visibility belongs to the View menu's check mark, not to a context menu.
    setContextMenuPolicy(Qt::NoContextMenu);
    buildMenus();
    buildToolBar();
    buildLogPane();
    buildStatusBar();
    showRecentFiles();
    resize(900, 600);

    shell.setMainWindow(this);
    showLog(session_.log);
    showMarks(session_.marks);
    app::startUp(session_);
}

MainWindow::~MainWindow() = default;

// ---- menus

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    for (const app::MenuItem& item : app::menuBar()) {
        if (item.isSeparator())
            bar->addSeparator()->setVisible(item.visible);
        else if (item.children.empty())
            bar->addAction(buildAction(item, bar));
        else
            bar->addMenu(buildMenu(item, bar));
    }
}

QMenu* MainWindow::buildMenu(const app::MenuItem& item, QWidget* parent) {
    auto* menu = new QMenu(qs(item.caption), parent);
    menu->setStyle(MenuMarkStyle::forMenus());
    menu->setObjectName(qs(item.id));
    QAction* own = menu->menuAction();
    own->setObjectName(qs(item.id));
    own->setVisible(item.visible);
    own->setEnabled(item.enabled());
    actions_.emplace(item.id, own);
    const app::MenuItem* previous = nullptr;
    for (const app::MenuItem& child : item.children) {
        if (child.isSeparator()) {
            QAction* separator = menu->addSeparator();
            separator->setVisible(child.visible);
            // The recent files' own separator shows with them.
            if (previous && previous->recentFile > 0) recentSeparator_ = separator;
        } else if (child.children.empty())
            menu->addAction(buildAction(child, menu));
        else
            menu->addMenu(buildMenu(child, menu));
        previous = &child;
    }
    return menu;
}

QAction* MainWindow::buildAction(const app::MenuItem& item, QObject* parent) {
    auto* action = new QAction(qs(item.caption), parent);
    action->setObjectName(qs(item.id));
    action->setVisible(item.visible);
    action->setEnabled(item.enabled());
    if (!item.shortcut.empty())
        action->setShortcut(QKeySequence(qs(item.shortcut), QKeySequence::PortableText));
    // Every command item can carry a mark; which ones do is the session's business.
    action->setCheckable(true);
    action->setChecked(session_.marks.checked(item.id));
    actions_.emplace(item.id, action);
    checkable_.emplace(item.id, action);
    const app::MenuItem* target = &item;  // the command map lives as long as the program
    if (item.windowEdit) {
        const std::string id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { runWindowEdit(id); });
    } else if (item.recentFile > 0) {
        action->setCheckable(false);
        const int number = item.recentFile;
        connect(action, &QAction::triggered, this, [this, number] { openRecentFile(number); });
    } else {
        connect(action, &QAction::triggered, this, [this, target] { runMenuItem(*target); });
    }
    return action;
}

void MainWindow::runMenuItem(const app::MenuItem& item) {
    // Qt has already flipped the action's check; the marks decide, so put it back first.
    showMarks(session_.marks);
    app::runMenuItem(session_, item);
    afterCommand();
}

void MainWindow::afterCommand() {
    shell_.followWorkbook();
    // The workbook the commands now work on heads the recent files.
    const std::string& path = session_.state.WorkbookPath;
    if (const sheet::Workbook* held = path.empty() ? nullptr : session_.host.held(path)) {
        const QString file = QString::fromStdU16String(held->path().u16string());
        if (recent_.files().value(0) != file) {
            recent_.add(file);
            showRecentFiles();
        }
    }
}

void MainWindow::showRecentFiles() {
    const QStringList files = recent_.files();
    for (int i = 1; i <= RecentFiles::kMost; ++i) {
        QAction* action = menuAction("mnuFileMRU(" + std::to_string(i) + ")");
        if (!action) continue;
        const QString file = files.value(i - 1);
        action->setVisible(!file.isEmpty());
        // "&1 大会.xlsx", the whole path in the status bar.
        action->setText(file.isEmpty()
                            ? QString()
                            : QStringLiteral("&%1 %2").arg(i).arg(QFileInfo(file).fileName()));
        action->setStatusTip(file);
        action->setToolTip(file);
    }
    if (recentSeparator_) recentSeparator_->setVisible(!files.isEmpty());
}

void MainWindow::openRecentFile(int number) {
    const QString file = recent_.files().value(number - 1);
    if (file.isEmpty()) return;
    if (!QFileInfo(file).isFile()) {
        session_.tell("「" + file.toStdString() + "」が見つかりません");
        recent_.remove(file);
        showRecentFiles();
        return;
    }
    // The same road as 開く: the settings, then this file in place of the file dialog.
    shell_.chooseNextFile(file.toStdString());
    if (const app::MenuItem* open = app::findMenuItem("mnuFileOpen")) runMenuItem(*open);
    shell_.chooseNextFile({});
}

QAction* MainWindow::menuAction(const std::string& id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::showMarks(const ui::CommandMarks& marks) {
    for (const auto& [id, action] : checkable_) action->setChecked(marks.checked(id));
    toolBar_->setVisible(marks.checked(ids::kViewToolbar));
    statusBar()->setVisible(marks.checked(ids::kViewStatusBar));
}

// ---- toolbar

void MainWindow::buildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("tbToolBar"));
    toolBar_->setObjectName(QStringLiteral("tbToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->toggleViewAction()->setVisible(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const app::ToolbarButton& button : app::toolbarButtons()) {
        const QString key = qs(button.key);
        QAction* action = toolBar_->addAction(toolbarIcon(button.key, *style()), key);
        action->setObjectName(key);
        action->setToolTip(key);
        action->setEnabled(button.command != nullptr || !button.windowEdit.empty());
        toolbarActions_.emplace(button.key, action);
        const std::string k = button.key, edit = button.windowEdit;
        connect(action, &QAction::triggered, this, [this, k, edit] {
            if (!edit.empty())
                runWindowEdit(edit);
            else
                runToolbarButton(k);
        });
    }
}

void MainWindow::runToolbarButton(const std::string& key) {
    app::runToolbarButton(session_, key);
    afterCommand();
}

void MainWindow::runWindowEdit(const std::string& id) {
    showMarks(session_.marks);
    WorkbookWindow* window = shell_.workbookWindow();
    const WindowEdit edit = windowEditOf(id);
    const bool shown = window && window->isVisible() && window->workbook() && edit;
    // An item with a command of its own (元に戻す) leaves the window only the typing that is
    // newer than the last command; the window then shows the undone cells where they are.
    const app::MenuItem* item = app::findMenuItem(id);
    if (item && item->command && !(shown && typingComesFirst(session_, *window->workbook()))) {
        runMenuItem(*item);
        return;
    }
    if (shown) (window->*edit)();
}

QAction* MainWindow::toolbarAction(const std::string& key) const {
    auto it = toolbarActions_.find(key);
    return it == toolbarActions_.end() ? nullptr : it->second;
}

// ---- log pane

void MainWindow::buildLogPane() {
    log_ = new QPlainTextEdit(this);
    log_->setObjectName(QStringLiteral("RichTextBox1"));
    log_->setReadOnly(true);
    log_->setUndoRedoEnabled(false);
    log_->setFont(logPaneFont());
    setCentralWidget(log_);
}

void MainWindow::showLog(const ui::LogPane& log) {
    const std::string& text = log.text();
    QTextCursor end(log_->document());
    end.movePosition(QTextCursor::End);
    // Commands only append, so the pane takes just the new lines; anything else (a clear)
    // shows the whole text again.
    if (text.size() >= shownLog_.size() && text.compare(0, shownLog_.size(), shownLog_) == 0) {
        end.insertText(paneText(text.substr(shownLog_.size())));
    } else {
        log_->clear();
        end = QTextCursor(log_->document());
        end.insertText(paneText(text));
    }
    shownLog_ = text;
    log_->moveCursor(QTextCursor::End);
    log_->ensureCursorVisible();
    log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
}

// ---- status bar

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    bar->setSizeGripEnabled(true);
    statusText_ = new QLabel(QStringLiteral("ｽﾃｰﾀｽ"), bar);
    statusText_->setObjectName(QStringLiteral("panelStatus"));
    date_ = new QLabel(bar);
    date_->setObjectName(QStringLiteral("panelDate"));
    time_ = new QLabel(bar);
    time_->setObjectName(QStringLiteral("panelTime"));
    for (QLabel* panel : {statusText_, date_, time_}) {
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
    }
    bar->addWidget(statusText_, 1);
    bar->addPermanentWidget(date_);
    bar->addPermanentWidget(time_);
    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, &MainWindow::updateClock);
    clock_->start(1000);
    updateClock();
}

void MainWindow::updateClock() {
    const QDateTime now = QDateTime::currentDateTime();
    date_->setText(now.date().toString(QStringLiteral("yyyy/MM/dd")));
    time_->setText(now.time().toString(QStringLiteral("H:mm")));
}

// ---- closing

void MainWindow::closeEvent(QCloseEvent* event) {
    // Asked while the workbook still shows: an unsaved workbook the user keeps keeps the
    // program open.
    if (!app::mainWindowClosing(session_)) {
        event->ignore();
        return;
    }
    openWindows_->closeAllExcept(this);
    event->accept();
    QCoreApplication::quit();
}

}  // namespace tombra::gui
