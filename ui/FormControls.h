#pragma once

// Shorthands for declaring the controls of a dialog, so that a declaration reads like the
// dialog itself.

#include <string>
#include <utility>

#include "ui/Form.h"

namespace tombra::ui::controls {

inline ControlSpec frame(std::string name, std::string caption) {
    return {std::move(name), ControlKind::Frame, std::move(caption)};
}
inline ControlSpec option(std::string name, std::string caption, std::string inFrame = {},
                          bool on = false) {
    return {std::move(name), ControlKind::OptionButton, std::move(caption), std::move(inFrame), on};
}
inline ControlSpec check(std::string name, std::string caption, bool on = false) {
    return {std::move(name), ControlKind::CheckBox, std::move(caption), {}, on};
}
inline ControlSpec label(std::string name, std::string caption, std::string inFrame = {}) {
    return {std::move(name), ControlKind::Label, std::move(caption), std::move(inFrame)};
}
inline ControlSpec textBox(std::string name, std::string initial, std::string inFrame = {}) {
    return {std::move(name), ControlKind::TextBox, {}, std::move(inFrame),
            false,           std::move(initial)};
}
inline ControlSpec button(std::string name, std::string caption) {
    return {std::move(name), ControlKind::CommandButton, std::move(caption)};
}

}  // namespace tombra::ui::controls
