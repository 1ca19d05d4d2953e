#pragma once

#include <QPlainTextEdit>

namespace tombra::gui {

// The text box a cell is typed into, in the grid and in the formula bar: Enter ends the
// typing (Shift+Enter upwards), Tab moves right (Shift+Tab left), Alt+Enter starts a new line
// in the cell, Escape gives the typing up. While it was opened by typing (not by F2 or a
// double click) the arrow keys end it too and move, as in a spreadsheet.
class CellEditor : public QPlainTextEdit {
    Q_OBJECT
  public:
    enum class Move { Down, Up, Right, Left, Stay };

    explicit CellEditor(QWidget* parent = nullptr);

    QString text() const { return toPlainText(); }
    void setText(const QString& text);
    // Opened by typing: the arrows move to the next cell.
    void setEnterMode(bool enterMode) { enterMode_ = enterMode; }

  signals:
    // The typing is done; `move` says where the cell cursor goes.
    void committed(CellEditor::Move move);
    void cancelled();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool enterMode_ = false;
};

}  // namespace tombra::gui
