#include "gui/ProgressWindow.h"

#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cmath>

namespace tombra::gui {

namespace {
int scaled(float v) {
    const double s = std::round(double(v) * ProgressWindow::kScale);
    if (std::isnan(s)) return 0;
    return int(std::clamp(s, double(INT_MIN / 2), double(INT_MAX / 2)));
}
}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent), bar_(new QProgressBar(this)) {
    setObjectName(QString::fromLatin1(ui::ProgressDialog::kName));
    setWindowTitle(QString::fromUtf8(ui::ProgressDialog::kInitialCaption));
    setModal(false);
    bar_->setObjectName(QStringLiteral("ProgressBar1"));
    bar_->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar_);
}

void ProgressWindow::showProgress(const ui::ProgressDialog& progress) {
    setWindowTitle(QString::fromStdString(progress.caption()));
    const int lo = scaled(progress.min());
    // An empty range would turn the bar into a busy indicator.
    const int hi = std::max(scaled(progress.max()), lo + 1);
    bar_->setRange(lo, hi);
    bar_->setValue(std::clamp(scaled(progress.value()), lo, hi));
    if (progress.visible() && !isVisible()) {
        show();
        raise();
    } else if (!progress.visible() && isVisible()) {
        hide();
    }
}

}  // namespace tombra::gui
