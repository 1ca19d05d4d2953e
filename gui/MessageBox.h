#pragma once

#include <QMessageBox>
#include <memory>
#include <string>

#include "ui/Shell.h"

namespace tombra::gui {

// The program's message box: the text exactly as given, titled "Tombra", with the Japanese
// buttons OK / OK キャンセル / はい いいえ. Escape and the close box give キャンセル or いいえ.
std::unique_ptr<QMessageBox> makeMessageBox(const std::string& text, ui::Buttons buttons,
                                            QWidget* parent);
// The answer the user gave in a box made by makeMessageBox, after it ran.
ui::Answer answerOf(const QMessageBox& box, ui::Buttons buttons);
// Shows the box modally and returns the answer.
ui::Answer askUser(const std::string& text, ui::Buttons buttons, QWidget* parent);

}  // namespace tombra::gui
