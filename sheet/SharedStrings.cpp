#include "sheet/SharedStrings.h"

#include "sheet/ReadLimits.h"
#include "sheet/WorkbookError.h"
#include "sheet/XmlText.h"

namespace tombra::sheet {

namespace {
constexpr const char* kEmpty =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"0\" "
    "uniqueCount=\"0\"></sst>";
constexpr const char* kPlaceholder = "tombra-appended-strings";
}  // namespace

SharedStrings::SharedStrings() : SharedStrings(kEmpty, "xl/sharedStrings.xml") {}

SharedStrings::SharedStrings(std::string_view xml, std::string_view partName) {
    load(xml, partName);
}

void SharedStrings::saved(std::string_view xml) { load(xml, "xl/sharedStrings.xml"); }

void SharedStrings::load(std::string_view xml, std::string_view partName) {
    texts_.clear();
    plain_.clear();
    lookup_.clear();
    lookupBuilt_ = false;
    parsePart(doc_, xml, partName);
    if (localName(doc_.document_element()) != "sst")
        throw ReadError(ReadError::Kind::Damaged, std::string(partName),
                        "共有文字列の表ではありません");
    for (pugi::xml_node si = doc_.document_element().first_child(); si; si = si.next_sibling()) {
        if (si.type() != pugi::node_element || localName(si) != "si") continue;
        std::string text;
        bool plain = true;
        for (pugi::xml_node part = si.first_child(); part; part = part.next_sibling()) {
            if (part.type() != pugi::node_element) continue;
            std::string_view name = localName(part);
            if (name == "t") {
                text += nodeText(part);
            } else if (name == "r") {
                plain = false;
                if (pugi::xml_node t = childByLocalName(part, "t")) text += nodeText(t);
            } else {
                plain = false;  // phonetic runs and properties: kept, but not part of the text
            }
        }
        texts_.push_back(decodeEscapes(text));
        plain_.push_back(plain);
    }
    originalCount_ = texts_.size();
}

const std::string& SharedStrings::text(long long index) const {
    if (index < 0 || index >= static_cast<long long>(texts_.size()))
        throw WorkbookError("共有文字列の番号 " + std::to_string(index) +
                            " が範囲外です (ブックが壊れています)");
    return texts_[static_cast<size_t>(index)];
}

int SharedStrings::indexFor(const std::string& text) {
    if (!lookupBuilt_) {
        for (size_t i = 0; i < texts_.size(); ++i)
            if (plain_[i]) lookup_.emplace(texts_[i], static_cast<int>(i));
        lookupBuilt_ = true;
    }
    auto [it, inserted] = lookup_.emplace(text, static_cast<int>(texts_.size()));
    if (inserted) {
        texts_.push_back(text);
        plain_.push_back(true);
    }
    return it->second;
}

std::string SharedStrings::serialize() {
    pugi::xml_node root = doc_.document_element();
    const std::string prefix = prefixOf(root);
    root.remove_attribute("count");  // total of references over all sheets: not ours to know
    setAttribute(root, "uniqueCount", std::to_string(texts_.size()));
    pugi::xml_node marker = root.append_child(pugi::node_pi);
    marker.set_name(kPlaceholder);
    std::string xml = printDocument(doc_);
    root.remove_child(marker);

    std::string added;
    for (size_t i = originalCount_; i < texts_.size(); ++i) {
        const std::string& t = texts_[i];
        added += "<" + prefix + "si><" + prefix + "t";
        if (needsSpacePreserve(t)) added += " xml:space=\"preserve\"";
        added += ">" + encodeText(t) + "</" + prefix + "t></" + prefix + "si>";
    }
    const std::string pi = std::string("<?") + kPlaceholder + "?>";
    size_t at = xml.rfind(pi);
    xml.replace(at, pi.size(), added);
    return xml;
}

}  // namespace tombra::sheet
