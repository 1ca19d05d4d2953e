#include <algorithm>
#include <charconv>
#include <string>

#include "sheet/Worksheet.h"
#include "sheet/XmlText.h"

// The page setup lives in three elements of the sheet's part that are otherwise kept as read:
// sheetPr/pageSetUpPr (fit to page or not), pageMargins and pageSetup.

namespace tombra::sheet {

namespace {

double number(const pugi::xml_node& node, const char* name, double fallback) {
    const std::string text = attributeText(node, name);
    double v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    return error == std::errc{} && end == text.data() + text.size() ? v : fallback;
}

int whole(const pugi::xml_node& node, const char* name, int fallback, int low, int high) {
    const double v = number(node, name, fallback);
    return v >= low && v <= high ? static_cast<int>(v) : fallback;
}

bool flag(const pugi::xml_node& node, const char* name) {
    const std::string text = attributeText(node, name);
    return text == "1" || text == "true";
}

std::string shortest(double v) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

// A child of `parent` by local name, made (with the parent's prefix) when missing. Only the
// first place matters here: pageSetUpPr is the last child sheetPr may have.
pugi::xml_node childOrNew(pugi::xml_node parent, const char* name) {
    if (pugi::xml_node c = childByLocalName(parent, name)) return c;
    return parent.append_child((prefixOf(parent) + name).c_str());
}

}  // namespace

PageSetup Worksheet::pageSetup() const {
    PageSetup p;
    const pugi::xml_node root = doc_.document_element();
    if (pugi::xml_node pr = childByLocalName(childByLocalName(root, "sheetPr"), "pageSetUpPr"))
        p.fitToPage = flag(pr, "fitToPage");
    if (pugi::xml_node m = childByLocalName(root, "pageMargins")) {
        auto margin = [&m](const char* name, double fallback) {
            const double v = number(m, name, fallback);
            return v >= 0 && v < 50 ? v : fallback;
        };
        p.margins = {margin("left", 0.7),    margin("right", 0.7),  margin("top", 0.75),
                     margin("bottom", 0.75), margin("header", 0.3), margin("footer", 0.3)};
    }
    if (pugi::xml_node s = childByLocalName(root, "pageSetup")) {
        p.paperSize = whole(s, "paperSize", 0, 0, 255);
        p.landscape = attributeText(s, "orientation") == "landscape";
        p.scale = whole(s, "scale", 100, 10, 400);
        p.fitToWidth = whole(s, "fitToWidth", 1, 0, 32767);
        p.fitToHeight = whole(s, "fitToHeight", 1, 0, 32767);
    }
    return p;
}

void Worksheet::setPageSetup(const PageSetup& p) {
    pugi::xml_node pr = childOrNew(insertInOrder("sheetPr"), "pageSetUpPr");
    setAttribute(pr, "fitToPage", p.fitToPage ? "1" : "0");

    pugi::xml_node m = insertInOrder("pageMargins");
    setAttribute(m, "left", shortest(p.margins.left));
    setAttribute(m, "right", shortest(p.margins.right));
    setAttribute(m, "top", shortest(p.margins.top));
    setAttribute(m, "bottom", shortest(p.margins.bottom));
    setAttribute(m, "header", shortest(p.margins.header));
    setAttribute(m, "footer", shortest(p.margins.footer));

    pugi::xml_node s = insertInOrder("pageSetup");
    if (p.paperSize > 0) setAttribute(s, "paperSize", std::to_string(p.paperSize));
    setAttribute(s, "scale", std::to_string(std::clamp(p.scale, 10, 400)));
    setAttribute(s, "fitToWidth", std::to_string(std::max(p.fitToWidth, 0)));
    setAttribute(s, "fitToHeight", std::to_string(std::max(p.fitToHeight, 0)));
    setAttribute(s, "orientation", p.landscape ? "landscape" : "portrait");
    touched_ = true;
}

}  // namespace tombra::sheet
