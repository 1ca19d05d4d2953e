#include "sheet/Worksheet.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

#include "sheet/CellText.h"
#include "sheet/ColumnWidth.h"
#include "sheet/SharedStrings.h"
#include "sheet/StyleSheet.h"
#include "sheet/WorkbookError.h"
#include "sheet/XmlText.h"

namespace tombra::sheet {

namespace {

// A bounded range larger than this is refused rather than filled cell by cell.
constexpr long long kMaxCellsPerOperation = 4'000'000;

void checkAreaSize(const Area& a) {
    if (a.cellCount() > kMaxCellsPerOperation)
        throw WorkbookError("範囲が大きすぎます: " + areaReference(a));
}

// Display width of a text in characters of the default font's digits: half-width characters
// count one, full-width characters two.
double textUnits(std::string_view text) {
    double widest = 0, line = 0;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
        if (c == '\n') {
            widest = std::max(widest, line);
            line = 0;
        } else if (c < 0x80) {
            line += 1;
        } else if (len == 3 && i + 2 < text.size()) {
            unsigned cp = ((c & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F);
            line += (cp >= 0xFF61 && cp <= 0xFF9F) ? 1 : 2;  // half-width katakana
        } else {
            line += 2;
        }
        i += len;
    }
    return std::max(widest, line);
}

}  // namespace

void Worksheet::Cell::setEmpty() {
    kind = Kind::Empty;
    formulaWithoutValue = false;
    number = 0;
    text.clear();
    sharedIndex = -1;
    rawType.clear();
    rawContent.clear();
}

Worksheet::Worksheet(std::string name, std::string partName, StyleSheet& styles,
                     SharedStrings& strings)
    : name_(std::move(name)), partName_(std::move(partName)), styles_(styles), strings_(strings) {}

Worksheet::~Worksheet() = default;

void Worksheet::checkCell(int row, int column) {
    if (row < 1 || row > kMaxRow || column < 1 || column > kMaxColumn)
        throw WorkbookError("セルの位置が正しくありません (行 " + std::to_string(row) + ", 列 " +
                            std::to_string(column) + ")");
}

const Worksheet::Cell* Worksheet::findCell(int row, int column) const {
    // Readers go along a row cell by cell; rows are only ever dropped all at once, on load.
    if (!lastRow_ || lastRowNumber_ != row) {
        auto r = rows_.find(row);
        if (r == rows_.end()) return nullptr;
        lastRow_ = &r->second;
        lastRowNumber_ = row;
    }
    const auto& cells = lastRow_->cells;
    auto it = std::lower_bound(cells.begin(), cells.end(), column,
                               [](const Cell& c, int col) { return c.column < col; });
    return it != cells.end() && it->column == column ? &*it : nullptr;
}

Worksheet::Row& Worksheet::ensureRow(int row) { return rows_[row]; }

Worksheet::Cell& Worksheet::ensureCell(Row& row, int column) {
    auto& cells = row.cells;
    if (!cells.empty() && cells.back().column < column) {
        cells.push_back(Cell{});
    } else {
        auto it = std::lower_bound(cells.begin(), cells.end(), column,
                                   [](const Cell& c, int col) { return c.column < col; });
        if (it != cells.end() && it->column == column) return *it;
        it = cells.insert(it, Cell{});
        it->column = column;
        it->style = fallbackStyle(&row, column);
        return *it;
    }
    Cell& cell = cells.back();
    cell.column = column;
    cell.style = fallbackStyle(&row, column);
    return cell;
}

// The format a cell without its own entry shows: its row's, else its column's.
std::uint32_t Worksheet::fallbackStyle(const Row* row, int column) const {
    if (row && row->customFormat) return row->style;
    const Column* c = findColumn(column);
    return c ? c->style : 0;
}

Worksheet::Column& Worksheet::column(int c) {
    if (static_cast<size_t>(c) >= columns_.size()) columns_.resize(static_cast<size_t>(c) + 1);
    return columns_[static_cast<size_t>(c)];
}

const Worksheet::Column* Worksheet::findColumn(int c) const {
    return c > 0 && static_cast<size_t>(c) < columns_.size() ? &columns_[static_cast<size_t>(c)]
                                                             : nullptr;
}

CellValue Worksheet::value(int row, int column) const {
    checkCell(row, column);
    const Cell* c = findCell(row, column);
    if (!c) return {};
    switch (c->kind) {
        case Cell::Kind::Empty:
            return c->formulaWithoutValue ? CellValue::formulaWithoutValue() : CellValue();
        case Cell::Kind::Number:
            return CellValue::number(c->number);
        case Cell::Kind::Text:
            // A text read from the shared table stays there: copies would multiply it.
            return CellValue::text(c->sharedIndex >= 0 ? strings_.text(c->sharedIndex) : c->text);
        case Cell::Kind::Boolean:
            return CellValue::boolean(c->number != 0);
        case Cell::Kind::Error:
            return CellValue::error(c->text);
    }
    return {};
}

void Worksheet::setText(int row, int column, std::string_view text) {
    checkCell(row, column);
    Cell& cell = ensureCell(row, column);
    cell.setEmpty();
    touch();
    if (text.empty()) return;  // an empty text empties the cell, as in the spreadsheet
    cell.kind = Cell::Kind::Text;
    cell.text = validUtf8(text);
    if (const std::size_t length = cellTextLength(cell.text); length > kMaxCellTextLength) {
        cell.text.resize(cutToCellLength(cell.text).size());
        cutNotices_.push_back("シート「" + name_ + "」のセル " + cellReference(row, column) +
                              " の文字列は " + std::to_string(length) + " 文字あり、セルに入る " +
                              std::to_string(kMaxCellTextLength) + " 文字で切りました");
    }
    // A text with a line break shows on several lines, as when typed into the spreadsheet.
    if (cell.text.find('\n') != std::string::npos && !styles_.format(cell.style).wrapText)
        cell.style = styles_.withAlignment(cell.style, AlignmentChange{{}, {}, true});
}

void Worksheet::setNumber(int row, int column, double number) {
    checkCell(row, column);
    if (!std::isfinite(number)) throw WorkbookError("セルに書けない数値です");
    Cell& cell = ensureCell(row, column);
    cell.setEmpty();
    cell.kind = Cell::Kind::Number;
    cell.number = number;
    touch();
}

void Worksheet::copyCellsFrom(const Worksheet& source) {
    if (&source.styles_ != &styles_ || &source.strings_ != &strings_)
        throw WorkbookError("シート「" + source.name() + "」は別のブックのシートです");
    rows_ = source.rows_;
    columns_ = source.columns_;
    merges_ = source.merges_;
    touch();
}

void Worksheet::copyCellFrom(const Worksheet& source, int row, int column) {
    if (&source.styles_ != &styles_ || &source.strings_ != &strings_)
        throw WorkbookError("シート「" + source.name() + "」は別のブックのシートです");
    checkCell(row, column);
    const Cell* from = source.findCell(row, column);
    if (!from) {
        auto r = rows_.find(row);
        if (r == rows_.end()) return;
        auto& cells = r->second.cells;
        std::erase_if(cells, [column](const Cell& c) { return c.column == column; });
    } else {
        ensureCell(row, column) = *from;
    }
    touch();
}

void Worksheet::setValue(int row, int column, const CellValue& value) {
    switch (value.kind()) {
        case CellValue::Kind::Number:
            setNumber(row, column, value.asNumber());
            break;
        case CellValue::Kind::Empty:
            setText(row, column, "");
            break;
        default:
            setText(row, column, value.asText());
            break;
    }
}

void Worksheet::restyle(const Range& range,
                        const std::function<std::uint32_t(std::uint32_t)>& derive) {
    for (const Area& a : range.areas())
        if (!a.spansAllRows() && !a.spansAllColumns()) checkAreaSize(a);
    std::unordered_map<std::uint32_t, std::uint32_t> cache;
    StyleMap map = [&](std::uint32_t xf) {
        auto it = cache.find(xf);
        if (it != cache.end()) return it->second;
        std::uint32_t mapped = derive(xf);
        cache.emplace(xf, mapped);
        return mapped;
    };
    for (const Area& a : range.areas()) restyleArea(a, map);
    touch();
}

void Worksheet::restyleArea(const Area& a, const StyleMap& map) {
    const bool allRows = a.spansAllRows(), allColumns = a.spansAllColumns();
    if (allRows) {
        // Whole columns: the columns' own format, every cell in them, and the cells where a
        // formatted row crosses them.
        for (int c = a.left; c <= a.right; ++c) column(c).style = map(column(c).style);
        for (auto& [r, row] : rows_) {
            if (allColumns) {
                if (row.customFormat) row.style = map(row.style);
                for (Cell& cell : row.cells) cell.style = map(cell.style);
                continue;
            }
            if (row.customFormat && row.style != 0)
                for (int c = a.left; c <= a.right; ++c) ensureCell(row, c);
            for (Cell& cell : row.cells)
                if (cell.column >= a.left && cell.column <= a.right) cell.style = map(cell.style);
        }
        return;
    }
    if (allColumns) {
        for (int r = a.top; r <= a.bottom; ++r) {
            Row& row = ensureRow(r);
            for (size_t c = 1; c < columns_.size(); ++c)
                if (columns_[c].style != 0) ensureCell(row, static_cast<int>(c));
            row.style = map(row.customFormat ? row.style : 0);
            row.customFormat = true;
            for (Cell& cell : row.cells) cell.style = map(cell.style);
        }
        return;
    }
    for (int r = a.top; r <= a.bottom; ++r) {
        Row& row = ensureRow(r);
        for (int c = a.left; c <= a.right; ++c) {
            Cell& cell = ensureCell(row, c);
            cell.style = map(cell.style);
        }
    }
}

void Worksheet::setBorder(const Range& range, int xlEdge, const BorderChange& change) {
    if (CellFormat::edgeSlot(xlEdge) < 0)
        throw WorkbookError("罫線の位置 " + std::to_string(xlEdge) + " は使えません");
    // An edge of a range is the outer line on that side of each area; a diagonal crosses
    // every cell.
    std::vector<Area> edges;
    for (const Area& a : range.areas()) {
        Area e = a;
        if (xlEdge == xl::EdgeLeft) e.right = a.left;
        if (xlEdge == xl::EdgeRight) e.left = a.right;
        if (xlEdge == xl::EdgeTop) e.bottom = a.top;
        if (xlEdge == xl::EdgeBottom) e.top = a.bottom;
        edges.push_back(e);
    }
    for (const Area& e : edges) {
        restyle(e, [&](std::uint32_t xf) { return styles_.withBorder(xf, xlEdge, change); });
    }
}

void Worksheet::setAllBorders(const Range& range, const BorderChange& change) {
    restyle(range, [&](std::uint32_t xf) {
        for (int edge : {xl::EdgeLeft, xl::EdgeTop, xl::EdgeBottom, xl::EdgeRight})
            xf = styles_.withBorder(xf, edge, change);
        return xf;
    });
}

void Worksheet::setFont(const Range& range, const FontChange& change) {
    restyle(range, [&](std::uint32_t xf) { return styles_.withFont(xf, change); });
}

void Worksheet::setAlignment(const Range& range, const AlignmentChange& change) {
    restyle(range, [&](std::uint32_t xf) { return styles_.withAlignment(xf, change); });
}

void Worksheet::setHorizontalAlignment(const Range& range, int h) {
    setAlignment(range, AlignmentChange{h, {}, {}});
}

void Worksheet::setVerticalAlignment(const Range& range, int v) {
    setAlignment(range, AlignmentChange{{}, v, {}});
}

Area Worksheet::expandedByMerges(Area area) const {
    bool grown = true;
    while (grown) {
        grown = false;
        for (const Area& m : merges_) {
            if (!m.intersects(area)) continue;
            Area u{std::min(area.top, m.top), std::min(area.left, m.left),
                   std::max(area.bottom, m.bottom), std::max(area.right, m.right)};
            if (!(u == area)) {
                area = u;
                grown = true;
            }
        }
    }
    return area;
}

void Worksheet::clearArea(const Area& a) {
    std::erase_if(merges_, [&](const Area& m) { return m.intersects(a); });
    const bool allRows = a.spansAllRows(), allColumns = a.spansAllColumns();
    if (allRows)
        for (int c = a.left; c <= a.right && static_cast<size_t>(c) < columns_.size(); ++c)
            columns_[static_cast<size_t>(c)].style = 0;
    auto first = allRows ? rows_.begin() : rows_.lower_bound(a.top);
    auto last = allRows ? rows_.end() : rows_.upper_bound(a.bottom);
    for (auto it = first; it != last; ++it) {
        Row& row = it->second;
        std::erase_if(row.cells,
                      [&](const Cell& c) { return c.column >= a.left && c.column <= a.right; });
        if (allColumns) {
            row.style = 0;
            row.customFormat = false;
        }
    }
    // Where a formatted row or column still crosses the area, the cleared cells must say
    // "no format" themselves.
    if (!allColumns) {
        for (auto it = first; it != last; ++it)
            if (it->second.customFormat && it->second.style != 0)
                for (int c = a.left; c <= a.right; ++c) ensureCell(it->second, c).style = 0;
    }
    if (!allRows) {
        for (int c = a.left; c <= std::min(a.right, static_cast<int>(columns_.size()) - 1); ++c) {
            if (columns_[static_cast<size_t>(c)].style == 0) continue;
            checkAreaSize(a);
            for (int r = a.top; r <= a.bottom; ++r) {
                Row& row = ensureRow(r);
                if (!row.customFormat) ensureCell(row, c).style = 0;
            }
        }
    }
}

void Worksheet::clear(const Range& range) {
    for (const Area& a : range.areas()) clearArea(a);
    touch();
}

void Worksheet::clearContents(const Range& range) {
    for (const Area& given : range.areas()) {
        Area a = expandedByMerges(given);
        auto first = a.spansAllRows() ? rows_.begin() : rows_.lower_bound(a.top);
        auto last = a.spansAllRows() ? rows_.end() : rows_.upper_bound(a.bottom);
        for (auto it = first; it != last; ++it)
            for (Cell& c : it->second.cells)
                if (c.column >= a.left && c.column <= a.right) c.setEmpty();
    }
    touch();
}

void Worksheet::merge(const Range& range) {
    for (const Area& given : range.areas()) {
        if (given.isSingleCell()) continue;
        Area a = expandedByMerges(given);
        std::erase_if(merges_, [&](const Area& m) { return m.intersects(a); });
        merges_.push_back(a);
        // Only the upper-left value survives a merge.
        auto first = a.spansAllRows() ? rows_.begin() : rows_.lower_bound(a.top);
        auto last = a.spansAllRows() ? rows_.end() : rows_.upper_bound(a.bottom);
        for (auto it = first; it != last; ++it)
            for (Cell& c : it->second.cells)
                if (c.column >= a.left && c.column <= a.right &&
                    !(it->first == a.top && c.column == a.left))
                    c.setEmpty();
    }
    touch();
}

void Worksheet::setMergeCells(const Range& range, bool merged) {
    if (merged) {
        merge(range);
        return;
    }
    for (const Area& a : range.areas())
        std::erase_if(merges_, [&](const Area& m) { return m.intersects(a); });
    touch();
}

std::optional<Area> Worksheet::mergedAreaAt(int row, int column) const {
    for (const Area& m : merges_)
        if (m.contains(row, column)) return m;
    return std::nullopt;
}

void Worksheet::autoFitColumns(const Range& range, bool oneColumnMerges, double mostCharacters) {
    const FontSpec& base = styles_.defaultFont();
    const double baseSize = base.size > 0 ? base.size : 11;
    for (const Area& a : range.areas()) {
        std::vector<double> widest(static_cast<size_t>(a.right - a.left + 1), 0);
        auto first = a.spansAllRows() ? rows_.begin() : rows_.lower_bound(a.top);
        auto last = a.spansAllRows() ? rows_.end() : rows_.upper_bound(a.bottom);
        for (auto it = first; it != last; ++it) {
            for (const Cell& c : it->second.cells) {
                if (c.column < a.left || c.column > a.right || c.kind == Cell::Kind::Empty)
                    continue;
                if (const std::optional<Area> m = mergedAreaAt(it->first, c.column))
                    if (!oneColumnMerges || m->left != m->right) continue;
                const FontSpec& font = styles_.format(c.style).font;
                double scale =
                    (font.size > 0 ? font.size : baseSize) / baseSize * (font.bold ? 1.08 : 1.0);
                std::string shown = value(it->first, c.column).asText();
                double& w = widest[static_cast<size_t>(c.column - a.left)];
                w = std::max(w, textUnits(shown) * scale);
            }
        }
        for (int c = a.left; c <= a.right; ++c) {
            double w = widest[static_cast<size_t>(c - a.left)];
            if (w <= 0) {
                if (findColumn(c)) {
                    column(c).width = 0;
                    column(c).customWidth = false;
                    column(c).bestFit = false;
                }
                continue;
            }
            Column& col = column(c);
            double characters = std::min(255.0, std::ceil(w) + 0.5);
            if (mostCharacters > 0) characters = std::min(characters, mostCharacters);
            col.width = fileWidthFromCharacters(characters, maxDigitWidth());
            col.customWidth = true;
            col.bestFit = true;
            col.hidden = false;
        }
    }
    touch();
}

void Worksheet::setColumnWidth(const Range& range, double characters) {
    if (!(characters >= 0 && characters <= 255)) throw WorkbookError("列の幅が正しくありません");
    for (const Area& a : range.areas()) {
        for (int c = a.left; c <= a.right; ++c) {
            Column& col = column(c);
            col.hidden = characters == 0;
            if (characters > 0) {
                col.width = fileWidthFromCharacters(characters, maxDigitWidth());
                col.customWidth = true;
                col.bestFit = false;
            }
        }
    }
    touch();
}

void Worksheet::setRowHeight(const Range& range, double points) {
    if (!(points >= 0 && points <= 409)) throw WorkbookError("行の高さが正しくありません");
    for (const Area& a : range.areas()) {
        if (a.spansAllRows()) {
            sheetDefaultRowHeight_ = points;
            for (auto& [r, row] : rows_) row.height = 0, row.customHeight = false;
            continue;
        }
        for (int r = a.top; r <= a.bottom; ++r) {
            Row& row = ensureRow(r);
            row.hidden = points == 0;
            if (points > 0) {
                row.height = points;
                row.customHeight = true;
            }
        }
    }
    touch();
}

void Worksheet::addPageBreakBefore(int row) {
    checkCell(row, 1);
    if (row > 1 && rowBreaks_.insert(row - 1).second) touch();
}

void Worksheet::clearPageBreaks() {
    if (!rowBreaks_.empty()) touch();
    rowBreaks_.clear();
}

std::vector<int> Worksheet::pageBreakRows() const {
    std::vector<int> rows;
    for (int id : rowBreaks_) rows.push_back(id + 1);
    return rows;
}

std::vector<int> Worksheet::pageStarts(int top, int bottom) const {
    // Breaks outside the rows do nothing.
    std::vector<int> starts{top};
    for (int row : pageBreakRows())
        if (row > top && row <= bottom) starts.push_back(row);
    starts.push_back(bottom + 1);
    return starts;
}

void Worksheet::deleteColumns(const Range& range) {
    // Delete from the right so that earlier spans keep their numbers.
    std::vector<std::pair<int, int>> spans;
    for (const Area& a : range.areas()) spans.emplace_back(a.left, a.right);
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<int, int>> joined;
    for (auto s : spans) {
        if (!joined.empty() && s.first <= joined.back().second + 1)
            joined.back().second = std::max(joined.back().second, s.second);
        else
            joined.push_back(s);
    }
    for (auto it = joined.rbegin(); it != joined.rend(); ++it) {
        const int from = it->first, to = it->second, n = to - from + 1;
        for (auto& [r, row] : rows_) {
            std::erase_if(row.cells,
                          [&](const Cell& c) { return c.column >= from && c.column <= to; });
            for (Cell& c : row.cells)
                if (c.column > to) c.column -= n;
        }
        if (static_cast<size_t>(from) < columns_.size())
            columns_.erase(
                columns_.begin() + from,
                columns_.begin() + std::min(static_cast<size_t>(to) + 1, columns_.size()));
        std::vector<Area> kept;
        for (Area m : merges_) {
            if (m.right < from) {
                kept.push_back(m);
                continue;
            }
            if (m.left > to) {
                m.left -= n, m.right -= n;
                kept.push_back(m);
                continue;
            }
            Area shrunk = m;
            shrunk.left = m.left < from ? m.left : from;
            shrunk.right = m.right > to ? m.right - n : from - 1;
            if (shrunk.left <= shrunk.right && !shrunk.isSingleCell()) kept.push_back(shrunk);
        }
        merges_ = std::move(kept);
    }
    touch();
}

CellFormat Worksheet::format(int row, int column) const {
    checkCell(row, column);
    if (const Cell* c = findCell(row, column)) return styles_.format(c->style);
    auto r = rows_.find(row);
    return styles_.format(fallbackStyle(r == rows_.end() ? nullptr : &r->second, column));
}

int Worksheet::maxDigitWidth() const {
    const FontSpec& f = styles_.defaultFont();
    return sheet::maxDigitWidth(f.name, f.size);
}

double Worksheet::columnFileWidth(int c) const {
    const Column* col = findColumn(c);
    if (col && col->width > 0) return col->width;
    if (defaultColumnWidth_ > 0) return defaultColumnWidth_;
    return fileWidthFromCharacters(baseColumnWidth_, maxDigitWidth());
}

double Worksheet::columnWidth(int c) const {
    if (columnHidden(c)) return 0;
    return charactersFromFileWidth(columnFileWidth(c), maxDigitWidth());
}

double Worksheet::columnWidthPoints(int c) const {
    constexpr double kPointsPerPixel = 0.75;  // 96 pixels and 72 points to the inch
    if (columnHidden(c)) return 0;
    return columnPixels(columnFileWidth(c), maxDigitWidth()) * kPointsPerPixel;
}

bool Worksheet::columnHidden(int c) const {
    const Column* col = findColumn(c);
    return col && col->hidden;
}

double Worksheet::defaultRowHeight() const {
    if (sheetDefaultRowHeight_ > 0) return sheetDefaultRowHeight_;
    const FontSpec& f = styles_.defaultFont();
    return defaultRowHeightPoints(f.name, f.size);
}

double Worksheet::rowHeight(int row) const {
    auto r = rows_.find(row);
    if (r == rows_.end()) return defaultRowHeight();
    if (r->second.hidden) return 0;
    return r->second.height > 0 ? r->second.height : defaultRowHeight();
}

bool Worksheet::rowHidden(int row) const {
    auto r = rows_.find(row);
    return r != rows_.end() && r->second.hidden;
}

std::optional<Area> Worksheet::usedArea() const {
    std::optional<Area> used;
    auto include = [&](int r, int c) {
        if (!used) used = Area::cell(r, c);
        used->top = std::min(used->top, r);
        used->bottom = std::max(used->bottom, r);
        used->left = std::min(used->left, c);
        used->right = std::max(used->right, c);
    };
    for (const auto& [r, row] : rows_)
        for (const Cell& c : row.cells) include(r, c.column);
    for (const Area& m : merges_) {
        include(m.top, m.left);
        include(m.bottom, m.right);
    }
    return used;
}

void Worksheet::forEachCell(const std::function<void(int, int, const CellValue&)>& visit) const {
    for (const auto& [r, row] : rows_)
        for (const Cell& c : row.cells)
            if (c.kind != Cell::Kind::Empty) visit(r, c.column, value(r, c.column));
}

}  // namespace tombra::sheet

namespace tombra::sheet {

std::vector<std::string> Worksheet::takeCutNotices() { return std::exchange(cutNotices_, {}); }

}  // namespace tombra::sheet
