#pragma once

#include <string>

namespace tombra::ui {

class Shell;

// The log pane: append-only text that commands add lines to; cleared by "画面消去(&C)" and
// File > Open.
class LogPane {
  public:
    explicit LogPane(Shell& shell) : shell_(shell) {}
    // The pane's text becomes the old text, the line, CR and LF.
    void append(const std::string& line);
    void clear();
    const std::string& text() const { return text_; }

  private:
    Shell& shell_;
    std::string text_;
};

}  // namespace tombra::ui
