#include "records/TimeTableResults.h"

#include <cctype>
#include <optional>

#include "sheet/CellAddress.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"

namespace tombra::records {

namespace {

constexpr int kFirstRow = 3;  // under the heading and the page row
const char* const kBetweenPages = "頁間";
const char* const kEnd = "ＥＮＤ";

std::string trimmed(const std::string& text) { return std::string(trimBlanks(text)); }

}  // namespace

bool isMatchLabel(const std::string& text) {
    const size_t dash = text.find('-');
    if (dash == 0 || dash == std::string::npos || dash + 1 == text.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (i != dash && !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    return true;
}

std::string TimeTableResults::cellOf(const std::string& label) const {
    auto it = byLabel.find(label);
    if (it == byLabel.end()) return sheetName;
    return sheetName + "!" + sheet::cellReference(it->second.row, it->second.resultColumn);
}

TimeTableResults readTimeTable(const sheet::Worksheet& table) {
    TimeTableResults out;
    out.sheetName = table.name();
    const std::optional<sheet::Area> used = table.usedArea();
    if (!used) return out;
    bool betweenPages = false;
    for (int c = 1; c <= used->right; ++c) {
        betweenPages = betweenPages || trimmed(table.text(2, c)) == kBetweenPages;
        for (int r = kFirstRow; r <= used->bottom; ++r) {
            const std::string label = trimmed(table.text(r, c));
            if (label.empty()) break;
            if (label == kEnd) return out;
            if (!isMatchLabel(label) || out.byLabel.count(label)) continue;
            out.byLabel[label] = {label, trimmed(table.text(r, c + 1)), r, c + 1, betweenPages};
            out.order.push_back(label);
        }
    }
    return out;
}

}  // namespace tombra::records
