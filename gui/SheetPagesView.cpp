#include "gui/SheetPagesView.h"

#include <QAction>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "render/SheetRenderer.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookError.h"

namespace tombra::gui {

namespace {

constexpr double kZoomStep = 1.25;

}  // namespace

SheetPagesView::SheetPagesView(sheet::Workbook& workbook, std::string sheetName,
                               std::optional<render::PageSettings> paper, QWidget* parent)
    : QAbstractScrollArea(parent),
      workbook_(workbook),
      sheetName_(std::move(sheetName)),
      givenPaper_(std::move(paper)),
      paper_(givenPaper_.value_or(render::PageSettings{})) {
    setObjectName(QString::fromStdString(sheetName_));
    // The desk the paper lies on, as print previews show it.
    setBackgroundRole(QPalette::Dark);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    addZoomActions();
    relayout_ = new QTimer(this);
    relayout_->setSingleShot(true);
    relayout_->setInterval(300);
    connect(relayout_, &QTimer::timeout, this, &SheetPagesView::relayoutNow);
}

void SheetPagesView::relayoutNow() {
    relayout_->stop();
    renderer_.reset();
    painted_.clear();
    cachedBytes_ = 0;
    delete note_;
    note_ = nullptr;
    rendered_ = false;
    if (isVisible()) prepare();
}

bool SheetPagesView::sameSheet() const {
    try {
        return workbook_.findSheet(sheetName_) == preparedSheet_;
    } catch (const sheet::WorkbookError&) {
        return false;
    }
}

void SheetPagesView::invalidate() { relayout_->start(); }

SheetPagesView::~SheetPagesView() = default;

void SheetPagesView::addZoomActions() {
    auto add = [this](const QString& text, const QList<QKeySequence>& keys, auto slot) {
        auto* action = new QAction(text, this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    add(QStringLiteral("拡大"), {QKeySequence::ZoomIn, QKeySequence(QStringLiteral("Ctrl+="))},
        &SheetPagesView::zoomIn);
    add(QStringLiteral("縮小"), {QKeySequence::ZoomOut}, &SheetPagesView::zoomOut);
    add(QStringLiteral("100%"), {QKeySequence(QStringLiteral("Ctrl+0"))}, [this] { setZoom(1); });
    add(QStringLiteral("幅に合わせる"), {}, &SheetPagesView::fitWidth);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void SheetPagesView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    if (!rendered_) prepare();
}

void SheetPagesView::prepare() {
    rendered_ = true;
    sheet::Worksheet* sheet = nullptr;
    try {
        sheet = workbook_.findSheet(sheetName_);
    } catch (const sheet::WorkbookError& e) {
        // A damaged sheet is reported where its pages would be; the other tabs still show.
        showNote(QString::fromUtf8(e.what()));
        return;
    }
    if (!sheet) {
        // Chart sheets have no cells to print.
        showNote(QStringLiteral("シート「%1」は表示できません。").arg(objectName()));
        return;
    }
    if (!givenPaper_) paper_ = render::PageSettings::fromPageSetup(sheet->pageSetup());
    renderer_ = std::make_unique<render::SheetRenderer>(*sheet, paper_);
    preparedSheet_ = sheet;
    preparedRevision_ = workbook_.revision();
    updateScrollBars();
    viewport()->update();
}

void SheetPagesView::showNote(const QString& text) {
    note_ = new QLabel(text, viewport());
    note_->setTextFormat(Qt::PlainText);
    note_->setForegroundRole(QPalette::BrightText);
    note_->move(kGap, kGap);
    note_->adjustSize();
    note_->show();
}

int SheetPagesView::pageCount() const { return renderer_ ? renderer_->pageCount() : 0; }

QSize SheetPagesView::pageSize() const {
    const QRectF paper = paper_.paperRectPoints();
    const double perPoint = kDpi / 72.0 * zoom_;
    return QSize(static_cast<int>(std::lround(paper.width() * perPoint)),
                 static_cast<int>(std::lround(paper.height() * perPoint)));
}

QSize SheetPagesView::contentSize() const {
    const QSize page = pageSize();
    const int pages = pageCount();
    return QSize(page.width() + 2 * kGap, pages * (page.height() + kGap) + kGap);
}

QRect SheetPagesView::pageRect(int page) const {
    const QSize size = pageSize(), content = contentSize();
    // Centred while the viewport is wider than the pages, scrolled otherwise.
    const int left = content.width() < viewport()->width()
                         ? (viewport()->width() - content.width()) / 2
                         : -horizontalScrollBar()->value();
    return QRect(
        QPoint(left + kGap, kGap + page * (size.height() + kGap) - verticalScrollBar()->value()),
        size);
}

QImage SheetPagesView::pageImage(int page) const {
    if (!renderer_ || page < 0 || page >= pageCount()) return {};
    for (auto it = painted_.begin(); it != painted_.end(); ++it) {
        if (it->page != page || it->zoom != zoom_) continue;
        painted_.splice(painted_.begin(), painted_, it);
        return painted_.front().image;
    }
    const double ratio = devicePixelRatioF();
    QImage image = renderer_->renderPage(page, kDpi * zoom_ * ratio);
    image.setDevicePixelRatio(ratio);
    painted_.push_front({page, zoom_, image});
    cachedBytes_ += static_cast<std::size_t>(image.sizeInBytes());
    // The least recently used go first; the page just painted always stays.
    while (cachedBytes_ > kCacheBudget && painted_.size() > 1) {
        cachedBytes_ -= static_cast<std::size_t>(painted_.back().image.sizeInBytes());
        painted_.pop_back();
    }
    return image;
}

void SheetPagesView::paintEvent(QPaintEvent* event) {
    // A workbook read again from its file has new sheets: the old layout must not be painted.
    if (renderer_ && workbook_.revision() != preparedRevision_ && !sameSheet()) relayoutNow();
    QPainter painter(viewport());
    for (int page = 0; page < pageCount(); ++page) {
        const QRect rect = pageRect(page);
        if (rect.intersects(event->rect())) painter.drawImage(rect, pageImage(page));
    }
}

void SheetPagesView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void SheetPagesView::updateScrollBars() {
    const QSize content = contentSize(), view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, content.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(std::max(1, pageSize().height() / 20));
}

void SheetPagesView::setZoom(double zoom) { zoomAround(zoom, viewport()->rect().center()); }

void SheetPagesView::zoomIn() { setZoom(zoom_ * kZoomStep); }

void SheetPagesView::zoomOut() { setZoom(zoom_ / kZoomStep); }

void SheetPagesView::fitWidth() {
    const double paperWidth = paper_.paperRectPoints().width() * kDpi / 72.0;
    if (paperWidth > 0) setZoom((viewport()->width() - 2 * kGap) / paperWidth);
}

void SheetPagesView::zoomAround(double zoom, QPoint anchor) {
    zoom = std::clamp(zoom, kLeastZoom, kMostZoom);
    if (zoom == zoom_) return;
    const double x = anchor.x() + horizontalScrollBar()->value();
    const double y = anchor.y() + verticalScrollBar()->value();
    const double factor = zoom / zoom_;
    zoom_ = zoom;
    updateScrollBars();
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(x * factor - anchor.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(y * factor - anchor.y())));
    viewport()->update();
}

void SheetPagesView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const double steps = event->angleDelta().y() / 120.0;
    zoomAround(zoom_ * std::pow(kZoomStep, steps), event->position().toPoint());
    event->accept();
}

}  // namespace tombra::gui
