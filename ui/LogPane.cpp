#include "ui/LogPane.h"

#include "ui/Shell.h"

namespace tombra::ui {

void LogPane::append(const std::string& line) {
    text_ += line;
    text_ += "\r\n";
    shell_.logChanged(*this);
}

void LogPane::clear() {
    text_.clear();
    shell_.logChanged(*this);
}

}  // namespace tombra::ui
