#pragma once

#include <pugixml.hpp>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tombra::sheet {

// A relationships part (*.rels) of the package, kept as a document so that entries we do not
// touch are written back as they were.
class Relationships {
  public:
    struct Entry {
        std::string id;
        std::string type;
        std::string target;
        bool external = false;
    };

    Relationships();  // empty
    Relationships(std::string_view xml, std::string_view partName);

    const std::vector<Entry>& entries() const { return entries_; }
    const Entry* byId(std::string_view id) const;
    // The first entry whose type ends with the given suffix ("/officeDocument").
    const Entry* byTypeSuffix(std::string_view suffix) const;
    // Adds an entry with a fresh id and returns the id. `alsoTaken` are ids the source part
    // refers to although this part lacks them: reusing one would revive a dead reference.
    std::string add(std::string_view type, std::string_view target,
                    const std::set<std::string>& alsoTaken = {});
    std::string serialize();

  private:
    pugi::xml_document doc_;
    std::vector<Entry> entries_;
};

// "xl/workbook.xml" → "xl/_rels/workbook.xml.rels"; "" → "_rels/.rels".
std::string relationshipsPartFor(std::string_view partName);
// A relationship target resolved against the folder of its source part, without a leading
// slash: ("xl/workbook.xml", "worksheets/sheet1.xml") → "xl/worksheets/sheet1.xml".
std::string resolvePartTarget(std::string_view sourcePart, std::string_view target);

}  // namespace tombra::sheet
