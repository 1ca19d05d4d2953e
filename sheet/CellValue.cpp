#include "sheet/CellValue.h"

#include "state/Numbers.h"

namespace tombra::sheet {

std::string CellValue::asText() const {
    switch (kind_) {
        case Kind::Empty:
            return {};
        case Kind::Number:
            return tombra::numberText(number_);
        case Kind::Boolean:
            return number_ != 0 ? "TRUE" : "FALSE";
        case Kind::Text:
        case Kind::Error:
            return text_;
    }
    return {};
}

}  // namespace tombra::sheet
