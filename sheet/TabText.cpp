#include "sheet/TabText.h"

#include "sheet/Worksheet.h"

namespace tombra::sheet {

namespace {

std::string quotedIfNeeded(const std::string& text) {
    if (text.find_first_of("\t\n\r\"") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

}  // namespace

std::string tabText(const Worksheet& sheet, const Area& area) {
    std::string out;
    for (int r = area.top; r <= area.bottom; ++r) {
        for (int c = area.left; c <= area.right; ++c) {
            if (c > area.left) out += '\t';
            out += quotedIfNeeded(sheet.value(r, c).asText());
        }
        out += '\n';
    }
    return out;
}

std::vector<std::vector<std::string>> parseTabText(std::string_view text) {
    std::vector<std::vector<std::string>> rows(1);
    std::string cell;
    bool quoted = false, cellStarted = false;
    auto endCell = [&] {
        rows.back().push_back(std::move(cell));
        cell.clear();
        cellStarted = false;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                cell += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"' && !cellStarted) {
            quoted = cellStarted = true;
        } else if (c == '\t') {
            endCell();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            endCell();
            rows.emplace_back();
        } else {
            cell += c;
            cellStarted = true;
        }
    }
    if (cellStarted || !cell.empty() || !rows.back().empty()) endCell();
    if (rows.back().empty()) rows.pop_back();
    return rows;
}

}  // namespace tombra::sheet
