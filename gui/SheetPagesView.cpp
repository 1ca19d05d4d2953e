#include "gui/SheetPagesView.h"

#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "render/SheetRenderer.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookError.h"

namespace tombra::gui {

namespace {
const char* const kPageProperty = "tombraPage";
}

SheetPagesView::SheetPagesView(sheet::Workbook& workbook, std::string sheetName,
                               render::PageSettings paper, QWidget* parent)
    : QScrollArea(parent),
      workbook_(workbook),
      sheetName_(std::move(sheetName)),
      paper_(std::move(paper)),
      pages_(new QWidget) {
    setObjectName(QString::fromStdString(sheetName_));
    // The desk the paper lies on, as print previews show it.
    setBackgroundRole(QPalette::Dark);
    viewport()->setBackgroundRole(QPalette::Dark);
    pages_->setBackgroundRole(QPalette::Dark);
    auto* column = new QVBoxLayout(pages_);
    column->setContentsMargins(kGap, kGap, kGap, kGap);
    column->setSpacing(kGap);
    column->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setWidget(pages_);
    setWidgetResizable(true);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void SheetPagesView::showEvent(QShowEvent* event) {
    QScrollArea::showEvent(event);
    if (!rendered_) render();
}

void SheetPagesView::render() {
    rendered_ = true;
    sheet::Worksheet* sheet = nullptr;
    try {
        sheet = workbook_.findSheet(sheetName_);
    } catch (const sheet::WorkbookError& e) {
        // A damaged sheet is reported where its pages would be; the other tabs still show.
        addNote(QString::fromUtf8(e.what()));
        return;
    }
    if (!sheet) {
        // Chart sheets have no cells to print.
        addNote(QStringLiteral("シート「%1」は表示できません。").arg(objectName()));
        return;
    }
    const render::SheetRenderer renderer(*sheet, paper_);
    const double ratio = devicePixelRatioF();
    for (int page = 0; page < renderer.pageCount(); ++page) {
        QPixmap pixmap = QPixmap::fromImage(renderer.renderPage(page, kDpi * ratio));
        if (pixmap.isNull()) continue;
        pixmap.setDevicePixelRatio(ratio);
        auto* label = new QLabel(pages_);
        label->setPixmap(pixmap);
        label->setProperty(kPageProperty, page);
        pages_->layout()->addWidget(label);
    }
}

void SheetPagesView::addNote(const QString& text) {
    auto* note = new QLabel(text, pages_);
    note->setTextFormat(Qt::PlainText);
    note->setForegroundRole(QPalette::BrightText);
    pages_->layout()->addWidget(note);
}

QList<QLabel*> SheetPagesView::pageLabels() const {
    QList<QLabel*> out;
    for (QLabel* label : pages_->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->property(kPageProperty).isValid()) out << label;
    return out;
}

}  // namespace tombra::gui
