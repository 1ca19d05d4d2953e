#include "ui/CommandMarks.h"

#include "ui/Shell.h"

namespace tombra::ui {

void CommandMarks::set(const std::string& id, bool on) {
    if (on)
        checked_.insert(id);
    else
        checked_.erase(id);
    shell_.marksChanged(*this);
}

void CommandMarks::clear(std::span<const char* const> ids) {
    for (const char* id : ids) checked_.erase(id);
    shell_.marksChanged(*this);
}

}  // namespace tombra::ui
