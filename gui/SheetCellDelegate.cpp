#include "gui/SheetCellDelegate.h"

#include <QEvent>
#include <QPainter>
#include <QTableView>
#include <cstdlib>

#include "gui/CellEditor.h"
#include "gui/SheetTableModel.h"
#include "render/BorderStroke.h"
#include "render/CellTextPainter.h"
#include "render/PrintFonts.h"
#include "sheet/Worksheet.h"

namespace tombra::gui {

namespace {

const sheet::Worksheet* sheetOf(const QModelIndex& index) {
    const auto* model = qobject_cast<const SheetTableModel*>(index.model());
    return model ? model->sheet() : nullptr;
}

// How far a text may run on into the empty cells beside it, as spreadsheets show it.
constexpr int kOverflowReach = 12;

// Which way a cell's text runs on when it is wider than the cell: a text, not wrapped, not
// merged, runs on to the right when left-aligned, to the left when right-aligned, both ways
// when centred. Numbers never do: they show as "###".
struct Overflow {
    bool right = false, left = false;
};
Overflow overflowOf(const sheet::Worksheet& ws, int row, int column) {
    const sheet::CellValue v = ws.value(row, column);
    if (v.kind() != sheet::CellValue::Kind::Text || ws.mergedAreaAt(row, column)) return {};
    const sheet::CellFormat f = ws.format(row, column);
    if (f.wrapText) return {};
    switch (render::CellTextLayout::effectiveHorizontal(f.horizontal, v.kind())) {
        case sheet::xl::HAlignLeft:
            return {true, false};
        case sheet::xl::HAlignRight:
            return {false, true};
        case sheet::xl::HAlignCenter:
            return {true, true};
        default:
            return {};
    }
}

// An empty cell a neighbour's text may run into.
bool openForOverflow(const sheet::Worksheet& ws, const QTableView& view, int row, int column) {
    return column >= 1 && column <= view.model()->columnCount() &&
           !view.isColumnHidden(column - 1) && ws.value(row, column).isEmpty() &&
           !ws.mergedAreaAt(row, column);
}

}  // namespace

SheetCellDelegate::SheetCellDelegate(QObject* parent) : QStyledItemDelegate(parent) {
    // A closed editor lingers until it is deleted; it is no longer the open one.
    connect(this, &QAbstractItemDelegate::closeEditor, this, [this](QWidget* editor) {
        if (editor_ == editor) editor_ = nullptr;
    });
}
SheetCellDelegate::~SheetCellDelegate() = default;

void SheetCellDelegate::beginPaint() {
    text_.reset();
    textFor_ = nullptr;
}

void SheetCellDelegate::endPaint() { beginPaint(); }

void SheetCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    if (option.state & QStyle::State_Selected)
        painter->fillRect(option.rect, option.palette.color(QPalette::Highlight).lighter(185));
    const sheet::Worksheet* ws = sheetOf(index);
    if (!ws) return;
    const int row = index.row() + 1, column = index.column() + 1;
    const sheet::CellValue value = ws->value(row, column);
    const sheet::CellFormat format = ws->format(row, column);

    const auto* view = qobject_cast<const QTableView*>(option.widget);
    // A column's stretch of this cell's row, in the view's pixels.
    auto besides = [&](int column) {
        return QRect(view->columnViewportPosition(column - 1), option.rect.y(),
                     view->columnWidth(column - 1), option.rect.height());
    };
    auto points = [](const QRect& r) {
        return QRectF(r.x() / kPixelsPerPoint, r.y() / kPixelsPerPoint, r.width() / kPixelsPerPoint,
                      r.height() / kPixelsPerPoint);
    };

    painter->save();
    // In points from here on, as the pages are painted.
    painter->scale(kPixelsPerPoint, kPixelsPerPoint);
    const QRectF cell = points(option.rect);
    auto paintText = [&](const sheet::CellValue& v, const sheet::CellFormat& f, const QRectF& rect,
                         const QRectF& clip) {
        if (!text_ || textFor_ != painter) {
            text_ = std::make_unique<render::CellTextPainter>(*painter);
            textFor_ = painter;
        }
        text_->paint(render::CellTextLayout::displayText(v.asText()), f, v.kind(), rect, clip);
    };
    if (!value.isEmpty()) {
        // Run on over the empty cells beside it; each of them paints its part again too, so
        // that the text stays whole when only they are repainted.
        QRect clip = option.rect;
        const Overflow runs = view ? overflowOf(*ws, row, column) : Overflow{};
        for (int c = column + 1;
             runs.right && c <= column + kOverflowReach && openForOverflow(*ws, *view, row, c); ++c)
            clip = clip.united(besides(c));
        for (int c = column - 1;
             runs.left && c >= column - kOverflowReach && openForOverflow(*ws, *view, row, c); --c)
            clip = clip.united(besides(c));
        paintText(value, format, cell, points(clip));
    } else if (view && !ws->mergedAreaAt(row, column)) {
        // The part of a neighbour's text that runs on into this empty cell.
        for (int step : {-1, 1}) {
            for (int c = column + step; std::abs(c - column) <= kOverflowReach; c += step) {
                if (c < 1 || c > view->model()->columnCount()) break;
                if (openForOverflow(*ws, *view, row, c)) continue;
                const Overflow runs = overflowOf(*ws, row, c);
                if ((step < 0 && runs.right) || (step > 0 && runs.left))
                    paintText(ws->value(row, c), ws->format(row, c), points(besides(c)), cell);
                break;
            }
        }
    }
    namespace xl = sheet::xl;
    const struct {
        int edge;
        QPointF from, to;
    } edges[] = {{xl::EdgeLeft, cell.topLeft(), cell.bottomLeft()},
                 {xl::EdgeTop, cell.topLeft(), cell.topRight()},
                 {xl::EdgeBottom, cell.bottomLeft(), cell.bottomRight()},
                 {xl::EdgeRight, cell.topRight(), cell.bottomRight()},
                 {xl::DiagonalDown, cell.topLeft(), cell.bottomRight()}};
    for (const auto& e : edges)
        if (format.edge(e.edge).present())
            render::BorderStroke(format.edge(e.edge)).draw(*painter, e.from, e.to, 1.0);
    painter->restore();
}

QWidget* SheetCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex& index) const {
    auto* editor = new CellEditor(parent);
    editor_ = editor;
    if (const sheet::Worksheet* ws = sheetOf(index)) {
        const sheet::FontSpec cellFont = ws->format(index.row() + 1, index.column() + 1).font;
        QFont font(render::printFontFamily(cellFont.name));
        font.setPointSizeF(cellFont.size > 0 ? cellFont.size : 11);
        font.setBold(cellFont.bold);
        font.setItalic(cellFont.italic);
        editor->setFont(font);
    }
    connect(editor, &CellEditor::committed, this, [this, editor](CellEditor::Move move) {
        auto* self = const_cast<SheetCellDelegate*>(this);
        emit self->commitData(editor);
        emit self->closeEditor(editor, QAbstractItemDelegate::NoHint);
        emit self->moveAfterEdit(static_cast<int>(move));
    });
    connect(editor, &CellEditor::cancelled, this, [this, editor] {
        emit const_cast<SheetCellDelegate*>(this)->closeEditor(
            editor, QAbstractItemDelegate::RevertModelCache);
    });
    return editor;
}

void SheetCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* e = qobject_cast<CellEditor*>(editor);
    if (!e) return;
    e->setEnterMode(typingOver_);
    e->setText(typingOver_ ? QString() : index.data(Qt::EditRole).toString());
}

void SheetCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const {
    if (auto* e = qobject_cast<CellEditor*>(editor)) model->setData(index, e->text(), Qt::EditRole);
}

void SheetCellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex&) const {
    editor->setGeometry(option.rect.adjusted(0, 0, 1, 1));
}

bool SheetCellDelegate::eventFilter(QObject* object, QEvent* event) {
    // The editor's own keys decide where the typing ends (Enter, Tab, Escape, the arrows).
    if (event->type() == QEvent::KeyPress && qobject_cast<CellEditor*>(object)) return false;
    return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace tombra::gui
