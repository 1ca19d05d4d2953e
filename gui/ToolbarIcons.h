#pragma once

#include <QIcon>
#include <string>

class QStyle;

namespace tombra::gui {

// The picture of a toolbar button, by the button's key ("開く", "太字"...): the desktop's
// icon theme first, then the style's own pictures, then a small drawn one, so that every
// button has a picture whatever the desktop.
QIcon toolbarIcon(const std::string& key, const QStyle& style);

}  // namespace tombra::gui
