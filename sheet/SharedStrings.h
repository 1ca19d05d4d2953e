#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tombra::sheet {

// The shared-string table. Sheets we never rewrite still point into it by index, so existing
// entries are never renumbered or dropped; new texts are only appended.
class SharedStrings {
  public:
    SharedStrings();  // a workbook without the part
    SharedStrings(std::string_view xml, std::string_view partName);

    size_t size() const { return texts_.size(); }
    // The plain text of an entry (rich-text runs joined, phonetic hints left out).
    // Throws WorkbookError for an index outside the table.
    const std::string& text(long long index) const;
    // Index of a plain entry holding exactly this text, appended when there is none.
    int indexFor(const std::string& text);
    bool changed() const { return texts_.size() != originalCount_; }
    std::string serialize();
    // After a save: the saved part becomes the original the next save starts from.
    void saved(std::string_view xml);

  private:
    void load(std::string_view xml, std::string_view partName);

    pugi::xml_document doc_;
    std::vector<std::string> texts_;
    std::vector<bool> plain_;  // entry is a single unformatted run that can be reused
    std::unordered_map<std::string, int> lookup_;
    bool lookupBuilt_ = false;
    size_t originalCount_ = 0;
};

}  // namespace tombra::sheet
