#include "gui/WorkbookWindow.h"

#include <QHideEvent>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/ProgramLook.h"
#include "gui/SheetPagesView.h"
#include "sheet/Workbook.h"

namespace tombra::gui {

namespace {
// A tab shows '&' as a shortcut mark unless it is doubled; sheet names may hold one.
QString tabText(const std::string& sheetName) {
    return QString::fromStdString(sheetName).replace(u'&', QStringLiteral("&&"));
}
}  // namespace

WorkbookWindow::WorkbookWindow(QWidget* parent) : QWidget(parent), tabs_(new QTabWidget(this)) {
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("WorkbookWindow"));
    setWindowTitle(kProgramTitle);
    // Hidden by its close box, it must not end the program the way the main window does.
    setAttribute(Qt::WA_QuitOnClose, false);
    tabs_->setObjectName(QStringLiteral("SheetTabs"));
    // Sheet tabs sit under the sheet, as in a spreadsheet.
    tabs_->setTabPosition(QTabWidget::South);
    tabs_->setDocumentMode(true);
    tabs_->setUsesScrollButtons(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);
    resize(860, 760);
}

void WorkbookWindow::setWorkbook(sheet::Workbook* workbook) {
    if (workbook == workbook_) return;
    // No tab may outlive the workbook it reads.
    workbook_ = workbook;
    clearTabs();
}

void WorkbookWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Restored from the task bar it shows what it showed; shown by the program it shows anew.
    if (!event->spontaneous()) refresh();
}

void WorkbookWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // The pages of a big event take a lot of memory, and would be out of date by the next show.
    if (!event->spontaneous()) clearTabs();
}

void WorkbookWindow::clearTabs() {
    while (tabs_->count() > 0) {
        QWidget* page = tabs_->widget(0);
        tabs_->removeTab(0);
        delete page;
    }
}

void WorkbookWindow::refresh() {
    clearTabs();
    if (!workbook_) {
        setWindowTitle(kProgramTitle);
        return;
    }
    setWindowTitle(QString::fromStdU16String(workbook_->path().filename().u16string()));
    // While hidden, the tab widget shows no page, so only the tab brought to the front below
    // renders, not every tab that is current for a moment while they are added.
    tabs_->hide();
    for (const std::string& name : workbook_->sheetNames())
        tabs_->addTab(new SheetPagesView(*workbook_, name, paper_), tabText(name));
    selectSheet(workbook_->activeSheetName());
    tabs_->show();
}

bool WorkbookWindow::selectSheet(const std::string& name) {
    for (int i = 0; i < tabs_->count(); ++i) {
        auto* view = qobject_cast<SheetPagesView*>(tabs_->widget(i));
        if (view && view->sheetName() == name) {
            tabs_->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

SheetPagesView* WorkbookWindow::currentSheetView() const {
    return qobject_cast<SheetPagesView*>(tabs_->currentWidget());
}

}  // namespace tombra::gui
