#pragma once

#include <set>
#include <span>
#include <string>

namespace tombra::ui {

class Shell;

// The check marks of the menu items: part of the program's state. Commands mark their own
// item when they run; later commands test the marks to keep the order of work. Items are
// named by their command id (the control name, or the caption where the item has none).
class CommandMarks {
  public:
    explicit CommandMarks(Shell& shell) : shell_(shell) {}
    bool checked(const std::string& id) const { return checked_.count(id) != 0; }
    void set(const std::string& id, bool on);
    void clear(std::span<const char* const> ids);
    const std::set<std::string>& all() const { return checked_; }

  private:
    Shell& shell_;
    std::set<std::string> checked_;
};

}  // namespace tombra::ui
