#pragma once

#include <QProxyStyle>

namespace tombra::gui {

// Every command item can carry a check mark, but only a set mark is drawn: an unmarked item
// looks like any other command rather than like an empty check box.
class MenuMarkStyle : public QProxyStyle {
    Q_OBJECT
  public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

    // One for the whole program, owned by the application so that it outlives every menu.
    static QStyle* forMenus();
};

}  // namespace tombra::gui
