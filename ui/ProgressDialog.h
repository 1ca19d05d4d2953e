#pragma once

#include <concepts>
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
    // How a command opens the dialog: caption, range, the bar at its start, then show.
    void start(std::string caption, float min, float max);
    // Counts of tables, entries or rows, as most commands have them.
    template <std::integral N>
    void start(std::string caption, N min, N max) {
        start(std::move(caption), static_cast<float>(min), static_cast<float>(max));
    }
    template <std::integral N>
    void setValue(N value) {
        setValue(static_cast<float>(value));
    }

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
