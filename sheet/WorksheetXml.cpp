// Reading and writing a worksheet part. The modelled elements (sheetData, cols, mergeCells,
// rowBreaks, dimension) are taken out of the document when read and put back at their place
// in the schema's order when written; everything else stays in the document untouched.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <random>

#include "sheet/ColumnWidth.h"
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

bool parseInt(std::string_view v, long long& out) {
    if (v.empty()) return false;
    auto r = std::from_chars(v.data(), v.data() + v.size(), out);
    return r.ec == std::errc() && r.ptr == v.data() + v.size();
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

}  // namespace

void Worksheet::loadNew() {
    load(kNewSheet);
    touched_ = true;  // exists only in memory until saved
}

void Worksheet::load(std::string_view xml) {
    rows_.clear();
    columns_.clear();
    merges_.clear();
    rowBreaks_.clear();
    parsePart(doc_, xml, partName_);
    pugi::xml_node root = doc_.document_element();
    if (localName(root) != "worksheet")
        throw WorkbookError("シート「" + name_ + "」はワークシートではありません");
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
    parseSheetData(sheetData);
    while (sheetData.first_child()) sheetData.remove_child(sheetData.first_child());
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

void Worksheet::parseSheetData(pugi::xml_node sheetData) {
    auto damaged = [&](const std::string& what) {
        return WorkbookError("シート「" + name_ + "」が壊れています: " + what);
    };
    long long rowNumber = 0;
    for (pugi::xml_node rn = sheetData.first_child(); rn; rn = rn.next_sibling()) {
        if (rn.type() != pugi::node_element || localName(rn) != "row") continue;
        long long r = rowNumber + 1;
        if (rn.attribute("r") && !parseInt(rn.attribute("r").value(), r))
            throw damaged("行番号が正しくありません");
        if (r < 1 || r > kMaxRow) throw damaged("行番号 " + std::to_string(r) + " が範囲外です");
        rowNumber = r;
        Row& row = rows_[static_cast<int>(r)];
        double ht;
        if (parseDouble(rn.attribute("ht").value(), ht) && ht >= 0 && ht <= 409) row.height = ht;
        row.customHeight = flag(rn.attribute("customHeight"));
        row.customFormat = flag(rn.attribute("customFormat"));
        long long s = 0;
        if (parseInt(rn.attribute("s").value(), s) && s >= 0)
            row.style = static_cast<std::uint32_t>(s);
        row.hidden = flag(rn.attribute("hidden"));
        row.extraAttributes = extraAttributes(
            rn, {"r", "ht", "customHeight", "customFormat", "s", "hidden", "spans"});

        int columnNumber = 0;
        bool sorted = true;
        for (pugi::xml_node cn = rn.first_child(); cn; cn = cn.next_sibling()) {
            if (cn.type() != pugi::node_element || localName(cn) != "c") continue;
            int col = columnNumber + 1;
            if (pugi::xml_attribute ref = cn.attribute("r")) {
                std::string_view text(ref.value());
                size_t letters = 0;
                while (letters < text.size() &&
                       std::isalpha(static_cast<unsigned char>(text[letters])))
                    ++letters;
                long long refRow = 0;
                col = sheet::columnNumber(text.substr(0, letters));
                if (col == 0 || !parseInt(text.substr(letters), refRow) || refRow != r)
                    throw damaged("セル参照 \"" + std::string(text) + "\" が正しくありません");
            }
            if (col < 1 || col > kMaxColumn) throw damaged("列番号が範囲外です");
            if (!row.cells.empty() && col <= row.cells.back().column) sorted = false;
            columnNumber = col;

            Cell cell;
            cell.column = col;
            if (parseInt(cn.attribute("s").value(), s) && s >= 0)
                cell.style = static_cast<std::uint32_t>(s);
            cell.extraAttributes = extraAttributes(cn, {"r", "s", "t"});
            std::string_view type(cn.attribute("t").value());
            pugi::xml_node v, other;
            for (pugi::xml_node ch = cn.first_child(); ch; ch = ch.next_sibling()) {
                if (ch.type() != pugi::node_element) continue;
                if (localName(ch) == "v")
                    v = ch;
                else
                    other = ch;
            }
            std::string vText = v ? nodeText(v) : std::string();
            if (type == "s" && !other) {
                if (v) {
                    long long index;
                    if (!parseInt(vText, index))
                        throw damaged("共有文字列の番号が正しくありません");
                    cell.kind = Cell::Kind::Text;
                    cell.text = strings_.text(index);
                    cell.sharedIndex = static_cast<int>(index);
                }
            } else if ((type.empty() || type == "n") && !other) {
                if (v) {
                    double d;
                    if (parseDouble(vText, d)) {
                        cell.kind = Cell::Kind::Number;
                        cell.number = d;
                    } else {
                        cell.kind =
                            Cell::Kind::Text;  // unreadable number: show it, keep it as read
                        cell.text = vText;
                        cell.rawType = quotable(type);
                        cell.rawContent = printNode(v);
                    }
                }
            } else {
                // Formulas, inline strings, truth and error values: kept as read; the value shown
                // is the cached one.
                cell.rawType = type.empty() ? "n" : quotable(type);
                for (pugi::xml_node ch = cn.first_child(); ch; ch = ch.next_sibling())
                    cell.rawContent += printNode(ch);
                if (type == "inlineStr") {
                    std::string t;
                    if (pugi::xml_node is = childByLocalName(cn, "is")) {
                        for (pugi::xml_node part = is.first_child(); part;
                             part = part.next_sibling()) {
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
                        cell.kind = Cell::Kind::Text;
                        cell.text = strings_.text(index);
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
            }
            row.cells.push_back(std::move(cell));
        }
        if (!sorted) {
            // Out-of-order or repeated cells: the last one written for a column wins.
            std::stable_sort(row.cells.begin(), row.cells.end(),
                             [](const Cell& a, const Cell& b) { return a.column < b.column; });
            std::vector<Cell> unique;
            for (Cell& c : row.cells) {
                if (!unique.empty() && unique.back().column == c.column)
                    unique.back() = std::move(c);
                else
                    unique.push_back(std::move(c));
            }
            row.cells = std::move(unique);
        }
    }
}

void Worksheet::parseColumns(pugi::xml_node cols) {
    for (pugi::xml_node cn = cols.first_child(); cn; cn = cn.next_sibling()) {
        if (cn.type() != pugi::node_element || localName(cn) != "col") continue;
        long long min = 0, max = 0, s = 0;
        if (!parseInt(cn.attribute("min").value(), min) ||
            !parseInt(cn.attribute("max").value(), max) || min < 1 || max < min || max > kMaxColumn)
            throw WorkbookError("シート「" + name_ + "」の列の設定が壊れています");
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
            throw WorkbookError("シート「" + name_ + "」の結合セルが壊れています");
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
