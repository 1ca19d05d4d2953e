#pragma once

#include <vector>

#include "ui/Form.h"

namespace tombra::app {

// Every dialog the program declares, in form-number order. Form2, the progress dialog, is
// no declared form and is not among them.
const std::vector<const ui::FormSpec*>& allForms();

}  // namespace tombra::app
