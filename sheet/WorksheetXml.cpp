// Reading and writing a worksheet part. The modelled elements (sheetData, cols, mergeCells,
// rowBreaks, dimension) are taken out of the document when read and put back at their place
// in the schema's order when written; everything else stays in the document untouched.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <random>

#include "sheet/ColumnWidth.h"
#include "sheet/ReadLimits.h"
#include "sheet/SharedStrings.h"
#include "sheet/StyleSheet.h"
#include "sheet/WorkbookError.h"
#include "sheet/Worksheet.h"
#include "sheet/XmlText.h"

namespace tombra::sheet {

namespace {

constexpr const char* kWorksheetOrder[] = {"sheetPr",
                                           "dimension",
                                           "sheetViews",
                                           "sheetFormatPr",
                                           "cols",
                                           "sheetData",
                                           "sheetCalcPr",
                                           "sheetProtection",
                                           "protectedRanges",
                                           "scenarios",
                                           "autoFilter",
                                           "sortState",
                                           "dataConsolidate",
                                           "customSheetViews",
                                           "mergeCells",
                                           "phoneticPr",
                                           "conditionalFormatting",
                                           "dataValidations",
                                           "hyperlinks",
                                           "printOptions",
                                           "pageMargins",
                                           "pageSetup",
                                           "headerFooter",
                                           "rowBreaks",
                                           "colBreaks",
                                           "customProperties",
                                           "cellWatches",
                                           "ignoredErrors",
                                           "smartTags",
                                           "drawing",
                                           "legacyDrawing",
                                           "legacyDrawingHF",
                                           "drawingHF",
                                           "picture",
                                           "oleObjects",
                                           "controls",
                                           "webPublishItems",
                                           "tableParts",
                                           "extLst"};

// The sheetData element is written by hand; a marker with a fresh number per save shows where,
// so that nothing a part already holds can be mistaken for it.
std::string sheetDataMarker() {
    static std::mt19937_64 numbers{std::random_device{}()};
    return "tombra-sheet-data-" + std::to_string(numbers());
}

constexpr const char* kNewSheet =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<dimension ref=\"A1\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
    "<sheetFormatPr defaultRowHeight=\"13.5\"/><sheetData/>"
    "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
    "footer=\"0.3\"/>"
    "<pageSetup paperSize=\"9\" orientation=\"portrait\"/></worksheet>";

// As std::from_chars reads a whole text, at half the cost: sheets are mostly such numbers.
bool parseInt(std::string_view v, long long& out) {
    const bool negative = !v.empty() && v.front() == '-';
    if (v.size() == (negative ? 1u : 0u)) return false;
    constexpr unsigned long long kLargest = std::numeric_limits<long long>::max();
    unsigned long long n = 0;
    for (size_t i = negative ? 1 : 0; i < v.size(); ++i) {
        const unsigned digit = static_cast<unsigned char>(v[i]) - static_cast<unsigned>('0');
        if (digit > 9 || n > (kLargest + 1 - digit) / 10) return false;
        n = n * 10 + digit;
    }
    if (n > kLargest + (negative ? 1 : 0)) return false;
    out = negative ? static_cast<long long>(0 - n) : static_cast<long long>(n);
    return true;
}

bool parseDouble(std::string_view v, double& out) {
    while (!v.empty() &&
           (v.front() == ' ' || v.front() == '\t' || v.front() == '\n' || v.front() == '\r'))
        v.remove_prefix(1);
    while (!v.empty() &&
           (v.back() == ' ' || v.back() == '\t' || v.back() == '\n' || v.back() == '\r'))
        v.remove_suffix(1);
    if (v.empty()) return false;
    auto r = std::from_chars(v.data(), v.data() + v.size(), out);
    return r.ec == std::errc() && r.ptr == v.data() + v.size() && std::isfinite(out);
}

bool flag(const pugi::xml_attribute& a) {
    std::string_view v(a.value());
    return v == "1" || v == "true";
}

void appendNumber(std::string& out, double v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void appendInt(std::string& out, long long v) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// A raw attribute value made safe to stand between double quotes.
std::string quotable(std::string_view raw) {
    std::string out;
    for (char ch : raw) out += ch == '"' ? std::string("&quot;") : std::string(1, ch);
    return out;
}

// Attributes other than the modelled ones, kept raw as they were read.
std::string extraAttributes(const pugi::xml_node& n,
                            std::initializer_list<std::string_view> modelled) {
    std::string out;
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        std::string_view name(a.name());
        if (std::find(modelled.begin(), modelled.end(), name) != modelled.end()) continue;
        out += ' ';
        out += name;
        out += "=\"" + quotable(a.value()) + '"';
    }
    return out;
}

constexpr unsigned kPartFlags = pugi::parse_minimal | pugi::parse_cdata | pugi::parse_comments |
                                pugi::parse_pi | pugi::parse_declaration | pugi::parse_doctype |
                                pugi::parse_ws_pcdata;

std::string_view localPart(std::string_view qualified) {
    size_t colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

// An attribute as written: its value keeps its entities.
struct RawAttribute {
    std::string_view name, value;
};
using RawAttributes = std::vector<RawAttribute>;

RawAttributes rawAttributes(const pugi::xml_node& n) {
    RawAttributes out;
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        out.push_back({a.name(), a.value()});
    return out;
}

// The first of that name, as the document tree finds it.
const RawAttribute* findAttribute(const RawAttributes& attributes, std::string_view name) {
    for (const RawAttribute& a : attributes)
        if (a.name == name) return &a;
    return nullptr;
}

std::string_view valueOf(const RawAttributes& attributes, std::string_view name) {
    const RawAttribute* a = findAttribute(attributes, name);
    return a ? a->value : std::string_view();
}

bool flag(std::string_view v) { return v == "1" || v == "true"; }

std::string extraAttributes(const RawAttributes& attributes,
                            std::initializer_list<std::string_view> modelled) {
    std::string out;
    for (const RawAttribute& a : attributes) {
        if (std::find(modelled.begin(), modelled.end(), a.name) != modelled.end()) continue;
        out += ' ';
        out += a.name;
        out += "=\"" + quotable(a.value) + '"';
    }
    return out;
}

// `where` names the part and its sheet, as the reader's messages do.
[[noreturn]] void sheetDamaged(const std::string& where, const std::string& what) {
    throw ReadError(ReadError::Kind::Damaged, where, what);
}

void checkSharedIndex(long long index, const SharedStrings& strings, const std::string& where) {
    if (index < 0 || static_cast<unsigned long long>(index) >= strings.size())
        sheetDamaged(where, "共有文字列の番号 " + std::to_string(index) + " が範囲外です");
}

// The number of a row; `previous` is that of the row before it (0 for the first).
long long rowNumberOf(const RawAttributes& attributes, long long previous,
                      const std::string& sheet) {
    long long r = previous + 1;
    if (const RawAttribute* a = findAttribute(attributes, "r"); a && !parseInt(a->value, r))
        sheetDamaged(sheet, "行番号が正しくありません");
    if (r < 1 || r > kMaxRow) sheetDamaged(sheet, "行番号 " + std::to_string(r) + " が範囲外です");
    return r;
}

template <class Row>
void readRowAttributes(const RawAttributes& attributes, Row& row) {
    double ht;
    if (parseDouble(valueOf(attributes, "ht"), ht) && ht >= 0 && ht <= 409) row.height = ht;
    row.customHeight = flag(valueOf(attributes, "customHeight"));
    row.customFormat = flag(valueOf(attributes, "customFormat"));
    long long s = 0;
    if (parseInt(valueOf(attributes, "s"), s) && s >= 0) row.style = static_cast<std::uint32_t>(s);
    row.hidden = flag(valueOf(attributes, "hidden"));
    row.extraAttributes = extraAttributes(
        attributes, {"r", "ht", "customHeight", "customFormat", "s", "hidden", "spans"});
}

// The column of a cell in row `row`; `previous` is that of the cell before it (0 for the first).
int cellColumnOf(const RawAttributes& attributes, long long row, int previous,
                 const std::string& sheet) {
    int col = previous + 1;
    if (const RawAttribute* ref = findAttribute(attributes, "r")) {
        std::string_view text = ref->value;
        size_t letters = 0;
        while (letters < text.size() && ((text[letters] >= 'A' && text[letters] <= 'Z') ||
                                         (text[letters] >= 'a' && text[letters] <= 'z')))
            ++letters;
        long long refRow = 0;
        col = 0;
        if (letters >= 1 && letters <= 3)
            for (size_t i = 0; i < letters; ++i) col = col * 26 + ((text[i] & ~0x20) - 'A' + 1);
        if (col > kMaxColumn) col = 0;
        if (col == 0 || !parseInt(text.substr(letters), refRow) || refRow != row)
            sheetDamaged(sheet, "セル参照 \"" + std::string(text) + "\" が正しくありません");
    }
    if (col < 1 || col > kMaxColumn) sheetDamaged(sheet, "列番号が範囲外です");
    return col;
}

// The format and the attributes kept as read; returns the type (t).
template <class Cell>
std::string_view readCellAttributes(const RawAttributes& attributes, Cell& cell) {
    const RawAttribute *style = nullptr, *type = nullptr;
    bool others = false;
    for (const RawAttribute& a : attributes) {
        const char c = a.name.size() == 1 ? a.name[0] : '\0';
        if (c == 's') {
            if (!style) style = &a;
        } else if (c == 't') {
            if (!type) type = &a;
        } else if (c != 'r') {
            others = true;
        }
    }
    long long s = 0;
    if (style && parseInt(style->value, s) && s >= 0) cell.style = static_cast<std::uint32_t>(s);
    if (others) cell.extraAttributes = extraAttributes(attributes, {"r", "s", "t"});
    return type ? type->value : std::string_view();
}

// A number or shared text whose only children are values (`v`: the last one's decoded text,
// null when there is none). Returns false for a number that does not read as one: the cell
// shows it as text and keeps it as written.
template <class Cell>
bool readPlainValue(Cell& cell, std::string_view type, const std::string_view* v,
                    const SharedStrings& strings, const std::string& sheet) {
    if (!v) return true;
    if (type == "s") {
        long long index;
        if (!parseInt(*v, index)) sheetDamaged(sheet, "共有文字列の番号が正しくありません");
        checkSharedIndex(index, strings, sheet);
        cell.kind = Cell::Kind::Text;
        cell.sharedIndex = static_cast<int>(index);
        return true;
    }
    double d;
    if (parseDouble(*v, d)) {
        cell.kind = Cell::Kind::Number;
        cell.number = d;
        return true;
    }
    cell.kind = Cell::Kind::Text;
    cell.text = std::string(*v);
    return false;
}

bool isPlainType(std::string_view type) { return type.empty() || type == "n" || type == "s"; }

// A cell's value from its element in a document tree.
template <class Cell>
void readCellContent(Cell& cell, const pugi::xml_node& cn, std::string_view type,
                     const SharedStrings& strings, const std::string& sheet) {
    pugi::xml_node v, other, formula;
    for (pugi::xml_node ch = cn.first_child(); ch; ch = ch.next_sibling()) {
        if (ch.type() != pugi::node_element) continue;
        if (localName(ch) == "v") {
            v = ch;
        } else {
            other = ch;
            if (localName(ch) == "f") formula = ch;
        }
    }
    const std::string vText = v ? nodeText(v) : std::string();
    if (isPlainType(type) && !other) {
        const std::string_view text(vText);
        if (!readPlainValue(cell, type, v ? &text : nullptr, strings, sheet)) {
            cell.rawType = quotable(type);
            cell.rawContent = printNode(v);
        }
        return;
    }
    // Formulas, inline strings, truth and error values: kept as read; the value shown is the
    // cached one.
    cell.rawType = type.empty() ? "n" : quotable(type);
    for (pugi::xml_node ch = cn.first_child(); ch; ch = ch.next_sibling())
        cell.rawContent += printNode(ch);
    if (type == "inlineStr") {
        std::string t;
        if (pugi::xml_node is = childByLocalName(cn, "is")) {
            for (pugi::xml_node part = is.first_child(); part; part = part.next_sibling()) {
                if (localName(part) == "t")
                    t += nodeText(part);
                else if (localName(part) == "r")
                    t += nodeText(childByLocalName(part, "t"));
            }
        }
        cell.kind = Cell::Kind::Text;
        cell.text = decodeEscapes(t);
    } else if (type == "b") {
        cell.kind = Cell::Kind::Boolean;
        cell.number = vText == "1" || vText == "true" ? 1 : 0;
    } else if (type == "e") {
        cell.kind = Cell::Kind::Error;
        cell.text = vText;
    } else if (type == "s") {
        long long index;
        if (v && parseInt(vText, index)) {
            checkSharedIndex(index, strings, sheet);
            cell.kind = Cell::Kind::Text;
            cell.sharedIndex = static_cast<int>(index);  // read from the table, written as read
        }
    } else if (type == "str" || type == "d") {
        if (v) {
            cell.kind = Cell::Kind::Text;
            cell.text = decodeEscapes(vText);
        }
    } else {
        double d;
        if (v && parseDouble(vText, d)) {
            cell.kind = Cell::Kind::Number;
            cell.number = d;
        }
    }
    // Never calculated: the spreadsheet program writes the result when it saves.
    cell.formulaWithoutValue = formula && !v && cell.kind == Cell::Kind::Empty;
}

// Out-of-order or repeated cells: the last one written for a column wins.
template <class Cell>
void sortCells(std::vector<Cell>& cells) {
    std::stable_sort(cells.begin(), cells.end(),
                     [](const Cell& a, const Cell& b) { return a.column < b.column; });
    std::vector<Cell> unique;
    for (Cell& c : cells) {
        if (!unique.empty() && unique.back().column == c.column)
            unique.back() = std::move(c);
        else
            unique.push_back(std::move(c));
    }
    cells = std::move(unique);
}

// Markup read straight from a part's text, for sheetData, where a document tree would cost
// ten times the text and most of the reading time. It takes only what it is sure of: a
// doctype, another encoding, a NUL byte, a processing instruction or anything else unusual
// makes it give up, and the part is then read through the tree as before.
class MarkupReader {
  public:
    enum class Token { Start, End, Text, Other, Fail };

    explicit MarkupReader(std::string_view text)
        : base_(text.data()), end_(text.data() + text.size()), p_(base_), start_(base_) {}

    size_t pos() const { return static_cast<size_t>(p_ - base_); }
    size_t tokenStart() const { return static_cast<size_t>(start_ - base_); }
    std::string_view name() const { return name_; }
    const RawAttributes& attributes() const { return attributes_; }
    bool selfClosing() const { return selfClosing_; }

    // Comments and CDATA come as Other; the end of the text as Fail.
    Token next() {
        start_ = p_;
        if (p_ >= end_) return Token::Fail;
        if (*p_ != '<') {
            // Mostly a few characters: a loop beats a call.
            while (p_ < end_ && *p_ != '<')
                if (*p_++ == '\0') return Token::Fail;
            return p_ < end_ ? Token::Text : Token::Fail;
        }
        if (end_ - p_ < 2) return Token::Fail;
        if (p_[1] == '/') {
            p_ += 2;
            if (!readName(name_)) return Token::Fail;
            skipSpaces();
            if (p_ >= end_ || *p_ != '>') return Token::Fail;
            ++p_;
            return Token::End;
        }
        if (p_[1] == '!') {
            if (at("<!--")) return skipPast("-->") ? Token::Other : Token::Fail;
            if (at("<![CDATA[")) return skipPast("]]>") ? Token::Other : Token::Fail;
            return Token::Fail;
        }
        ++p_;
        if (!readName(name_)) return Token::Fail;
        attributes_.clear();
        selfClosing_ = false;
        for (;;) {
            const char* before = p_;
            skipSpaces();
            if (p_ >= end_) return Token::Fail;
            if (*p_ == '>') {
                ++p_;
                return Token::Start;
            }
            if (*p_ == '/') {
                if (end_ - p_ < 2 || p_[1] != '>') return Token::Fail;
                p_ += 2;
                selfClosing_ = true;
                return Token::Start;
            }
            RawAttribute a;
            if (p_ == before || !readName(a.name)) return Token::Fail;
            skipSpaces();
            if (p_ >= end_ || *p_ != '=') return Token::Fail;
            ++p_;
            skipSpaces();
            if (p_ >= end_ || (*p_ != '"' && *p_ != '\'')) return Token::Fail;
            const char quote = *p_++;
            const char* value = p_;
            while (p_ < end_ && *p_ != quote) {
                if (*p_ == '<' || *p_ == '\0') return Token::Fail;
                ++p_;
            }
            if (p_ >= end_) return Token::Fail;
            a.value = std::string_view(value, static_cast<size_t>(p_ - value));
            ++p_;
            attributes_.push_back(a);
        }
    }

    // The text of the element whose start tag was read last, when that is all it holds; the
    // reader is then past its end tag. Otherwise nothing is read.
    bool readTextContent(std::string_view& text) {
        if (selfClosing_) {
            text = {};
            return true;
        }
        const char* lt = p_;
        while (lt < end_ && *lt != '<')
            if (*lt++ == '\0') return false;
        const size_t n = name_.size();
        if (end_ - lt < static_cast<std::ptrdiff_t>(n + 3) || lt[1] != '/' ||
            std::memcmp(lt + 2, name_.data(), n) != 0 || lt[n + 2] != '>')
            return false;
        text = std::string_view(p_, static_cast<size_t>(lt - p_));
        start_ = lt;
        p_ = lt + n + 3;
        return true;
    }

    // Past the end of the element whose start tag was read last.
    bool skipElement() {
        if (selfClosing_) return true;
        return walkElement(true, [] { return std::optional<bool>(); });
    }

    // Just past the start tag of the worksheet's sheetData, when it has content.
    bool toSheetData() {
        if (at("\xEF\xBB\xBF")) p_ += 3;
        skipSpaces();
        if (at("<?xml")) {
            const char* close = search("?>");
            if (!close || !declaresUtf8(std::string_view(p_, static_cast<size_t>(close - p_))))
                return false;
            p_ = close + 2;
        }
        for (;;) {
            skipSpaces();
            if (!at("<!--")) break;
            if (!skipPast("-->")) return false;
        }
        if (!at("<") || next() != Token::Start || selfClosing_ || localPart(name_) != "worksheet")
            return false;
        return walkElement(false, [this]() -> std::optional<bool> {
            if (open_.size() == 1 && localPart(name_) == "sheetData") return !selfClosing_;
            return std::nullopt;
        });
    }

    // Reads until the element whose start tag was read last closes (answering `closed`);
    // `atStart` may end the walk earlier at a start tag with an answer of its own.
    template <typename AtStart>
    bool walkElement(bool closed, AtStart atStart) {
        open_.assign(1, name_);
        for (;;) {
            switch (next()) {
                case Token::Start:
                    if (const std::optional<bool> answer = atStart()) return *answer;
                    if (!selfClosing_) open_.push_back(name_);
                    break;
                case Token::End:
                    if (name_ != open_.back()) return false;
                    open_.pop_back();
                    if (open_.empty()) return closed;
                    break;
                case Token::Text:
                case Token::Other:
                    break;
                case Token::Fail:
                    return false;
            }
        }
    }

  private:
    static bool isNameStart(unsigned char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
               c >= 0x80;
    }
    static bool isNameChar(unsigned char c) {
        static const auto table = [] {
            std::array<bool, 256> t{};
            for (int c = 0; c < 256; ++c)
                t[static_cast<size_t>(c)] = isNameStart(static_cast<unsigned char>(c)) ||
                                            (c >= '0' && c <= '9') || c == '-' || c == '.';
            return t;
        }();
        return table[c];
    }

    const char* search(std::string_view what) const {
        const std::string_view rest(p_, static_cast<size_t>(end_ - p_));
        const size_t at = rest.find(what);
        return at == std::string_view::npos ? nullptr : p_ + at;
    }
    bool at(std::string_view what) const {
        return static_cast<size_t>(end_ - p_) >= what.size() &&
               std::memcmp(p_, what.data(), what.size()) == 0;
    }
    void skipSpaces() {
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\n' || *p_ == '\r')) ++p_;
    }
    bool skipPast(std::string_view end) {
        const char* found = search(end);
        if (!found) return false;
        p_ = found + end.size();
        return true;
    }
    bool readName(std::string_view& out) {
        const char* begin = p_;
        if (p_ >= end_ || !isNameStart(static_cast<unsigned char>(*p_))) return false;
        ++p_;
        while (p_ < end_ && isNameChar(static_cast<unsigned char>(*p_))) ++p_;
        out = std::string_view(begin, static_cast<size_t>(p_ - begin));
        return true;
    }
    // The tree converts other encodings; this reader only takes UTF-8 as it is.
    static bool declaresUtf8(std::string_view declaration) {
        const size_t at = declaration.find("encoding");
        if (at == std::string_view::npos) return true;
        const size_t quote = declaration.find_first_of("\"'", at);
        if (quote == std::string_view::npos) return false;
        const size_t close = declaration.find(declaration[quote], quote + 1);
        if (close == std::string_view::npos) return false;
        std::string value(declaration.substr(quote + 1, close - quote - 1));
        for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return value == "utf-8" || value == "utf8";
    }

    const char* base_;
    const char* end_;
    const char* p_;
    const char* start_;
    std::string_view name_;
    RawAttributes attributes_;
    bool selfClosing_ = false;
    std::vector<std::string_view> open_;
};

}  // namespace

void Worksheet::loadNew() {
    load(kNewSheet);
    touched_ = true;  // exists only in memory until saved
}

void Worksheet::load(std::string_view xml) {
    where_ = partName_ + " (シート「" + name_ + "」)";
    lastRow_ = nullptr;
    rows_.clear();
    columns_.clear();
    merges_.clear();
    rowBreaks_.clear();
    // sheetData straight from the text, the rest of the part through the tree; the whole part
    // through the tree when the text holds anything the direct reading is not sure of.
    size_t dataBegin = 0, dataEnd = 0;
    bool direct = readSheetDataText(xml, dataBegin, dataEnd);
    if (direct) {
        std::string rest;
        rest.reserve(xml.size() - (dataEnd - dataBegin));
        rest.append(xml.substr(0, dataBegin)).append(xml.substr(dataEnd));
        try {
            parsePart(doc_, rest, partName_);
            pugi::xml_node data = childByLocalName(doc_.document_element(), "sheetData");
            direct = data && !data.first_child();
        } catch (const ReadError&) {
            direct = false;  // told by the reading of the whole part, with its own offsets
        }
    }
    if (!direct) {
        rows_.clear();
        parsePart(doc_, xml, partName_);
    }
    pugi::xml_node root = doc_.document_element();
    if (localName(root) != "worksheet") sheetDamaged(where_, "ワークシートではありません");
    prefix_ = prefixOf(root);
    if (pugi::xml_node f = childByLocalName(root, "sheetFormatPr")) {
        double v;
        if (parseDouble(f.attribute("defaultRowHeight").value(), v) && v > 0 && v <= 409)
            sheetDefaultRowHeight_ = v;
        if (parseDouble(f.attribute("baseColWidth").value(), v) && v > 0 && v <= 255)
            baseColumnWidth_ = v;
        if (parseDouble(f.attribute("defaultColWidth").value(), v) && v > 0 && v <= 255)
            defaultColumnWidth_ = v;
    }
    pugi::xml_node sheetData = childByLocalName(root, "sheetData");
    if (!sheetData) sheetData = insertInOrder("sheetData");
    if (!direct) {
        parseSheetData(sheetData);
        while (sheetData.first_child()) sheetData.remove_child(sheetData.first_child());
    }
    if (pugi::xml_node cols = childByLocalName(root, "cols")) {
        parseColumns(cols);
        root.remove_child(cols);
    }
    if (pugi::xml_node m = childByLocalName(root, "mergeCells")) {
        parseMerges(m);
        root.remove_child(m);
    }
    if (pugi::xml_node b = childByLocalName(root, "rowBreaks")) {
        parseRowBreaks(b);
        root.remove_child(b);
    }
    touched_ = false;
}

ReadError Worksheet::tooManyCells() const {
    return ReadError(ReadError::Kind::Unreadable, partName_,
                     "シート「" + name_ + "」のセルが " +
                         std::to_string(kMaxCellsPerSheet / 10000) + " 万個を超えています");
}

void Worksheet::parseSheetData(pugi::xml_node sheetData) {
    long long rowNumber = 0, cells = 0;
    for (pugi::xml_node rn = sheetData.first_child(); rn; rn = rn.next_sibling()) {
        if (rn.type() != pugi::node_element || localName(rn) != "row") continue;
        const RawAttributes rowAttributes = rawAttributes(rn);
        rowNumber = rowNumberOf(rowAttributes, rowNumber, where_);
        Row& row = rows_[static_cast<int>(rowNumber)];
        readRowAttributes(rowAttributes, row);
        int columnNumber = 0;
        bool sorted = true;
        for (pugi::xml_node cn = rn.first_child(); cn; cn = cn.next_sibling()) {
            if (cn.type() != pugi::node_element || localName(cn) != "c") continue;
            if (++cells > kMaxCellsPerSheet) throw tooManyCells();
            const RawAttributes attributes = rawAttributes(cn);
            const int col = cellColumnOf(attributes, rowNumber, columnNumber, where_);
            if (!row.cells.empty() && col <= row.cells.back().column) sorted = false;
            columnNumber = col;
            Cell cell;
            cell.column = col;
            const std::string_view type = readCellAttributes(attributes, cell);
            readCellContent(cell, cn, type, strings_, where_);
            row.cells.push_back(std::move(cell));
        }
        if (!sorted) sortCells(row.cells);
    }
}

bool Worksheet::readSheetDataText(std::string_view xml, size_t& begin, size_t& end) {
    using Token = MarkupReader::Token;
    MarkupReader in(xml);
    if (!in.toSheetData()) return false;
    begin = in.pos();
    const std::string_view sheetDataName = in.name();
    pugi::xml_document cellTree;  // for the few cells that are more than a value
    long long rowNumber = 0, cells = 0;
    size_t cellsBefore = 0;  // in the row before: rows of a sheet tend to be alike
    for (;;) {
        Token t = in.next();
        if (t == Token::Text || t == Token::Other) continue;
        if (t == Token::End) {
            if (in.name() != sheetDataName) return false;
            end = in.tokenStart();
            return true;
        }
        if (t != Token::Start) return false;
        if (localPart(in.name()) != "row") {
            if (!in.skipElement()) return false;
            continue;
        }
        const std::string_view rowName = in.name();
        rowNumber = rowNumberOf(in.attributes(), rowNumber, where_);
        Row& row = rows_.empty() || rows_.rbegin()->first < rowNumber
                       ? rows_.emplace_hint(rows_.end(), static_cast<int>(rowNumber), Row{})->second
                       : rows_[static_cast<int>(rowNumber)];
        readRowAttributes(in.attributes(), row);
        if (in.selfClosing()) continue;
        if (row.cells.empty()) row.cells.reserve(cellsBefore);
        int columnNumber = 0;
        bool sorted = true;
        for (;;) {
            t = in.next();
            if (t == Token::Text || t == Token::Other) continue;
            if (t == Token::End) {
                if (in.name() != rowName) return false;
                break;
            }
            if (t != Token::Start) return false;
            if (localPart(in.name()) != "c") {
                if (!in.skipElement()) return false;
                continue;
            }
            if (++cells > kMaxCellsPerSheet) throw tooManyCells();
            const size_t cellBegin = in.tokenStart();
            const std::string_view cellName = in.name();
            const int col = cellColumnOf(in.attributes(), rowNumber, columnNumber, where_);
            if (!row.cells.empty() && col <= row.cells.back().column) sorted = false;
            columnNumber = col;
            Cell& cell = row.cells.emplace_back();
            cell.column = col;
            const std::string_view type = readCellAttributes(in.attributes(), cell);
            bool plain = isPlainType(type), hasValue = false;
            std::string_view value, printedValue;
            if (!in.selfClosing()) {
                for (;;) {
                    t = in.next();
                    if (t == Token::Text || t == Token::Other) continue;
                    if (t == Token::End) {
                        if (in.name() != cellName) return false;
                        break;
                    }
                    if (t != Token::Start) return false;
                    if (localPart(in.name()) != "v") {
                        plain = false;
                        if (!in.skipElement()) return false;
                        continue;
                    }
                    const size_t valueBegin = in.tokenStart();
                    hasValue = true;
                    if (!in.readTextContent(value)) {
                        plain = false;  // markup inside the value
                        if (!in.skipElement()) return false;
                    }
                    printedValue = xml.substr(valueBegin, in.pos() - valueBegin);
                }
            }
            if (plain) {
                std::string decoded;
                if (value.find_first_of("&\r") != std::string_view::npos) {
                    decoded = xmlUnescape(value);
                    value = decoded;
                }
                if (!readPlainValue(cell, type, hasValue ? &value : nullptr, strings_, where_)) {
                    cell.rawType = quotable(type);
                    cell.rawContent = std::string(printedValue);
                }
                continue;
            }
            // More than a value: this one cell is read through a tree, as the whole part would be.
            const std::string_view whole = xml.substr(cellBegin, in.pos() - cellBegin);
            if (!cellTree.load_buffer(whole.data(), whole.size(), kPartFlags, pugi::encoding_utf8))
                return false;
            readCellContent(cell, cellTree.document_element(), type, strings_, where_);
        }
        if (!sorted) sortCells(row.cells);
        cellsBefore = row.cells.size();
    }
}

void Worksheet::parseColumns(pugi::xml_node cols) {
    for (pugi::xml_node cn = cols.first_child(); cn; cn = cn.next_sibling()) {
        if (cn.type() != pugi::node_element || localName(cn) != "col") continue;
        long long min = 0, max = 0, s = 0;
        if (!parseInt(cn.attribute("min").value(), min) ||
            !parseInt(cn.attribute("max").value(), max) || min < 1 || max < min || max > kMaxColumn)
            sheetDamaged(where_, "列の設定が正しくありません");
        Column c;
        double w;
        if (parseDouble(cn.attribute("width").value(), w) && w >= 0 && w <= 255) c.width = w;
        c.customWidth = flag(cn.attribute("customWidth"));
        if (parseInt(cn.attribute("style").value(), s) && s >= 0)
            c.style = static_cast<std::uint32_t>(s);
        c.hidden = flag(cn.attribute("hidden"));
        c.bestFit = flag(cn.attribute("bestFit"));
        c.extraAttributes = extraAttributes(
            cn, {"min", "max", "width", "customWidth", "style", "hidden", "bestFit"});
        for (long long i = min; i <= max; ++i) column(static_cast<int>(i)) = c;
    }
}

void Worksheet::parseMerges(pugi::xml_node mergeCells) {
    for (pugi::xml_node m = mergeCells.first_child(); m; m = m.next_sibling()) {
        if (m.type() != pugi::node_element || localName(m) != "mergeCell") continue;
        try {
            Range r(attributeText(m, "ref"));
            for (const Area& a : r.areas())
                if (!a.isSingleCell()) merges_.push_back(a);
        } catch (const WorkbookError&) {
            sheetDamaged(where_, "結合セルの範囲が正しくありません");
        }
    }
}

void Worksheet::parseRowBreaks(pugi::xml_node rowBreaks) {
    for (pugi::xml_node b = rowBreaks.first_child(); b; b = b.next_sibling()) {
        if (b.type() != pugi::node_element || localName(b) != "brk") continue;
        long long id;
        if (parseInt(b.attribute("id").value(), id) && id >= 1 && id < kMaxRow)
            rowBreaks_.insert(static_cast<int>(id));
    }
}

pugi::xml_node Worksheet::insertInOrder(std::string_view name) {
    pugi::xml_node root = doc_.document_element();
    if (pugi::xml_node existing = childByLocalName(root, name)) return existing;
    size_t rank = std::size(kWorksheetOrder);
    for (size_t i = 0; i < std::size(kWorksheetOrder); ++i)
        if (name == kWorksheetOrder[i]) rank = i;
    const std::string qualified = prefix_ + std::string(name);
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        for (size_t i = rank + 1; i < std::size(kWorksheetOrder); ++i)
            if (localName(c) == kWorksheetOrder[i])
                return root.insert_child_before(qualified.c_str(), c);
    }
    return root.append_child(qualified.c_str());
}

std::string Worksheet::sheetDataXml() {
    const std::string& p = prefix_;
    std::string out;
    out.reserve(rows_.size() * 64);
    out += "<" + p + "sheetData>";
    for (auto& [r, row] : rows_) {
        bool hasAttributes =
            row.customFormat || row.height > 0 || row.hidden || !row.extraAttributes.empty();
        if (row.cells.empty() && !hasAttributes) continue;
        out += "<" + p + "row r=\"";
        appendInt(out, r);
        out += '"';
        if (row.customFormat) {
            out += " s=\"";
            appendInt(out, row.style);
            out += "\" customFormat=\"1\"";
        }
        if (row.height > 0) {
            out += " ht=\"";
            appendNumber(out, row.height);
            out += '"';
            if (row.customHeight) out += " customHeight=\"1\"";
        }
        if (row.hidden) out += " hidden=\"1\"";
        out += row.extraAttributes;
        if (row.cells.empty()) {
            out += "/>";
            continue;
        }
        out += '>';
        for (Cell& c : row.cells) {
            out += "<" + p + "c r=\"";
            out += columnName(c.column);
            appendInt(out, r);
            out += '"';
            if (c.style != 0) {
                out += " s=\"";
                appendInt(out, c.style);
                out += '"';
            }
            if (!c.rawContent.empty() || !c.rawType.empty()) {
                if (!c.rawType.empty() && c.rawType != "n")
                    out += " t=\"" + c.rawType + "\"";  // kept quotable
                out += c.extraAttributes;
                out += c.rawContent.empty() ? "/>" : ">" + c.rawContent + "</" + p + "c>";
                continue;
            }
            switch (c.kind) {
                case Cell::Kind::Number:
                    out += c.extraAttributes + "><" + p + "v>";
                    appendNumber(out, c.number);
                    out += "</" + p + "v></" + p + "c>";
                    break;
                case Cell::Kind::Text:
                    if (c.sharedIndex < 0) c.sharedIndex = strings_.indexFor(c.text);
                    out += " t=\"s\"" + c.extraAttributes + "><" + p + "v>";
                    appendInt(out, c.sharedIndex);
                    out += "</" + p + "v></" + p + "c>";
                    break;
                case Cell::Kind::Boolean:
                    out += " t=\"b\"" + c.extraAttributes + "><" + p + "v>" +
                           (c.number != 0 ? "1" : "0") + "</" + p + "v></" + p + "c>";
                    break;
                case Cell::Kind::Error:
                    out += " t=\"e\"" + c.extraAttributes + "><" + p + "v>" + encodeText(c.text) +
                           "</" + p + "v></" + p + "c>";
                    break;
                case Cell::Kind::Empty:
                    out += c.extraAttributes + "/>";
                    break;
            }
        }
        out += "</" + p + "row>";
    }
    out += "</" + p + "sheetData>";
    return out;
}

std::string Worksheet::serialize() {
    pugi::xml_node root = doc_.document_element();
    std::vector<pugi::xml_node> generated;

    pugi::xml_node dimension = insertInOrder("dimension");
    std::optional<Area> used = usedArea();
    setAttribute(dimension, "ref", used ? areaReference(*used) : "A1");

    pugi::xml_node format = insertInOrder("sheetFormatPr");
    if (sheetDefaultRowHeight_ > 0 || !format.attribute("defaultRowHeight")) {
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, defaultRowHeight());
        setAttribute(format, "defaultRowHeight", std::string(buf, r.ptr));
        if (sheetDefaultRowHeight_ > 0) setAttribute(format, "customHeight", "1");
    }

    // Columns: runs of equal settings become one <col>.
    bool anyColumn = false;
    for (size_t c = 1; c < columns_.size(); ++c) anyColumn |= !(columns_[c] == Column{});
    if (anyColumn) {
        pugi::xml_node cols = insertInOrder("cols");
        generated.push_back(cols);
        for (size_t c = 1; c < columns_.size();) {
            size_t end = c;
            while (end + 1 < columns_.size() && columns_[end + 1] == columns_[c]) ++end;
            const Column& col = columns_[c];
            if (!(col == Column{})) {
                pugi::xml_node n = cols.append_child((prefix_ + "col").c_str());
                setAttribute(n, "min", std::to_string(c));
                setAttribute(n, "max", std::to_string(end));
                char buf[32];
                double width = col.width > 0 ? col.width : columnFileWidth(0);
                auto r = std::to_chars(buf, buf + sizeof buf, width);
                setAttribute(n, "width", std::string(buf, r.ptr));
                if (col.style) setAttribute(n, "style", std::to_string(col.style));
                if (col.hidden) setAttribute(n, "hidden", "1");
                if (col.bestFit) setAttribute(n, "bestFit", "1");
                if (col.customWidth) setAttribute(n, "customWidth", "1");
                // Raw attributes are appended as read.
                std::string_view extra(col.extraAttributes);
                while (!extra.empty()) {
                    size_t eq = extra.find("=\"");
                    size_t close = extra.find('"', eq + 2);
                    if (eq == std::string_view::npos || close == std::string_view::npos) break;
                    std::string name(extra.substr(1, eq - 1));
                    std::string value(extra.substr(eq + 2, close - eq - 2));
                    n.append_attribute(name.c_str()).set_value(value.c_str());
                    extra.remove_prefix(close + 1);
                }
            }
            c = end + 1;
        }
    }
    if (!merges_.empty()) {
        pugi::xml_node m = insertInOrder("mergeCells");
        generated.push_back(m);
        setAttribute(m, "count", std::to_string(merges_.size()));
        for (const Area& a : merges_)
            setAttribute(m.append_child((prefix_ + "mergeCell").c_str()), "ref", areaReference(a));
    }
    if (!rowBreaks_.empty()) {
        pugi::xml_node b = insertInOrder("rowBreaks");
        generated.push_back(b);
        setAttribute(b, "count", std::to_string(rowBreaks_.size()));
        setAttribute(b, "manualBreakCount", std::to_string(rowBreaks_.size()));
        for (int id : rowBreaks_) {
            pugi::xml_node brk = b.append_child((prefix_ + "brk").c_str());
            setAttribute(brk, "id", std::to_string(id));
            setAttribute(brk, "max", "16383");
            setAttribute(brk, "man", "1");
        }
    }
    pugi::xml_node sheetData = insertInOrder("sheetData");
    const std::string markerName = sheetDataMarker();
    pugi::xml_node marker = sheetData.append_child(pugi::node_pi);
    marker.set_name(markerName.c_str());
    std::string xml = printDocument(doc_);
    sheetData.remove_child(marker);
    for (pugi::xml_node n : generated) root.remove_child(n);

    // Replace the whole sheetData element (however the document wrote it) with ours.
    const std::string pi = "<?" + markerName + "?>";
    size_t at = xml.find(pi);
    size_t open = xml.rfind("<" + std::string(sheetData.name()), at);
    size_t close = xml.find(">", at + pi.size());
    if (at == std::string::npos || open == std::string::npos || close == std::string::npos)
        throw WorkbookError("シート「" + name_ + "」を書き出せません");
    xml.replace(open, close + 1 - open, sheetDataXml());
    return xml;
}

bool Worksheet::tabSelected() const {
    pugi::xml_node views = childByLocalName(doc_.document_element(), "sheetViews");
    for (pugi::xml_node v = views.first_child(); v; v = v.next_sibling())
        if (v.type() == pugi::node_element && flag(v.attribute("tabSelected"))) return true;
    return false;
}

Worksheet::FrozenCells Worksheet::frozenCells() const {
    pugi::xml_node views = childByLocalName(doc_.document_element(), "sheetViews");
    pugi::xml_node pane = childByLocalName(childByLocalName(views, "sheetView"), "pane");
    const std::string state = pane.attribute("state").value();
    if (state != "frozen" && state != "frozenSplit") return {};
    auto count = [](pugi::xml_attribute a, int most) {
        const double n = a.as_double(0);
        return n >= 1 && n <= most ? static_cast<int>(n) : 0;
    };
    return {count(pane.attribute("ySplit"), kMaxRow), count(pane.attribute("xSplit"), kMaxColumn)};
}

void Worksheet::setTabSelected(bool selected) {
    pugi::xml_node views = insertInOrder("sheetViews");
    pugi::xml_node view = childByLocalName(views, "sheetView");
    if (!view) {
        view = views.append_child((prefix_ + "sheetView").c_str());
        setAttribute(view, "workbookViewId", "0");
    }
    if (selected)
        setAttribute(view, "tabSelected", "1");
    else
        for (pugi::xml_node v = views.first_child(); v; v = v.next_sibling())
            if (v.type() == pugi::node_element) v.remove_attribute("tabSelected");
    touch();
}

}  // namespace tombra::sheet
