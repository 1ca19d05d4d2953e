#include "gui/CellEditor.h"

#include <QKeyEvent>

namespace tombra::gui {

CellEditor::CellEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("CellEditor"));
    setTabChangesFocus(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    document()->setDocumentMargin(1);
}

void CellEditor::setText(const QString& text) {
    setPlainText(text);
    moveCursor(QTextCursor::End);
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (event->modifiers() & Qt::AltModifier) {
                insertPlainText(QStringLiteral("\n"));
                return;
            }
            emit committed(shift ? Move::Up : Move::Down);
            return;
        case Qt::Key_Tab:
            emit committed(Move::Right);
            return;
        case Qt::Key_Backtab:
            emit committed(Move::Left);
            return;
        case Qt::Key_Escape:
            emit cancelled();
            return;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (enterMode_) {
                const int key = event->key();
                emit committed(key == Qt::Key_Up     ? Move::Up
                               : key == Qt::Key_Down ? Move::Down
                               : key == Qt::Key_Left ? Move::Left
                                                     : Move::Right);
                return;
            }
            break;
        default:
            break;
    }
    QPlainTextEdit::keyPressEvent(event);
}

}  // namespace tombra::gui
