#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace tombra::gui {

// Remembers in which order the program's windows were shown, so that closing the main window
// can close the others last opened first. Watches every window of the application.
class OpenWindows : public QObject {
    Q_OBJECT
  public:
    explicit OpenWindows(QObject* parent = nullptr);
    ~OpenWindows() override;

    // Closes every open window but `keep`, last opened first.
    void closeAllExcept(const QWidget* keep);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::vector<QPointer<QWidget>> shown_;  // oldest first
};

}  // namespace tombra::gui
