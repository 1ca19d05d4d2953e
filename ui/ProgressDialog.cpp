#include "ui/ProgressDialog.h"

#include <utility>

#include "ui/Shell.h"

namespace tombra::ui {

void ProgressDialog::setCaption(std::string caption) {
    caption_ = std::move(caption);
    changed();
}

void ProgressDialog::setMin(float min) {
    min_ = min;
    changed();
}

void ProgressDialog::setMax(float max) {
    max_ = max;
    changed();
}

void ProgressDialog::setValue(float value) {
    value_ = value;
    changed();
}

void ProgressDialog::show() {
    visible_ = true;
    changed();
}

void ProgressDialog::hide() {
    visible_ = false;
    changed();
}

void ProgressDialog::changed() { shell_.progressChanged(*this); }

void ProgressDialog::start(std::string caption, float min, float max) {
    setCaption(std::move(caption));
    setMin(min);
    setMax(max);
    setValue(min);
    show();
}

}  // namespace tombra::ui
