#include <gtest/gtest.h>

#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include "gui/GuiFixture.h"
#include "gui/MenuMarkStyle.h"

namespace tombra::test {
namespace {

QImage drawnItem(QStyle* style, QWidget* menu, QStyleOptionMenuItem::CheckType type, bool checked) {
    QStyleOptionMenuItem option;
    option.initFrom(menu);
    option.rect = QRect(0, 0, 200, 24);
    option.text = QStringLiteral("ヤグラ・リーグ（個人・団体）投入(&T)");
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.menuHasCheckableItems = true;
    option.checkType = type;
    option.checked = checked;
    QImage image(200, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    style->drawControl(QStyle::CE_MenuItem, &option, &painter, menu);
    return image;
}

TEST(MenuMarkStyle, DrawsOnlySetMarks) {
    GuiProgram p;
    QMenu* menu = p.window.menuAction("投入(&T)")->menu();
    ASSERT_NE(menu, nullptr);
    QStyle* style = menu->style();
    EXPECT_EQ(style, gui::MenuMarkStyle::forMenus());

    const QImage unmarked = drawnItem(style, menu, QStyleOptionMenuItem::NonExclusive, false);
    const QImage plain = drawnItem(style, menu, QStyleOptionMenuItem::NotCheckable, false);
    const QImage marked = drawnItem(style, menu, QStyleOptionMenuItem::NonExclusive, true);
    EXPECT_EQ(unmarked, plain) << "an unmarked item shows an empty check box";
    EXPECT_NE(marked, unmarked) << "a set mark is not drawn";
}

}  // namespace
}  // namespace tombra::test
