#include "sheet/StyleSheet.h"

#include <charconv>
#include <cstdlib>
#include <type_traits>

#include "sheet/Palette.h"
#include "sheet/ReadLimits.h"
#include "sheet/WorkbookError.h"
#include "sheet/XmlText.h"

namespace tombra::sheet {

namespace {

constexpr const char* kMinimalStyles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"ＭＳ Ｐゴシック\"/><family val=\"3\"/>"
    "<charset val=\"128\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
    "borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
    "xfId=\"0\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"標準\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

// Children of <styleSheet>, in the order the format requires.
constexpr const char* kCollectionOrder[] = {"numFmts",      "fonts",   "fills",      "borders",
                                            "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                                            "tableStyles",  "colors",  "extLst"};
// Children of <border>.
constexpr const char* kBorderOrder[] = {"start",  "end",      "left",     "right",     "top",
                                        "bottom", "diagonal", "vertical", "horizontal"};

long long attrInt(const pugi::xml_node& n, const char* name, long long fallback) {
    std::string_view v(n.attribute(name).value());
    long long out = fallback;
    if (v.empty()) return fallback;
    auto r = std::from_chars(v.data(), v.data() + v.size(), out);
    return r.ec == std::errc() ? out : fallback;
}

double attrDouble(const pugi::xml_node& n, const char* name, double fallback) {
    const char* v = n.attribute(name).value();
    if (!*v) return fallback;
    char* end = nullptr;
    double d = std::strtod(v, &end);
    return end != v ? d : fallback;
}

// A boolean element such as <b/> or <b val="0"/>.
bool flagElement(const pugi::xml_node& parent, std::string_view name) {
    pugi::xml_node n = childByLocalName(parent, name);
    if (!n) return false;
    std::string_view v(n.attribute("val").value());
    return !(v == "0" || v == "false");
}

struct StyleName {
    const char* text;
    int lineStyle;
    int weight;
};

constexpr StyleName kBorderStyles[] = {
    {"hair", xl::Continuous, xl::Hairline},
    {"thin", xl::Continuous, xl::Thin},
    {"medium", xl::Continuous, xl::Medium},
    {"thick", xl::Continuous, xl::Thick},
    {"dashed", xl::Dash, xl::Thin},
    {"mediumDashed", xl::Dash, xl::Medium},
    {"dotted", xl::Dot, xl::Thin},
    {"double", xl::Double, xl::Thick},
    {"dashDot", xl::DashDot, xl::Thin},
    {"mediumDashDot", xl::DashDot, xl::Medium},
    {"dashDotDot", xl::DashDotDot, xl::Thin},
    {"mediumDashDotDot", xl::DashDotDot, xl::Medium},
    {"slantDashDot", xl::SlantDashDot, xl::Medium},
};

const char* borderStyleName(int lineStyle, int weight) {
    bool heavy = weight == xl::Medium || weight == xl::Thick;
    switch (lineStyle) {
        case xl::Continuous:
            switch (weight) {
                case xl::Hairline:
                    return "hair";
                case xl::Thin:
                    return "thin";
                case xl::Medium:
                    return "medium";
                case xl::Thick:
                    return "thick";
            }
            break;
        case xl::Dash:
            return heavy ? "mediumDashed" : "dashed";
        case xl::Dot:
            return "dotted";
        case xl::Double:
            return "double";
        case xl::DashDot:
            return heavy ? "mediumDashDot" : "dashDot";
        case xl::DashDotDot:
            return heavy ? "mediumDashDotDot" : "dashDotDot";
        case xl::SlantDashDot:
            return "slantDashDot";
    }
    return nullptr;
}

void checkLineStyle(int s) {
    if (s == xl::LineStyleNone || borderStyleName(s, xl::Thin)) return;
    throw WorkbookError("罫線の線種 " + std::to_string(s) + " は使えません");
}

void checkWeight(int w) {
    if (w == xl::Hairline || w == xl::Thin || w == xl::Medium || w == xl::Thick) return;
    throw WorkbookError("罫線の太さ " + std::to_string(w) + " は使えません");
}

void checkColorIndex(int c) {
    if (isValidColorIndex(c) || c == kColorIndexAutomatic || c == kColorIndexNone) return;
    throw WorkbookError("色番号 " + std::to_string(c) + " は使えません");
}

// Writes a palette colour (or automatic) into a <color> element, dropping other colour kinds.
void setColor(pugi::xml_node color, int colorIndex) {
    while (color.first_attribute()) color.remove_attribute(color.first_attribute());
    if (isValidColorIndex(colorIndex))
        setAttribute(color, "indexed", std::to_string(indexedFromColorIndex(colorIndex)));
    else
        setAttribute(color, "auto", "1");
}

void readColor(const pugi::xml_node& color, int& colorIndex, std::uint32_t& rgb) {
    colorIndex = 0;
    rgb = 0x000000;
    if (!color) return;
    if (color.attribute("indexed")) {
        int indexed = static_cast<int>(attrInt(color, "indexed", 64));
        colorIndex = colorIndexFromIndexed(indexed);
        rgb = indexedColorRgb(indexed);
    } else if (color.attribute("rgb")) {
        std::string_view v(color.attribute("rgb").value());
        if (v.size() == 8) v.remove_prefix(2);  // ARGB
        unsigned value = 0;
        std::from_chars(v.data(), v.data() + v.size(), value, 16);
        rgb = value & 0xFFFFFF;
    } else if (color.attribute("theme")) {
        // Theme colours of the default theme that fonts and borders use.
        rgb = attrInt(color, "theme", 1) == 0 ? 0xFFFFFF : 0x000000;
    }
}

pugi::xml_node ensureChildInOrder(pugi::xml_node parent, std::string_view name,
                                  const char* const* order, size_t orderSize,
                                  const std::string& prefix) {
    if (pugi::xml_node n = childByLocalName(parent, name)) return n;
    size_t rank = orderSize;
    for (size_t i = 0; i < orderSize; ++i)
        if (name == order[i]) rank = i;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        for (size_t i = rank + 1; i < orderSize; ++i)
            if (localName(c) == order[i])
                return parent.insert_child_before((prefix + std::string(name)).c_str(), c);
    }
    return parent.append_child((prefix + std::string(name)).c_str());
}

pugi::xml_node ensureChild(pugi::xml_node parent, std::string_view name,
                           const std::string& prefix) {
    if (pugi::xml_node n = childByLocalName(parent, name)) return n;
    return parent.append_child((prefix + std::string(name)).c_str());
}

const char* horizontalName(int h) {
    switch (h) {
        case xl::HAlignGeneral:
            return "general";
        case xl::HAlignCenter:
            return "center";
        case xl::HAlignLeft:
            return "left";
        case xl::HAlignRight:
            return "right";
        case xl::HAlignDistributed:
            return "distributed";
        case xl::HAlignJustify:
            return "justify";
    }
    throw WorkbookError("横位置 " + std::to_string(h) + " は使えません");
}

const char* verticalName(int v) {
    switch (v) {
        case xl::VAlignCenter:
            return "center";
        case xl::VAlignTop:
            return "top";
        case xl::VAlignBottom:
            return "bottom";
        case xl::VAlignDistributed:
            return "distributed";
    }
    throw WorkbookError("縦位置 " + std::to_string(v) + " は使えません");
}

int horizontalFromName(std::string_view n) {
    if (n == "center" || n == "centerContinuous") return xl::HAlignCenter;
    if (n == "left") return xl::HAlignLeft;
    if (n == "right") return xl::HAlignRight;
    if (n == "distributed") return xl::HAlignDistributed;
    if (n == "justify") return xl::HAlignJustify;
    return xl::HAlignGeneral;
}

int verticalFromName(std::string_view n) {
    if (n == "center") return xl::VAlignCenter;
    if (n == "top") return xl::VAlignTop;
    if (n == "distributed" || n == "justify") return xl::VAlignDistributed;
    return xl::VAlignBottom;
}

template <class T>
void appendKey(std::string& key, const std::optional<T>& v) {
    key += '|';
    if (!v) return;
    if constexpr (std::is_same_v<T, std::string>)
        key += *v;
    else
        key += std::to_string(*v);
}

}  // namespace

StyleSheet::StyleSheet() { load(kMinimalStyles, "xl/styles.xml"); }

StyleSheet::StyleSheet(std::string_view xml, std::string_view partName) { load(xml, partName); }

void StyleSheet::saved(std::string_view xml) { load(xml, "xl/styles.xml"); }

void StyleSheet::load(std::string_view xml, std::string_view partName) {
    fonts_.clear();
    borders_.clear();
    xfs_.clear();
    fontKeys_.clear();
    borderKeys_.clear();
    xfKeys_.clear();
    resolved_.clear();
    derived_.clear();
    changed_ = false;
    parsePart(doc_, xml, partName);
    if (localName(doc_.document_element()) != "styleSheet")
        throw ReadError(ReadError::Kind::Damaged, std::string(partName), "書式の表ではありません");
    prefix_ = prefixOf(doc_.document_element());
    auto gather = [&](const char* collectionName, const char* item,
                      std::vector<pugi::xml_node>& out) {
        pugi::xml_node c = childByLocalName(doc_.document_element(), collectionName);
        for (pugi::xml_node n = c.first_child(); n; n = n.next_sibling())
            if (n.type() == pugi::node_element && localName(n) == item) out.push_back(n);
    };
    gather("fonts", "font", fonts_);
    gather("borders", "border", borders_);
    gather("cellXfs", "xf", xfs_);
    resolved_.resize(xfs_.size());
}

pugi::xml_node StyleSheet::collection(const char* name) {
    pugi::xml_node root = doc_.document_element();
    return ensureChildInOrder(root, name, kCollectionOrder, std::size(kCollectionOrder), prefix_);
}

std::uint32_t StyleSheet::intern(std::vector<pugi::xml_node>& list,
                                 std::unordered_map<std::string, std::uint32_t>& keys,
                                 pugi::xml_node collectionNode, pugi::xml_node candidate) {
    if (keys.empty())
        for (size_t i = 0; i < list.size(); ++i)
            keys.emplace(printNode(list[i]), static_cast<std::uint32_t>(i));
    std::string key = printNode(candidate);
    auto it = keys.find(key);
    if (it != keys.end()) {
        scratch_.remove_child(candidate);
        return it->second;
    }
    pugi::xml_node added = collectionNode.append_copy(candidate);
    scratch_.remove_child(candidate);
    list.push_back(added);
    setAttribute(collectionNode, "count", std::to_string(list.size()));
    std::uint32_t index = static_cast<std::uint32_t>(list.size() - 1);
    keys.emplace(std::move(key), index);
    changed_ = true;
    return index;
}

pugi::xml_node StyleSheet::xfNode(std::uint32_t xf) const {
    if (xf < xfs_.size()) return xfs_[xf];
    return xfs_.empty() ? pugi::xml_node() : xfs_[0];
}

std::uint32_t StyleSheet::deriveXf(std::uint32_t xf, const char* idAttribute, std::uint32_t id,
                                   const char* applyAttribute) {
    pugi::xml_node base = xfNode(xf);
    pugi::xml_node candidate =
        base ? scratch_.append_copy(base) : scratch_.append_child((prefix_ + "xf").c_str());
    if (!base) {
        for (const char* a : {"numFmtId", "fontId", "fillId", "borderId", "xfId"})
            setAttribute(candidate, a, "0");
    }
    setAttribute(candidate, idAttribute, std::to_string(id));
    setAttribute(candidate, applyAttribute, "1");
    std::uint32_t index = intern(xfs_, xfKeys_, collection("cellXfs"), candidate);
    if (resolved_.size() < xfs_.size()) resolved_.resize(xfs_.size());
    return index;
}

std::uint32_t StyleSheet::withFont(std::uint32_t xf, const FontChange& change) {
    std::string key = "F" + std::to_string(xf);
    appendKey(key, change.name);
    appendKey(key, change.size);
    appendKey(key, change.bold);
    appendKey(key, change.colorIndex);
    appendKey(key, change.italic);
    appendKey(key, change.underline);
    if (auto it = derived_.find(key); it != derived_.end()) return it->second;
    std::uint32_t result = deriveFont(xf, change);
    derived_.emplace(std::move(key), result);
    return result;
}

std::uint32_t StyleSheet::deriveFont(std::uint32_t xf, const FontChange& change) {
    if (change.colorIndex) checkColorIndex(*change.colorIndex);
    if (change.size && !(*change.size >= 1 && *change.size <= 409))
        throw WorkbookError("フォントの大きさが正しくありません");
    pugi::xml_node xfn = xfNode(xf);
    std::uint32_t fontId = xfn ? static_cast<std::uint32_t>(attrInt(xfn, "fontId", 0)) : 0;
    pugi::xml_node font = fontId < fonts_.size() ? scratch_.append_copy(fonts_[fontId])
                          : !fonts_.empty()      ? scratch_.append_copy(fonts_[0])
                                            : scratch_.append_child((prefix_ + "font").c_str());
    if (change.name) {
        setAttribute(ensureChild(font, "name", prefix_), "val", *change.name);
        // A theme font scheme would override the name in the spreadsheet.
        if (pugi::xml_node s = childByLocalName(font, "scheme")) font.remove_child(s);
    }
    if (change.size) {
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, *change.size);
        setAttribute(ensureChild(font, "sz", prefix_), "val", std::string(buf, r.ptr));
    }
    auto setFlag = [&](std::string_view name, bool on) {
        pugi::xml_node n = childByLocalName(font, name);
        if (on) {
            if (!n) n = font.prepend_child((prefix_ + std::string(name)).c_str());
            n.remove_attribute("val");
        } else if (n) {
            font.remove_child(n);
        }
    };
    if (change.bold) setFlag("b", *change.bold);
    if (change.italic) setFlag("i", *change.italic);
    if (change.underline) setFlag("u", *change.underline);
    if (change.colorIndex) setColor(ensureChild(font, "color", prefix_), *change.colorIndex);
    std::uint32_t newFont = intern(fonts_, fontKeys_, collection("fonts"), font);
    return deriveXf(xf, "fontId", newFont, "applyFont");
}

std::uint32_t StyleSheet::withBorder(std::uint32_t xf, int xlEdge, const BorderChange& change) {
    std::string key = "B" + std::to_string(xf) + "|" + std::to_string(xlEdge);
    appendKey(key, change.lineStyle);
    appendKey(key, change.weight);
    appendKey(key, change.colorIndex);
    if (auto it = derived_.find(key); it != derived_.end()) return it->second;
    std::uint32_t result = deriveBorder(xf, xlEdge, change);
    derived_.emplace(std::move(key), result);
    return result;
}

std::uint32_t StyleSheet::deriveBorder(std::uint32_t xf, int xlEdge, const BorderChange& change) {
    if (CellFormat::edgeSlot(xlEdge) < 0)
        throw WorkbookError("罫線の位置 " + std::to_string(xlEdge) + " は使えません");
    if (change.lineStyle) checkLineStyle(*change.lineStyle);
    if (change.weight) checkWeight(*change.weight);
    if (change.colorIndex) checkColorIndex(*change.colorIndex);
    pugi::xml_node xfn = xfNode(xf);
    std::uint32_t borderId = xfn ? static_cast<std::uint32_t>(attrInt(xfn, "borderId", 0)) : 0;
    pugi::xml_node border = borderId < borders_.size()
                                ? scratch_.append_copy(borders_[borderId])
                                : scratch_.append_child((prefix_ + "border").c_str());
    const char* name = xlEdge == xl::EdgeLeft       ? "left"
                       : xlEdge == xl::EdgeTop      ? "top"
                       : xlEdge == xl::EdgeBottom   ? "bottom"
                       : xlEdge == xl::DiagonalDown ? "diagonal"
                                                    : "right";
    pugi::xml_node edge = childByLocalName(border, name);
    if (!edge)
        edge = childByLocalName(border, xlEdge == xl::EdgeLeft    ? "start"
                                        : xlEdge == xl::EdgeRight ? "end"
                                                                  : "");
    if (!edge)
        edge = ensureChildInOrder(border, name, kBorderOrder, std::size(kBorderOrder), prefix_);

    const CellFormat& before = format(xf);
    BorderLine line = before.edge(xlEdge);
    bool colourChanged = false;
    if (change.lineStyle) {
        if (*change.lineStyle == xl::LineStyleNone) {
            line = BorderLine{};
        } else {
            if (!line.present()) line.weight = xl::Thin;
            line.lineStyle = *change.lineStyle;
        }
    }
    if (change.weight) {
        if (!line.present()) line.lineStyle = xl::Continuous;
        line.weight = *change.weight;
    }
    if (change.colorIndex) {
        if (!line.present()) {
            line.lineStyle = xl::Continuous;
            line.weight = xl::Thin;
        }
        colourChanged = true;
    }
    const std::string up = attributeText(border, "diagonalUp");
    const bool sharedDiagonal = xlEdge == xl::DiagonalDown && (up == "1" || up == "true");
    if (xlEdge == xl::DiagonalDown) {
        if (line.present())
            setAttribute(border, "diagonalDown", "1");
        else
            border.remove_attribute("diagonalDown");
    }
    if (!line.present()) {
        // The up diagonal keeps the line the two share.
        if (!sharedDiagonal) {
            edge.remove_attribute("style");
            while (edge.first_child()) edge.remove_child(edge.first_child());
        }
    } else {
        setAttribute(edge, "style", borderStyleName(line.lineStyle, line.weight));
        if (colourChanged) {
            setColor(ensureChild(edge, "color", prefix_), *change.colorIndex);
        } else if (!childByLocalName(edge, "color")) {
            setColor(edge.append_child((prefix_ + "color").c_str()), kColorIndexAutomatic);
        }
    }
    std::uint32_t newBorder = intern(borders_, borderKeys_, collection("borders"), border);
    return deriveXf(xf, "borderId", newBorder, "applyBorder");
}

std::uint32_t StyleSheet::withAlignment(std::uint32_t xf, const AlignmentChange& change) {
    std::string key = "A" + std::to_string(xf);
    appendKey(key, change.horizontal);
    appendKey(key, change.vertical);
    appendKey(key, change.wrapText);
    if (auto it = derived_.find(key); it != derived_.end()) return it->second;
    std::uint32_t result = deriveAlignment(xf, change);
    derived_.emplace(std::move(key), result);
    return result;
}

std::uint32_t StyleSheet::deriveAlignment(std::uint32_t xf, const AlignmentChange& change) {
    const char* h = change.horizontal ? horizontalName(*change.horizontal) : nullptr;
    const char* v = change.vertical ? verticalName(*change.vertical) : nullptr;
    pugi::xml_node base = xfNode(xf);
    pugi::xml_node candidate =
        base ? scratch_.append_copy(base) : scratch_.append_child((prefix_ + "xf").c_str());
    pugi::xml_node al = childByLocalName(candidate, "alignment");
    if (!al) al = candidate.prepend_child((prefix_ + "alignment").c_str());  // before protection
    if (h) {
        if (*change.horizontal == xl::HAlignGeneral)
            al.remove_attribute("horizontal");
        else
            setAttribute(al, "horizontal", h);
    }
    if (v) {
        if (*change.vertical == xl::VAlignBottom)
            al.remove_attribute("vertical");
        else
            setAttribute(al, "vertical", v);
    }
    if (change.wrapText) {
        if (*change.wrapText)
            setAttribute(al, "wrapText", "1");
        else
            al.remove_attribute("wrapText");
    }
    setAttribute(candidate, "applyAlignment", "1");
    std::uint32_t index = intern(xfs_, xfKeys_, collection("cellXfs"), candidate);
    if (resolved_.size() < xfs_.size()) resolved_.resize(xfs_.size());
    return index;
}

const CellFormat& StyleSheet::format(std::uint32_t xf) const {
    if (xf >= resolved_.size()) {
        static const CellFormat fallback;
        if (resolved_.empty()) return fallback;
        xf = 0;
    }
    if (!resolved_[xf]) resolved_[xf] = resolve(xf);
    return *resolved_[xf];
}

CellFormat StyleSheet::resolve(std::uint32_t xf) const {
    CellFormat f;
    pugi::xml_node x = xfNode(xf);
    if (!x) return f;
    f.numberFormatId = static_cast<int>(attrInt(x, "numFmtId", 0));
    auto fontId = static_cast<size_t>(attrInt(x, "fontId", 0));
    if (fontId < fonts_.size()) {
        pugi::xml_node font = fonts_[fontId];
        f.font.name = attributeText(childByLocalName(font, "name"), "val");
        f.font.size = attrDouble(childByLocalName(font, "sz"), "val", 11);
        f.font.bold = flagElement(font, "b");
        f.font.italic = flagElement(font, "i");
        pugi::xml_node u = childByLocalName(font, "u");
        f.font.underline = u && std::string_view(u.attribute("val").value()) != "none";
        readColor(childByLocalName(font, "color"), f.font.colorIndex, f.font.rgb);
    }
    auto borderId = static_cast<size_t>(attrInt(x, "borderId", 0));
    if (borderId < borders_.size()) {
        pugi::xml_node border = borders_[borderId];
        const char* names[4][2] = {
            {"left", "start"}, {"top", ""}, {"bottom", ""}, {"right", "end"}};
        // The diagonal line is the down one only when the border says so.
        const std::string down = attributeText(border, "diagonalDown");
        const bool diagonalDown = down == "1" || down == "true";
        for (size_t i = 0; i < 5; ++i) {
            pugi::xml_node e;
            if (i < 4) {
                e = childByLocalName(border, names[i][0]);
                if (!e && *names[i][1]) e = childByLocalName(border, names[i][1]);
            } else if (diagonalDown) {
                e = childByLocalName(border, "diagonal");
            }
            std::string_view style(e.attribute("style").value());
            for (const StyleName& s : kBorderStyles) {
                if (style == s.text) {
                    f.edges[i].lineStyle = s.lineStyle;
                    f.edges[i].weight = s.weight;
                    readColor(childByLocalName(e, "color"), f.edges[i].colorIndex, f.edges[i].rgb);
                }
            }
        }
    }
    if (pugi::xml_node al = childByLocalName(x, "alignment")) {
        f.horizontal = horizontalFromName(al.attribute("horizontal").value());
        f.vertical = verticalFromName(al.attribute("vertical").value());
        std::string_view wrap(al.attribute("wrapText").value());
        f.wrapText = wrap == "1" || wrap == "true";
    }
    return f;
}

std::string StyleSheet::serialize() { return printDocument(doc_); }

}  // namespace tombra::sheet
