#include "gui/OpenWindows.h"

#include <QApplication>
#include <QEvent>
#include <algorithm>

namespace tombra::gui {

namespace {
// Menus, tooltips and the like are not windows the user opened.
bool isUserWindow(const QWidget* w) {
    if (!w->isWindow()) return false;
    const Qt::WindowType type = w->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet || type == Qt::Tool;
}
}  // namespace

OpenWindows::OpenWindows(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

OpenWindows::~OpenWindows() {
    if (qApp) qApp->removeEventFilter(this);
}

bool OpenWindows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (isUserWindow(w)) {
            // Shown again counts as opened again; forget windows that are gone.
            std::erase_if(shown_, [w](const QPointer<QWidget>& p) { return p.isNull() || p == w; });
            shown_.emplace_back(w);
        }
    }
    return QObject::eventFilter(watched, event);
}

void OpenWindows::closeAllExcept(const QWidget* keep) {
    // Guarded copies: closing one window may delete another.
    const std::vector<QPointer<QWidget>> order(shown_.rbegin(), shown_.rend());
    for (const QPointer<QWidget>& w : order)
        if (w && w != keep && w->isVisible()) w->close();
}

}  // namespace tombra::gui
