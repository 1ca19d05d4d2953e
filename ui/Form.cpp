#include "ui/Form.h"

#include <stdexcept>

namespace tombra::ui {

Form::Form(const FormSpec& declaration)
    : declaration_(&declaration), caption_(declaration.caption) {
    for (const ControlSpec& c : declaration.controls) {
        State s;
        s.value = c.initialValue;
        s.text = c.kind == ControlKind::TextBox ? c.initialText : c.caption;
        states_[c.name] = s;
    }
}

bool Form::has(const std::string& control) const { return states_.count(control) != 0; }

const ControlSpec& Form::control(const std::string& name) const {
    for (const ControlSpec& c : declaration_->controls)
        if (c.name == name) return c;
    throw std::out_of_range(declaration_->name + " has no control " + name);
}

Form::State& Form::state(const std::string& control) {
    auto it = states_.find(control);
    if (it == states_.end())
        throw std::out_of_range(declaration_->name + " has no control " + control);
    return it->second;
}

const Form::State& Form::state(const std::string& control) const {
    auto it = states_.find(control);
    if (it == states_.end())
        throw std::out_of_range(declaration_->name + " has no control " + control);
    return it->second;
}

bool Form::value(const std::string& control) const { return state(control).value; }

void Form::setValue(const std::string& name, bool on) {
    const ControlSpec& c = control(name);
    state(name).value = on;
    if (on && c.kind == ControlKind::OptionButton)
        for (const ControlSpec& other : declaration_->controls)
            if (other.kind == ControlKind::OptionButton && other.frame == c.frame &&
                other.name != name)
                state(other.name).value = false;
}

std::string Form::text(const std::string& control) const { return state(control).text; }
void Form::setText(const std::string& control, std::string text) {
    state(control).text = std::move(text);
}
bool Form::enabled(const std::string& control) const { return state(control).enabled; }
void Form::setEnabled(const std::string& control, bool enabled) {
    state(control).enabled = enabled;
}

std::string Form::selectedOption(const std::string& frame) const {
    for (const ControlSpec& c : declaration_->controls)
        if (c.kind == ControlKind::OptionButton && c.frame == frame && state(c.name).value)
            return c.name;
    return {};
}

void Form::userSetValue(const std::string& control, bool on) {
    setValue(control, on);
    if (declaration_->onChange) declaration_->onChange(*this, control);
}

void Form::userSetText(const std::string& control, std::string text) {
    setText(control, std::move(text));
    if (declaration_->onChange) declaration_->onChange(*this, control);
}

bool Form::press(const std::string& button) {
    if (control(button).kind != ControlKind::CommandButton)
        throw std::out_of_range(declaration_->name + ": " + button + " is not a button");
    if (declaration_->onButton && !declaration_->onButton(*this, button)) return false;
    pressed_ = button;
    return true;
}

void Form::aboutToShow() {
    pressed_.clear();
    if (declaration_->onShow) declaration_->onShow(*this);
}

Form& Forms::get(const FormSpec& declaration) {
    auto it = forms_.find(declaration.name);
    if (it == forms_.end())
        it = forms_.emplace(declaration.name, std::make_unique<Form>(declaration)).first;
    return *it->second;
}

Form* Forms::find(const std::string& name) {
    auto it = forms_.find(name);
    return it == forms_.end() ? nullptr : it->second.get();
}

std::vector<std::string> Forms::names() const {
    std::vector<std::string> out;
    for (const auto& [n, f] : forms_) out.push_back(n);
    return out;
}

}  // namespace tombra::ui
