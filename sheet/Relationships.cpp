#include "sheet/Relationships.h"

#include "sheet/XmlText.h"

namespace tombra::sheet {

namespace {
constexpr const char* kEmpty =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>";
}

Relationships::Relationships() : Relationships(kEmpty, "rels") {}

Relationships::Relationships(std::string_view xml, std::string_view partName) {
    parsePart(doc_, xml, partName);
    for (pugi::xml_node n = doc_.document_element().first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element || localName(n) != "Relationship") continue;
        entries_.push_back({attributeText(n, "Id"), attributeText(n, "Type"),
                            attributeText(n, "Target"),
                            attributeText(n, "TargetMode") == "External"});
    }
}

const Relationships::Entry* Relationships::byId(std::string_view id) const {
    for (const Entry& e : entries_)
        if (e.id == id) return &e;
    return nullptr;
}

const Relationships::Entry* Relationships::byTypeSuffix(std::string_view suffix) const {
    for (const Entry& e : entries_)
        if (e.type.size() >= suffix.size() &&
            std::string_view(e.type).substr(e.type.size() - suffix.size()) == suffix)
            return &e;
    return nullptr;
}

std::string Relationships::add(std::string_view type, std::string_view target,
                               const std::set<std::string>& alsoTaken) {
    std::set<std::string> used = alsoTaken;
    for (const Entry& e : entries_) used.insert(e.id);
    int n = static_cast<int>(entries_.size()) + 1;
    std::string id;
    do id = "rId" + std::to_string(n++);
    while (used.count(id));
    pugi::xml_node root = doc_.document_element();
    pugi::xml_node rel = root.append_child((prefixOf(root) + "Relationship").c_str());
    setAttribute(rel, "Id", id);
    setAttribute(rel, "Type", type);
    setAttribute(rel, "Target", target);
    entries_.push_back({id, std::string(type), std::string(target), false});
    return id;
}

std::string Relationships::serialize() { return printDocument(doc_); }

std::string relationshipsPartFor(std::string_view partName) {
    size_t slash = partName.rfind('/');
    std::string dir =
        slash == std::string_view::npos ? "" : std::string(partName.substr(0, slash + 1));
    std::string file =
        std::string(slash == std::string_view::npos ? partName : partName.substr(slash + 1));
    return dir + "_rels/" + file + ".rels";
}

std::string resolvePartTarget(std::string_view sourcePart, std::string_view target) {
    std::vector<std::string> segments;
    auto push = [&](std::string_view path) {
        size_t start = 0;
        while (start <= path.size()) {
            size_t slash = path.find('/', start);
            std::string_view seg = path.substr(
                start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
            if (seg == "..") {
                if (!segments.empty()) segments.pop_back();
            } else if (!seg.empty() && seg != ".") {
                segments.emplace_back(seg);
            }
            if (slash == std::string_view::npos) break;
            start = slash + 1;
        }
    };
    if (target.empty() || target.front() != '/') {
        size_t slash = sourcePart.rfind('/');
        if (slash != std::string_view::npos) push(sourcePart.substr(0, slash));
    }
    push(target);
    std::string out;
    for (const std::string& s : segments) out += (out.empty() ? "" : "/") + s;
    return out;
}

}  // namespace tombra::sheet
