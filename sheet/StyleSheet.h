#pragma once

#include <cstdint>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sheet/CellFormat.h"

namespace tombra::sheet {

// The style part. Cell formats are indexes into its cell-format list; a change to a cell's
// format derives a new entry from the cell's old one (keeping number formats, fills and
// everything else it had) and reuses an equal entry when one exists. Entries are only appended,
// so untouched sheets keep pointing at the right formats.
class StyleSheet {
  public:
    StyleSheet();  // a workbook without the part: a minimal one is made
    StyleSheet(std::string_view xml, std::string_view partName);

    // Throws WorkbookError for a constant the spreadsheet does not know.
    std::uint32_t withFont(std::uint32_t xf, const FontChange& change);
    std::uint32_t withBorder(std::uint32_t xf, int xlEdge, const BorderChange& change);
    std::uint32_t withAlignment(std::uint32_t xf, const AlignmentChange& change);

    // The resolved format; an index outside the list reads as the default format.
    const CellFormat& format(std::uint32_t xf) const;
    const FontSpec& defaultFont() const { return format(0).font; }

    bool changed() const { return changed_; }
    std::string serialize();
    void saved(std::string_view xml);

  private:
    void load(std::string_view xml, std::string_view partName);
    std::uint32_t deriveFont(std::uint32_t xf, const FontChange& change);
    std::uint32_t deriveBorder(std::uint32_t xf, int xlEdge, const BorderChange& change);
    std::uint32_t deriveAlignment(std::uint32_t xf, const AlignmentChange& change);
    pugi::xml_node collection(const char* name);
    std::uint32_t intern(std::vector<pugi::xml_node>& list,
                         std::unordered_map<std::string, std::uint32_t>& keys,
                         pugi::xml_node collectionNode, pugi::xml_node candidate);
    std::uint32_t deriveXf(std::uint32_t xf, const char* idAttribute, std::uint32_t id,
                           const char* applyAttribute);
    pugi::xml_node xfNode(std::uint32_t xf) const;
    CellFormat resolve(std::uint32_t xf) const;

    pugi::xml_document doc_;
    pugi::xml_document scratch_;
    std::string prefix_;
    std::vector<pugi::xml_node> fonts_, borders_, xfs_;
    std::unordered_map<std::string, std::uint32_t> fontKeys_, borderKeys_, xfKeys_;
    mutable std::vector<std::optional<CellFormat>> resolved_;
    // Derivations already made: the same change to the same format gives the same entry, and
    // a bracket writer asks for the same few thousands of times.
    std::unordered_map<std::string, std::uint32_t> derived_;
    bool changed_ = false;
};

}  // namespace tombra::sheet
