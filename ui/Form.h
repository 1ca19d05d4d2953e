#pragma once

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tombra::ui {

enum class ControlKind { Frame, OptionButton, CheckBox, TextBox, Label, CommandButton };

// One control of a dialog. `frame` names the frame that holds it ("" for the form itself);
// option buttons in one frame exclude each other. Positions are in the dialog's own grid
// units (the generic dialog lays controls out by frame and order; the numbers are hints).
struct ControlSpec {
    std::string name;  // "Option3", "Check2", "Text1", "Label1", "Command1", "opt(0)"
    ControlKind kind = ControlKind::Label;
    std::string caption;
    std::string frame;
    bool initialValue = false;  // option buttons and check boxes
    std::string initialText;    // text boxes
    bool multiLine = false;     // text boxes
};

class Form;

// A dialog declared as data, with the behaviour that belongs to the dialog itself.
struct FormSpec {
    std::string name;  // "Form1"
    std::string caption;
    std::vector<ControlSpec> controls;
    // The button that accepts the dialog (pressed by the batch runner unless told otherwise)
    // and the one that cancels it (also what closing the window means).
    std::string okButton;
    std::string cancelButton;
    // Runs each time the dialog is about to show (preselection and the like).
    std::function<void(Form&)> onShow;
    // Runs when a control's value changes through the user (a label that follows an option).
    std::function<void(Form&, const std::string& control)> onChange;
    // Runs when a button is pressed; returning false keeps the dialog open (a check failed).
    std::function<bool(Form&, const std::string& button)> onButton;
};

// The one instance of a dialog: created on first use, kept hidden between uses, so that its
// controls keep the values last entered.
class Form {
  public:
    explicit Form(const FormSpec& declaration);

    const FormSpec& declaration() const { return *declaration_; }
    const std::string& name() const { return declaration_->name; }
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption) { caption_ = std::move(caption); }

    bool has(const std::string& control) const;
    const ControlSpec& control(const std::string& control) const;  // throws std::out_of_range

    // Option buttons and check boxes. Setting an option button on clears the others of its frame.
    bool value(const std::string& control) const;
    void setValue(const std::string& control, bool on);
    // Text boxes, and the captions of labels, buttons and frames.
    std::string text(const std::string& control) const;
    void setText(const std::string& control, std::string text);
    bool enabled(const std::string& control) const;
    void setEnabled(const std::string& control, bool enabled);
    // The option button that is on among those of a frame, "" when none.
    std::string selectedOption(const std::string& frame) const;

    // Values the dialog keeps beside its controls (what its last OK chose, a count its labels
    // are worked out from), of any type. They live as long as the dialog, as its controls'
    // values do.
    // `fallback` when never set.
    template <typename T>
    T memo(const std::string& key, T fallback) const {
        auto it = memos_.find(key);
        const T* value = it == memos_.end() ? nullptr : std::any_cast<T>(&it->second);
        return value ? *value : fallback;
    }
    template <typename T>
    void setMemo(const std::string& key, T value) {
        memos_[key] = std::move(value);
    }

    // What a user does: change a control (runs onChange) and press a button (runs onButton).
    void userSetValue(const std::string& control, bool on);
    void userSetText(const std::string& control, std::string text);
    // Returns true when the press closes the dialog.
    bool press(const std::string& button);
    const std::string& pressedButton() const { return pressed_; }
    bool accepted() const { return !pressed_.empty() && pressed_ == declaration_->okButton; }

    // Called by the shells around showing the dialog.
    void aboutToShow();
    bool visible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }

  private:
    struct State {
        bool value = false;
        std::string text;
        bool enabled = true;
    };
    State& state(const std::string& control);
    const State& state(const std::string& control) const;

    const FormSpec* declaration_;
    std::string caption_;
    std::map<std::string, State> states_;
    std::map<std::string, std::any> memos_;
    std::string pressed_;
    bool visible_ = false;
};

// Every dialog of the program, by name, created on first use.
class Forms {
  public:
    Form& get(const FormSpec& declaration);
    Form* find(const std::string& name);
    std::vector<std::string> names() const;

  private:
    std::map<std::string, std::unique_ptr<Form>> forms_;
};

}  // namespace tombra::ui
