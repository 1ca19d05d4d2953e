#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/CellAddress.h"
#include "sheet/CellFormat.h"
#include "sheet/CellValue.h"
#include "sheet/PageSetup.h"
#include "sheet/Revision.h"

namespace tombra::sheet {

class StyleSheet;
class SharedStrings;
class ReadError;

// One worksheet of a workbook: cells with values and formats, rows and columns, merged ranges
// and manual page breaks. Everything in the sheet's part that is not modelled here is kept
// as it was and written back around the modelled elements.
//
// Rows and columns are 1-based. Operations that take a Range accept text ("D4:D200",
// "a:f,v:aa") or an Area. Errors (a bad range, an unknown constant) throw WorkbookError.
class Worksheet {
  public:
    Worksheet(std::string name, std::string partName, StyleSheet& styles, SharedStrings& strings);
    ~Worksheet();
    Worksheet(const Worksheet&) = delete;
    Worksheet& operator=(const Worksheet&) = delete;

    const std::string& name() const { return name_; }
    const std::string& partName() const { return partName_; }
    // One line for the log for each text cut since the last call.
    std::vector<std::string> takeCutNotices();

    // Values.
    CellValue value(int row, int column) const;
    std::string text(int row, int column) const { return value(row, column).asText(); }
    // A text longer than a cell may hold is cut to kMaxCellTextLength; takeCutNotices says
    // which cells were cut.
    void setText(int row, int column, std::string_view text);
    void setNumber(int row, int column, double number);
    void setValue(int row, int column, const CellValue& value);

    // Ranges.
    void clear(const Range& range);  // contents, formats and merges
    // Every cell, row, column and merge of another sheet of the same workbook (its styles and
    // shared texts are this sheet's too), in place of this sheet's own. Page setup and page
    // breaks stay.
    void copyCellsFrom(const Worksheet& source);
    // One cell, its value and its style, as the other sheet of the same workbook has it.
    void copyCellFrom(const Worksheet& source, int row, int column);
    void clearContents(const Range& range);  // values only
    void merge(const Range& range);
    void setMergeCells(const Range& range, bool merged);
    // Widens or narrows each column to its widest text, as the spreadsheet's AutoFit does:
    // merged cells do not count. `oneColumnMerges` counts those merged down a single column
    // (a name over two rows); `mostCharacters` > 0 caps the width.
    void autoFitColumns(const Range& range, bool oneColumnMerges = false,
                        double mostCharacters = 0);
    void deleteColumns(const Range& range);  // the columns' whole width; the rest moves left

    // Formats.
    void setBorder(const Range& range, int xlEdge, const BorderChange& change);
    // Every edge of every cell of the range, inside lines included (a range's Borders as a
    // whole): on the whole sheet this is how all lines are removed at once.
    void setAllBorders(const Range& range, const BorderChange& change);
    void setFont(const Range& range, const FontChange& change);
    void setAlignment(const Range& range, const AlignmentChange& change);
    void setHorizontalAlignment(const Range& range, int xlHAlign);
    void setVerticalAlignment(const Range& range, int xlVAlign);
    void setColumnWidth(const Range& range, double characters);
    void setRowHeight(const Range& range, double points);
    void addPageBreakBefore(int row);
    void clearPageBreaks();

    // Reading back.
    CellFormat format(int row, int column) const;
    double columnWidth(int column) const;  // in characters of the default font
    double columnFileWidth(int column) const;
    // As printed and drawn on screen: whole pixels at 96 dpi, in points; 0 when hidden.
    double columnWidthPoints(int column) const;
    bool columnHidden(int column) const;
    double rowHeight(int row) const;  // in points
    bool rowHidden(int row) const;
    const std::vector<Area>& mergedAreas() const { return merges_; }
    std::optional<Area> mergedAreaAt(int row, int column) const;
    // Rows before which a manual page break starts a new page, ascending.
    std::vector<int> pageBreakRows() const;
    // The first row of each part the manual breaks cut rows top..bottom into, and bottom + 1.
    std::vector<int> pageStarts(int top, int bottom) const;
    // The sheet's page setup; what a sheet does not state reads as the spreadsheet's default.
    PageSetup pageSetup() const;
    // Writes what PageSetup models and keeps every other page-setup attribute as it was.
    void setPageSetup(const PageSetup& setup);
    // The smallest area holding every cell with a value or format; nullopt when empty.
    std::optional<Area> usedArea() const;
    int maxDigitWidth() const;
    void forEachCell(const std::function<void(int row, int column, const CellValue&)>& visit) const;

    // Workbook plumbing.
    bool touched() const { return touched_; }
    // When the sheet last changed (nextRevision); 0 when never since it was read.
    std::uint64_t revision() const { return revision_; }
    void markSaved() { touched_ = false; }
    void load(std::string_view xml);  // throws WorkbookError when damaged
    void loadNew();                   // a fresh empty sheet
    std::string serialize();
    bool tabSelected() const;
    // The rows and columns the sheet keeps in view while the rest scrolls (a frozen pane);
    // {0, 0} when there is none.
    struct FrozenCells {
        int rows = 0, columns = 0;
        bool operator==(const FrozenCells&) const = default;
    };
    FrozenCells frozenCells() const;
    void setTabSelected(bool selected);

  private:
    std::vector<std::string> cutNotices_;
    struct Cell {
        enum class Kind : std::uint8_t { Empty, Number, Text, Boolean, Error };
        int column = 0;
        std::uint32_t style = 0;
        Kind kind = Kind::Empty;
        bool formulaWithoutValue = false;  // empty: a formula whose result was never stored
        double number = 0;
        std::string text;
        int sharedIndex = -1;    // shared-string entry of an unchanged text, read from there
        std::string rawType;     // the t attribute of an unchanged cell we do not model
        std::string rawContent;  // its children (formula, inline string...) as read
        std::string extraAttributes;
        void setEmpty();
    };
    struct Row {
        double height = 0;
        bool customHeight = false;
        std::uint32_t style = 0;
        bool customFormat = false;
        bool hidden = false;
        std::string extraAttributes;
        std::vector<Cell> cells;  // ascending columns
    };
    struct Column {
        double width = 0;  // file units; 0: default
        bool customWidth = false;
        std::uint32_t style = 0;
        bool hidden = false;
        bool bestFit = false;
        std::string extraAttributes;
        bool operator==(const Column&) const = default;
    };
    using StyleMap = std::function<std::uint32_t(std::uint32_t)>;

    static void checkCell(int row, int column);
    const Cell* findCell(int row, int column) const;
    Row& ensureRow(int row);
    Cell& ensureCell(Row& row, int column);
    Cell& ensureCell(int row, int column) { return ensureCell(ensureRow(row), column); }
    std::uint32_t fallbackStyle(const Row* row, int column) const;
    Column& column(int column);
    const Column* findColumn(int column) const;
    void restyle(const Range& range, const std::function<std::uint32_t(std::uint32_t)>& derive);
    void restyleArea(const Area& area, const StyleMap& map);
    void clearArea(const Area& area);
    Area expandedByMerges(Area area) const;
    void touch() {
        touched_ = true;
        revision_ = nextRevision();
    }
    double defaultRowHeight() const;

    void parseSheetData(pugi::xml_node sheetData);
    // sheetData read from the part's text without a tree; false when the text needs the tree.
    // [begin, end) is sheetData's content.
    bool readSheetDataText(std::string_view xml, size_t& begin, size_t& end);
    ReadError tooManyCells() const;
    void parseColumns(pugi::xml_node cols);
    void parseMerges(pugi::xml_node mergeCells);
    void parseRowBreaks(pugi::xml_node rowBreaks);
    std::string sheetDataXml();
    pugi::xml_node insertInOrder(std::string_view name);

    std::string name_;
    std::string partName_;
    std::string where_;  // the part and its sheet, as messages about a damaged part name them
    StyleSheet& styles_;
    SharedStrings& strings_;
    pugi::xml_document doc_;
    std::string prefix_;
    std::map<int, Row> rows_;
    std::vector<Column> columns_;  // index 0 unused
    std::vector<Area> merges_;
    std::set<int> rowBreaks_;  // last row of the page above each manual break
    double sheetDefaultRowHeight_ = 0;
    double baseColumnWidth_ = 8;
    double defaultColumnWidth_ = 0;  // file units, when the sheet states one
    bool touched_ = false;
    std::uint64_t revision_ = 0;
    mutable const Row* lastRow_ = nullptr;  // the row findCell found last
    mutable int lastRowNumber_ = 0;
};

}  // namespace tombra::sheet
