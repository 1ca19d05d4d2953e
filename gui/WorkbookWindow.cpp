#include "gui/WorkbookWindow.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/CellEditor.h"
#include "gui/ProgramLook.h"
#include "gui/SheetGridView.h"
#include "gui/SheetPagesView.h"
#include "gui/SheetTab.h"
#include "gui/SheetTableModel.h"
#include "session/Session.h"
#include "sheet/CellAddress.h"
#include "sheet/Workbook.h"

namespace tombra::gui {

namespace {
// A tab shows '&' as a shortcut mark unless it is doubled; sheet names may hold one.
QString tabText(const std::string& sheetName) {
    return QString::fromStdString(sheetName).replace(u'&', QStringLiteral("&&"));
}
}  // namespace

WorkbookWindow::WorkbookWindow(QWidget* parent)
    : QWidget(parent),
      tabs_(new QTabWidget(this)),
      address_(new QLabel(this)),
      formula_(new CellEditor(this)) {
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

    address_->setObjectName(QStringLiteral("CellAddress"));
    address_->setMinimumWidth(70);
    formula_->setObjectName(QStringLiteral("FormulaBar"));
    formula_->setFrameShape(QFrame::StyledPanel);
    formula_->setFixedHeight(formula_->fontMetrics().lineSpacing() + 10);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 2);
    bar->addWidget(address_);
    bar->addWidget(formula_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(tabs_, 1);
    resize(1200, 780);

    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        showCurrentCell();
        if (SheetGridView* grid = currentGrid()) grid->setFocus();
    });
    connect(formula_, &CellEditor::committed, this,
            [this](CellEditor::Move move) { commitFormula(static_cast<int>(move)); });
    connect(formula_, &CellEditor::cancelled, this, [this] {
        showCurrentCell();
        if (SheetGridView* grid = currentGrid()) grid->setFocus();
    });
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
    address_->clear();
    formula_->setText({});
}

void WorkbookWindow::refresh() {
    clearTabs();
    if (!workbook_) {
        setWindowTitle(kProgramTitle);
        return;
    }
    // While hidden, the tab widget shows no page, so only the tab brought to the front below
    // renders, not every tab that is current for a moment while they are added.
    tabs_->hide();
    for (const std::string& name : workbook_->sheetNames()) {
        if (workbook_->sheetHidden(name)) continue;  // the program's own working copies
        auto* tab = new SheetTab(session_, *workbook_, name, paper_);
        connect(tab, &SheetTab::edited, this, &WorkbookWindow::typed);
        connect(tab, &SheetTab::currentCellChanged, this, [this] { showCurrentCell(); });
        connect(tab, &SheetTab::undoRequested, this, &WorkbookWindow::undo);
        connect(tab, &SheetTab::redoRequested, this, &WorkbookWindow::redo);
        tabs_->addTab(tab, tabText(name));
    }
    selectSheet(workbook_->activeSheetName());
    tabs_->show();
    if (SheetGridView* grid = currentGrid()) grid->setFocus();
    shownRevision_ = workbook_->revision();
    updateTitle();
    showCurrentCell();
}

void WorkbookWindow::followWorkbook() {
    if (!workbook_ || !isVisible()) return;
    if (workbook_->revision() != shownRevision_) {
        SheetTab* front = sheetTab(tabs_->currentIndex());
        const std::string sheetName = front ? front->sheetName() : std::string();
        refresh();
        if (!sheetName.empty()) selectSheet(sheetName);
    }
    updateTitle();
}

void WorkbookWindow::updateTitle() {
    if (!workbook_) return;
    // "[*]" is where Qt shows the unsaved mark.
    setWindowTitle(QString::fromStdU16String(workbook_->path().filename().u16string()) +
                   QStringLiteral("[*]"));
    setWindowModified(workbook_->hasUnsavedChanges());
}

bool WorkbookWindow::selectSheet(const std::string& name) {
    for (int i = 0; i < tabs_->count(); ++i) {
        if (sheetTab(i) && sheetTab(i)->sheetName() == name) {
            tabs_->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

SheetTab* WorkbookWindow::sheetTab(int index) const {
    return qobject_cast<SheetTab*>(tabs_->widget(index));
}

SheetPagesView* WorkbookWindow::currentSheetView() const {
    SheetTab* tab = sheetTab(tabs_->currentIndex());
    return tab ? tab->pages() : nullptr;
}

SheetGridView* WorkbookWindow::currentGrid() const {
    SheetTab* tab = sheetTab(tabs_->currentIndex());
    return tab ? tab->grid() : nullptr;
}

void WorkbookWindow::showCurrentCell() {
    const SheetGridView* grid = currentGrid();
    const QModelIndex current = grid ? grid->currentIndex() : QModelIndex();
    if (!current.isValid()) {
        address_->clear();
        formula_->setText({});
        return;
    }
    address_->setText(
        QString::fromStdString(sheet::cellReference(current.row() + 1, current.column() + 1)));
    formula_->setText(current.data(Qt::EditRole).toString());
}

void WorkbookWindow::commitFormula(int move) {
    SheetGridView* grid = currentGrid();
    if (!grid || !grid->currentIndex().isValid()) return;
    grid->model()->setData(grid->currentIndex(), formula_->text(), Qt::EditRole);
    grid->setFocus();
    // The formula bar moves the cell cursor as the cell's own editor does.
    grid->moveAfterEdit(move);
    showCurrentCell();
}

void WorkbookWindow::typed() {
    // The window's own typing needs no new tabs; the page view follows by itself.
    if (workbook_) shownRevision_ = workbook_->revision();
    updateTitle();
    showCurrentCell();
}

void WorkbookWindow::replay(bool forward) {
    if (!workbook_ || !session_) return;
    const sheet::EditStep* step =
        forward ? session_->edits.redo(*workbook_) : session_->edits.undo(*workbook_);
    if (!step) return;
    shownRevision_ = workbook_->revision();
    if (selectSheet(step->sheet)) {
        SheetTab* tab = sheetTab(tabs_->currentIndex());
        tab->model()->cellsChanged(step->area());
        tab->grid()->selectArea(step->area());
        tab->pages()->invalidate();
        tab->grid()->setFocus();
    }
    updateTitle();
    showCurrentCell();
}

void WorkbookWindow::undo() { replay(false); }
void WorkbookWindow::redo() { replay(true); }

void WorkbookWindow::copy() {
    if (SheetGridView* grid = currentGrid()) grid->copy();
}
void WorkbookWindow::cut() {
    if (SheetGridView* grid = currentGrid()) grid->cut();
}
void WorkbookWindow::paste() {
    if (SheetGridView* grid = currentGrid()) grid->paste();
}

}  // namespace tombra::gui
