#pragma once

// Shorthands for declaring the controls of the draw's dialogs.

#include <string>
#include <utility>

#include "ui/Form.h"

namespace tombra::app::controls {

inline ui::ControlSpec frame(std::string name, std::string caption) {
    return {std::move(name), ui::ControlKind::Frame, std::move(caption)};
}
inline ui::ControlSpec option(std::string name, std::string caption, std::string inFrame,
                              bool on = false) {
    return {std::move(name), ui::ControlKind::OptionButton, std::move(caption), std::move(inFrame),
            on};
}
inline ui::ControlSpec label(std::string name, std::string caption, std::string inFrame = {}) {
    return {std::move(name), ui::ControlKind::Label, std::move(caption), std::move(inFrame)};
}
inline ui::ControlSpec button(std::string name, std::string caption) {
    return {std::move(name), ui::ControlKind::CommandButton, std::move(caption)};
}

}  // namespace tombra::app::controls
