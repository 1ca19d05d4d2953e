#pragma once

#include <QDialog>

#include "ui/ProgressDialog.h"

class QProgressBar;

namespace tombra::gui {

// The progress dialog Form2: modeless, so the main window stays as it is underneath while a
// long command moves the bar.
class ProgressWindow : public QDialog {
    Q_OBJECT
  public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    // Takes caption, range, value and visibility from the command's progress dialog.
    void showProgress(const ui::ProgressDialog& progress);
    QProgressBar* bar() const { return bar_; }

    // The bar counts in integers; the command's values are fractional, so they are scaled.
    static constexpr double kScale = 100.0;

  private:
    QProgressBar* bar_;
};

}  // namespace tombra::gui
