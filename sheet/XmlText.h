#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace tombra::sheet {

// Cell texts travel through XML with the package's own escape "_xHHHH_" for characters XML
// cannot hold; a CR is written as "&#13;", since a raw CR folds into the LF after it when read
// back and not every reader decodes "_x000D_".
std::string decodeEscapes(std::string_view text);
// Text content ready to stand between tags: escaped markup, "_xHHHH_" escapes, invalid UTF-8
// replaced by U+FFFD so that a bad byte can never make the package unreadable.
std::string encodeText(std::string_view text);
std::string encodeAttribute(std::string_view text);
// True when a <t> element needs xml:space="preserve" to keep the text as it is.
bool needsSpacePreserve(std::string_view text);
// Replaces invalid UTF-8 with U+FFFD.
std::string validUtf8(std::string_view text);

// pugixml is not namespace-aware: elements are matched by local name.
std::string_view localName(const pugi::xml_node& node);
std::string_view localName(const char* qualifiedName);
// The prefix with colon ("x:") of the node's own name, or "".
std::string prefixOf(const pugi::xml_node& node);
pugi::xml_node childByLocalName(const pugi::xml_node& parent, std::string_view name);
// The attribute whose local name is `name` and whose prefix is bound to `namespaceUri`.
pugi::xml_attribute attributeInNamespace(const pugi::xml_node& node, std::string_view name,
                                         std::string_view namespaceUri);
// The prefix ("r") bound to a namespace on the root, or "" when none is declared.
std::string prefixForNamespace(const pugi::xml_node& root, std::string_view namespaceUri);

// Parts are parsed without decoding entities or line ends and printed back verbatim, so a
// part we rewrite keeps every text we did not change exactly as it was (a "&#13;" stays a
// "&#13;"). Values are decoded when read and encoded when written, by the functions below.
// Throws ReadError naming the part when it is not well-formed or holds more elements than
// kMaxXmlElementsPerPart.
void parsePart(pugi::xml_document& doc, std::string_view data, std::string_view partName);
// Start tags in a text, counted without parsing it.
long long countElements(std::string_view xml);
std::string printDocument(pugi::xml_document& doc);
std::string printNode(const pugi::xml_node& node);

// Decodes entities and normalises literal line ends as an XML parser would.
std::string xmlUnescape(std::string_view raw);
std::string xmlUnescapeAttribute(std::string_view raw);
// The decoded text content of an element (its text and CDATA children).
std::string nodeText(const pugi::xml_node& node);
std::string attributeText(const pugi::xml_node& node, const char* name);
// Sets an attribute to a plain value, encoding it.
void setAttribute(pugi::xml_node node, const char* name, std::string_view value);

inline constexpr std::string_view kRelationshipsNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

}  // namespace tombra::sheet
