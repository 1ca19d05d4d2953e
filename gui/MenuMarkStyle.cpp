#include "gui/MenuMarkStyle.h"

#include <QApplication>
#include <QPointer>
#include <QStyleOptionMenuItem>

namespace tombra::gui {

void MenuMarkStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    if (element == CE_MenuItem) {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (item && item->checkType == QStyleOptionMenuItem::NonExclusive && !item->checked) {
            QStyleOptionMenuItem plain(*item);
            plain.checkType = QStyleOptionMenuItem::NotCheckable;
            QProxyStyle::drawControl(element, &plain, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

QStyle* MenuMarkStyle::forMenus() {
    static QPointer<MenuMarkStyle> style;
    if (!style) {
        style = new MenuMarkStyle;
        style->setParent(qApp);
    }
    return style;
}

}  // namespace tombra::gui
