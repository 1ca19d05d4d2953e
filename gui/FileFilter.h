#pragma once

#include <QString>
#include <string>

namespace tombra::gui {

// The common dialog's filter, "説明|*.xlsx|すべて|*.*", as Qt writes it:
// "説明 (*.xlsx);;すべて (*.*)". Patterns separated by ';' become space separated; a
// description that already shows its patterns is not given them twice.
QString qtFileFilter(const std::string& filter);

}  // namespace tombra::gui
