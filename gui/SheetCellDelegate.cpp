#include "gui/SheetCellDelegate.h"

#include <QEvent>
#include <QPainter>

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

    painter->save();
    // In points from here on, as the pages are painted.
    painter->scale(kPixelsPerPoint, kPixelsPerPoint);
    const QRectF cell(option.rect.x() / kPixelsPerPoint, option.rect.y() / kPixelsPerPoint,
                      option.rect.width() / kPixelsPerPoint,
                      option.rect.height() / kPixelsPerPoint);
    if (!value.isEmpty()) {
        if (!text_ || textFor_ != painter) {
            text_ = std::make_unique<render::CellTextPainter>(*painter);
            textFor_ = painter;
        }
        text_->paint(render::CellTextLayout::displayText(value.asText()), format, value.kind(),
                     cell, cell);
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
        const sheet::FontSpec spec = ws->format(index.row() + 1, index.column() + 1).font;
        QFont font(render::printFontFamily(spec.name));
        font.setPointSizeF(spec.size > 0 ? spec.size : 11);
        font.setBold(spec.bold);
        font.setItalic(spec.italic);
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
