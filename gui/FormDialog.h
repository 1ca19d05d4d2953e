#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <string>

#include "ui/Form.h"

class QButtonGroup;

namespace tombra::gui {

// The one dialog class that shows any form: frames become group boxes, option buttons exclude
// each other within their frame, and every change the user makes goes through the form, so
// the form's own behaviour runs and whatever it changes shows at once.
//
// One FormDialog exists per form. It is hidden, not destroyed, between showings; the values
// live in the form and are put back into the widgets each time it shows.
class FormDialog : public QDialog {
    Q_OBJECT
  public:
    using ErrorReporter = std::function<void(const std::string& text)>;

    FormDialog(ui::Form& form, ErrorReporter reportError, QWidget* parent = nullptr);

    ui::Form& form() const { return form_; }
    // Shows the dialog modally until a button closes it. Returns that button, or the form's
    // cancel button when the window was closed.
    std::string run();
    // The widget of a control, nullptr when the form has no such control.
    QWidget* control(const std::string& name) const;
    // Puts the form's captions, values, texts and enabled states into the widgets.
    void refresh();

  protected:
    // Escape and the close box: the same as pressing the form's cancel button.
    void reject() override;

  private:
    void build();
    QWidget* makeControl(const ui::ControlSpec& declaration, QWidget* parent);
    void userSetValue(const std::string& name, bool on);
    void userSetText(const std::string& name, const QString& text);
    void buttonClicked(const std::string& name);
    // Runs a piece of the form's behaviour; a failure is reported, never thrown through Qt.
    bool guarded(const std::function<void()>& work);

    ui::Form& form_;
    ErrorReporter reportError_;
    std::map<std::string, QWidget*> widgets_;
    std::map<std::string, QButtonGroup*> optionGroups_;  // by frame
    std::string closedBy_;
    bool refreshing_ = false;
};

}  // namespace tombra::gui
