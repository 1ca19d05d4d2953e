#pragma once

#include <string>

namespace tombra::ui {

class Shell;

// The progress dialog Form2: a caption naming the current step and one progress bar. Long
// commands show it modeless, move its value as they go and hide it at the end.
class ProgressDialog {
public:
    static constexpr const char* kName = "Form2";
    static constexpr const char* kInitialCaption = "処理中";

    explicit ProgressDialog(Shell& shell) : shell_(shell) {}

    void setCaption(std::string caption);
    void setMin(float min);
    void setMax(float max);
    void setValue(float value);
    void show();
    void hide();
    // Caption, range, then show: how most commands open the dialog.
    void start(std::string caption, float min, float max);

    const std::string& caption() const { return caption_; }
    float min() const { return min_; }
    float max() const { return max_; }
    float value() const { return value_; }
    bool visible() const { return visible_; }

private:
    void changed();
    Shell& shell_;
    std::string caption_ = kInitialCaption;
    float min_ = 0, max_ = 100, value_ = 0;
    bool visible_ = false;
};

}  // namespace tombra::ui
