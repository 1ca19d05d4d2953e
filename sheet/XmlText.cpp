#include "sheet/XmlText.h"

#include <cstdio>
#include <cstring>

#include "sheet/ReadLimits.h"
#include "sheet/WorkbookError.h"

namespace tombra::sheet {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Length of an "_xHHHH_" escape at position i, or 0.
bool isEscapeAt(std::string_view s, size_t i, unsigned& code) {
    if (i + 7 > s.size() || s[i] != '_' || (s[i + 1] != 'x' && s[i + 1] != 'X') || s[i + 6] != '_')
        return false;
    unsigned v = 0;
    for (size_t k = 2; k < 6; ++k) {
        int h = hexValue(s[i + k]);
        if (h < 0) return false;
        v = v * 16 + static_cast<unsigned>(h);
    }
    code = v;
    return true;
}

void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when invalid.
size_t decodeUtf8(std::string_view s, size_t i, unsigned& cp) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    unsigned char c = b(0);
    size_t len;
    unsigned min;
    if (c < 0x80) {
        cp = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

bool xmlAllows(unsigned cp) {
    return cp == 0x9 || cp == 0xA || (cp >= 0x20 && cp <= 0xD7FF) ||
           (cp >= 0xE000 && cp <= 0xFFFD) || cp >= 0x10000;
}

void appendEscape(std::string& out, unsigned code) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "_x%04X_", code & 0xFFFF);
    out += buf;
}

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override {
        out.append(static_cast<const char*>(data), size);
    }
};

}  // namespace

std::string decodeEscapes(std::string_view text) {
    if (text.find('_') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        unsigned code;
        if (isEscapeAt(text, i, code)) {
            appendUtf8(out, code);
            i += 7;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string validUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        unsigned cp;
        size_t len = decodeUtf8(text, i, cp);
        if (len == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, len));
            i += len;
        }
    }
    return out;
}

std::string encodeText(std::string_view raw) {
    const std::string text = validUtf8(raw);
    std::string out;
    out.reserve(text.size() + 16);
    for (size_t i = 0; i < text.size();) {
        unsigned cp;
        size_t len = decodeUtf8(text, i, cp);
        unsigned code;
        if (cp == '_' && isEscapeAt(text, i, code)) {
            out += "_x005F_";  // a literal "_xHHHH_" must not read back as an escape
            ++i;
            continue;
        }
        switch (cp) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                if (cp == 0xD) {
                    out += "&#13;";  // a raw CR would fold into the LF after it when read back
                } else if (!xmlAllows(cp)) {
                    if (cp <= 0xFFFF)
                        appendEscape(out, cp);
                    else
                        out += "\xEF\xBF\xBD";
                } else {
                    out.append(text, i, len);
                }
        }
        i += len;
    }
    return out;
}

std::string encodeAttribute(std::string_view text) {
    std::string out;
    for (char c : validUtf8(text)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            case '\t':
                out += "&#9;";
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20 || c < 0) out += c;
        }
    }
    return out;
}

bool needsSpacePreserve(std::string_view text) {
    if (text.empty()) return false;
    auto ws = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    return ws(text.front()) || ws(text.back()) || text.find('\n') != std::string_view::npos ||
           text.find("  ") != std::string_view::npos;
}

std::string_view localName(const char* qualifiedName) {
    std::string_view n(qualifiedName);
    size_t colon = n.find(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

std::string_view localName(const pugi::xml_node& node) { return localName(node.name()); }

std::string prefixOf(const pugi::xml_node& node) {
    std::string_view n(node.name());
    size_t colon = n.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(n.substr(0, colon + 1));
}

pugi::xml_node childByLocalName(const pugi::xml_node& parent, std::string_view name) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && localName(c) == name) return c;
    return {};
}

std::string prefixForNamespace(const pugi::xml_node& root, std::string_view uri) {
    for (pugi::xml_attribute a = root.first_attribute(); a; a = a.next_attribute()) {
        std::string_view n(a.name());
        if (n.substr(0, 6) == "xmlns:" && uri == a.value()) return std::string(n.substr(6));
    }
    return {};
}

pugi::xml_attribute attributeInNamespace(const pugi::xml_node& node, std::string_view name,
                                         std::string_view uri) {
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        std::string_view n(a.name());
        size_t colon = n.find(':');
        if (colon == std::string_view::npos || n.substr(colon + 1) != name) continue;
        std::string prefix(n.substr(0, colon));
        // The binding may sit on the element itself or on any ancestor.
        const std::string declaration = "xmlns:" + prefix;
        for (pugi::xml_node p = node; p; p = p.parent()) {
            bool declared = false;
            for (pugi::xml_attribute d = p.first_attribute(); d; d = d.next_attribute()) {
                if (declaration != d.name()) continue;
                declared = true;
                if (uri == d.value()) return a;
            }
            if (declared) break;
        }
    }
    return {};
}

namespace {

std::string parseFailure(pugi::xml_parse_status status) {
    switch (status) {
        case pugi::status_bad_pi:
            return "XML の処理命令が正しくありません";
        case pugi::status_bad_comment:
            return "XML のコメントが正しくありません";
        case pugi::status_bad_cdata:
            return "XML の CDATA 区間が正しくありません";
        case pugi::status_bad_doctype:
            return "XML の文書型宣言が正しくありません";
        case pugi::status_bad_pcdata:
            return "XML の文字データが正しくありません";
        case pugi::status_bad_start_element:
            return "XML の開始タグが正しくありません";
        case pugi::status_bad_attribute:
            return "XML の属性が正しくありません";
        case pugi::status_bad_end_element:
            return "XML の終了タグが正しくありません";
        case pugi::status_end_element_mismatch:
            return "XML の開始タグと終了タグが対応していません";
        case pugi::status_no_document_element:
            return "要素がありません";
        default:
            return "XML として読めません";
    }
}

}  // namespace

long long countElements(std::string_view xml) {
    long long n = 0;
    for (size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1))
        if (at + 1 < xml.size() && xml[at + 1] != '/' && xml[at + 1] != '!' && xml[at + 1] != '?')
            ++n;
    return n;
}

void parsePart(pugi::xml_document& doc, std::string_view data, std::string_view partName) {
    // Counted before the tree is built: each element costs a hundred bytes or so of memory.
    if (countElements(data) > kMaxXmlElementsPerPart)
        throw ReadError(ReadError::Kind::Unreadable, std::string(partName),
                        "XML の要素が " + std::to_string(kMaxXmlElementsPerPart / 10000) +
                            " 万個を超えています");
    unsigned flags = pugi::parse_minimal | pugi::parse_cdata | pugi::parse_comments |
                     pugi::parse_pi | pugi::parse_declaration | pugi::parse_doctype |
                     pugi::parse_ws_pcdata;
    pugi::xml_parse_result r =
        doc.load_buffer(data.data(), data.size(), flags, pugi::encoding_auto);
    if (r.status == pugi::status_out_of_memory)
        throw ReadError(ReadError::Kind::OutOfMemory, std::string(partName), "");
    if (!r || !doc.document_element())
        throw ReadError(
            ReadError::Kind::Damaged, std::string(partName),
            r ? std::string("要素がありません")
              : parseFailure(r.status) + " (" + std::to_string(r.offset + 1) + " バイト目)");
}

namespace {

// Values are kept raw; a raw value may hold a '"' that the source quoted with apostrophes.
// Walks without recursion: a hostile part may nest elements deeper than the stack allows.
void requoteAttributes(pugi::xml_node root) {
    pugi::xml_node n = root;
    while (n) {
        for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
            std::string_view v(a.value());
            if (v.find('"') == std::string_view::npos) continue;
            std::string fixed;
            for (char ch : v) fixed += ch == '"' ? std::string("&quot;") : std::string(1, ch);
            a.set_value(fixed.c_str());
        }
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && n != root && !n.next_sibling()) n = n.parent();
        if (!n || n == root) break;
        n = n.next_sibling();
    }
}

constexpr unsigned kPrintFlags =
    pugi::format_raw | pugi::format_no_declaration | pugi::format_no_escapes;

}  // namespace

std::string printDocument(pugi::xml_document& doc) {
    requoteAttributes(doc);
    StringWriter w;
    doc.save(w, "", kPrintFlags, pugi::encoding_utf8);
    return std::move(w.out);
}

std::string printNode(const pugi::xml_node& node) {
    requoteAttributes(node);
    StringWriter w;
    node.print(w, "", kPrintFlags, pugi::encoding_utf8);
    return std::move(w.out);
}

namespace {

std::string unescape(std::string_view raw, bool attribute) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size();) {
        char c = raw[i];
        if (c == '&') {
            size_t semi = raw.find(';', i);
            if (semi != std::string_view::npos && semi - i <= 10) {
                std::string_view ent = raw.substr(i + 1, semi - i - 1);
                bool ok = true;
                if (ent == "amp")
                    out += '&';
                else if (ent == "lt")
                    out += '<';
                else if (ent == "gt")
                    out += '>';
                else if (ent == "quot")
                    out += '"';
                else if (ent == "apos")
                    out += '\'';
                else if (ent.size() > 1 && ent[0] == '#') {
                    unsigned long cp = 0;
                    bool hex = ent[1] == 'x' || ent[1] == 'X';
                    std::string_view digits = ent.substr(hex ? 2 : 1);
                    ok = !digits.empty();
                    for (char d : digits) {
                        int v = hex ? hexValue(d) : (d >= '0' && d <= '9' ? d - '0' : -1);
                        if (v < 0 || cp > 0x10FFFF) {
                            ok = false;
                            break;
                        }
                        cp = cp * (hex ? 16 : 10) + static_cast<unsigned>(v);
                    }
                    if (ok && cp > 0 && cp <= 0x10FFFF)
                        appendUtf8(out, static_cast<unsigned>(cp));
                    else
                        ok = false;
                } else {
                    ok = false;
                }
                if (ok) {
                    i = semi + 1;
                    continue;
                }
            }
            out += c;
            ++i;
        } else if (c == '\r') {
            // Literal line ends read as LF; CR LF is one line end.
            out += attribute ? ' ' : '\n';
            i += (i + 1 < raw.size() && raw[i + 1] == '\n') ? 2 : 1;
        } else if (attribute && (c == '\n' || c == '\t')) {
            out += ' ';
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace

std::string xmlUnescape(std::string_view raw) { return unescape(raw, false); }
std::string xmlUnescapeAttribute(std::string_view raw) { return unescape(raw, true); }

std::string nodeText(const pugi::xml_node& node) {
    std::string out;
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_pcdata)
            out += xmlUnescape(c.value());
        else if (c.type() == pugi::node_cdata)
            out += c.value();
    }
    return out;
}

std::string attributeText(const pugi::xml_node& node, const char* name) {
    return xmlUnescapeAttribute(node.attribute(name).value());
}

void setAttribute(pugi::xml_node node, const char* name, std::string_view value) {
    pugi::xml_attribute a = node.attribute(name);
    if (!a) a = node.append_attribute(name);
    a.set_value(encodeAttribute(value).c_str());
}

}  // namespace tombra::sheet
