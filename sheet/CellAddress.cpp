#include "sheet/CellAddress.h"

#include <cctype>

#include "sheet/WorkbookError.h"

namespace tombra::sheet {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

[[noreturn]] void badRange(std::string_view text) {
    throw WorkbookError("範囲の指定が正しくありません: \"" + std::string(text) + "\"");
}

// One end of an area: letters and/or digits, each optional, "$" ignored.
struct Corner {
    int column = 0;  // 0: no letters
    int row = 0;     // 0: no digits
};

bool parseCorner(std::string_view s, Corner& out) {
    size_t i = 0;
    if (i < s.size() && s[i] == '$') ++i;
    size_t letterStart = i;
    while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) ++i;
    std::string_view letters = s.substr(letterStart, i - letterStart);
    if (i < s.size() && s[i] == '$') ++i;
    size_t digitStart = i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    std::string_view digits = s.substr(digitStart, i - digitStart);
    if (i != s.size() || (letters.empty() && digits.empty())) return false;
    if (!letters.empty()) {
        out.column = columnNumber(letters);
        if (out.column == 0) return false;
    }
    if (!digits.empty()) {
        if (digits.size() > 7) return false;
        int row = 0;
        for (char d : digits) row = row * 10 + (d - '0');
        if (row < 1 || row > kMaxRow) return false;
        out.row = row;
    }
    return true;
}

bool parseArea(std::string_view s, Area& out) {
    size_t colon = s.find(':');
    Corner a, b;
    if (colon == std::string_view::npos) {
        if (!parseCorner(s, a) || a.column == 0 || a.row == 0) return false;
        out = Area::cell(a.row, a.column);
        return true;
    }
    if (!parseCorner(s.substr(0, colon), a) || !parseCorner(s.substr(colon + 1), b)) return false;
    bool aCell = a.column && a.row, bCell = b.column && b.row;
    if (aCell && bCell) {
        out = {std::min(a.row, b.row), std::min(a.column, b.column), std::max(a.row, b.row),
               std::max(a.column, b.column)};
    } else if (a.column && !a.row && b.column && !b.row) {
        out = Area::columns(std::min(a.column, b.column), std::max(a.column, b.column));
    } else if (a.row && !a.column && b.row && !b.column) {
        out = Area::rows(std::min(a.row, b.row), std::max(a.row, b.row));
    } else {
        return false;
    }
    return true;
}

}  // namespace

int columnNumber(std::string_view letters) {
    if (letters.empty() || letters.size() > 3) return 0;
    int n = 0;
    for (char ch : letters) {
        if (!std::isalpha(static_cast<unsigned char>(ch))) return 0;
        n = n * 26 + (std::toupper(static_cast<unsigned char>(ch)) - 'A' + 1);
    }
    return n <= kMaxColumn ? n : 0;
}

std::string columnName(int column) {
    std::string name;
    while (column > 0) {
        int rem = (column - 1) % 26;
        name.insert(name.begin(), static_cast<char>('A' + rem));
        column = (column - 1) / 26;
    }
    return name;
}

Area parseCellReference(std::string_view text) {
    Corner c;
    if (!parseCorner(trimmed(text), c) || c.column == 0 || c.row == 0) badRange(text);
    return Area::cell(c.row, c.column);
}

std::string cellReference(int row, int column) { return columnName(column) + std::to_string(row); }

std::string areaReference(const Area& a) {
    if (a.isSingleCell()) return cellReference(a.top, a.left);
    return cellReference(a.top, a.left) + ":" + cellReference(a.bottom, a.right);
}

Range::Range(std::string_view text) {
    std::string_view rest = text;
    while (true) {
        size_t comma = rest.find(',');
        std::string_view piece = trimmed(rest.substr(0, comma));
        Area area;
        if (piece.empty() || !parseArea(piece, area)) badRange(text);
        areas_.push_back(area);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
}

}  // namespace tombra::sheet
