#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <memory>

namespace tombra::render {
class CellTextPainter;
}

namespace tombra::gui {

// Paints a cell of the grid as the sheet formats it, with the printing code's fonts,
// alignment and border lines, and edits it in a CellEditor. Between beginPaint and endPaint
// (one paint of the view) the text painter and its fonts are kept.
class SheetCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit SheetCellDelegate(QObject* parent = nullptr);
    ~SheetCellDelegate() override;

    void beginPaint();
    void endPaint();
    // The next editor opens empty and its arrows move on: the user started typing over the
    // cell, as in a spreadsheet (rather than F2 or a double click, which edit its text).
    void setTypingOver(bool typingOver) { typingOver_ = typingOver; }
    // The editor open now; nullptr when no cell is being typed into.
    QWidget* openEditor() const { return editor_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

  signals:
    // A typing ended with Enter, Tab or an arrow: where the cell cursor goes next
    // (CellEditor::Move as an int).
    void moveAfterEdit(int move);

  public:
    // Screen pixels per point of the sheet: the grid shows the sheet at 100 %.
    static constexpr double kPixelsPerPoint = 96.0 / 72.0;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;

  private:
    bool typingOver_ = false;
    mutable QPointer<QWidget> editor_;
    mutable std::unique_ptr<render::CellTextPainter> text_;
    mutable const QPainter* textFor_ = nullptr;
};

}  // namespace tombra::gui
