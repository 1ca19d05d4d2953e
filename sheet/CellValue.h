#pragma once

#include <string>

namespace tombra::sheet {

// What a cell holds as the commands see it: empty, a number or a text (truth values and
// error values of other programs read as their display text). A formula whose result the
// spreadsheet program never stored reads as empty, but says so.
class CellValue {
  public:
    enum class Kind { Empty, Number, Text, Boolean, Error };

    CellValue() = default;
    static CellValue number(double v) { return CellValue(Kind::Number, v, {}); }
    static CellValue text(std::string t) { return CellValue(Kind::Text, 0, std::move(t)); }
    static CellValue boolean(bool b) { return CellValue(Kind::Boolean, b ? 1 : 0, {}); }
    static CellValue error(std::string t) { return CellValue(Kind::Error, 0, std::move(t)); }
    static CellValue formulaWithoutValue() {
        CellValue v;
        v.formulaWithoutValue_ = true;
        return v;
    }

    Kind kind() const { return kind_; }
    bool isEmpty() const { return kind_ == Kind::Empty; }
    bool isNumber() const { return kind_ == Kind::Number; }
    bool isText() const { return kind_ == Kind::Text; }
    // An empty cell holding a formula that was never calculated.
    bool isFormulaWithoutValue() const { return formulaWithoutValue_; }
    // The number of a number cell, 0 otherwise.
    double asNumber() const { return kind_ == Kind::Number ? number_ : 0; }
    // The text as the cell's value reads when joined into a text: "" for an empty cell,
    // numbers without a leading blank, truth values as TRUE/FALSE.
    std::string asText() const;

    bool operator==(const CellValue&) const = default;

  private:
    CellValue(Kind k, double n, std::string t) : kind_(k), number_(n), text_(std::move(t)) {}
    Kind kind_ = Kind::Empty;
    double number_ = 0;
    std::string text_;
    bool formulaWithoutValue_ = false;
};

}  // namespace tombra::sheet
