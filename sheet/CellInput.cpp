#include "sheet/CellInput.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

namespace tombra::sheet {

std::optional<std::string> halfWidth(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (c != 0xE3 && c != 0xEF) return std::nullopt;
        if (i + 2 >= text.size()) return std::nullopt;
        const unsigned code = ((c & 0x0F) << 12) |
                              ((static_cast<unsigned char>(text[i + 1]) & 0x3F) << 6) |
                              (static_cast<unsigned char>(text[i + 2]) & 0x3F);
        if (code == 0x3000)
            out += ' ';
        else if (code >= 0xFF01 && code <= 0xFF5E)
            out += static_cast<char>(code - 0xFF01 + 0x21);
        else
            return std::nullopt;
        i += 3;
    }
    return out;
}

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// Digits with thousands separators in groups of three ("1,234"), or plain digits.
bool validGrouping(std::string_view integral) {
    size_t comma = integral.find(',');
    if (comma == std::string_view::npos) return true;
    if (comma == 0 || comma > 3) return false;
    for (; comma != std::string_view::npos; comma = integral.find(',', comma + 1)) {
        const size_t next = std::min(integral.find(',', comma + 1), integral.size());
        if (next - comma != 4) return false;
    }
    return true;
}

std::optional<double> numberIn(std::string_view typed) {
    const std::optional<std::string> half = halfWidth(typed);
    if (!half) return std::nullopt;
    std::string_view s = trimmed(*half);
    bool percent = false;
    if (!s.empty() && s.back() == '%') {
        percent = true;
        s.remove_suffix(1);
    }
    if (s.empty()) return std::nullopt;
    std::string plain;
    size_t i = 0;
    if (s[0] == '+' || s[0] == '-') plain += s[i++];
    const size_t integralStart = i;
    while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == ',')) ++i;
    const std::string_view integral = s.substr(integralStart, i - integralStart);
    if (!validGrouping(integral)) return std::nullopt;
    for (char c : integral)
        if (c != ',') plain += c;
    bool digits = !integral.empty();
    if (i < s.size() && s[i] == '.') {
        plain += s[i++];
        const size_t fraction = i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) plain += s[i++];
        digits |= i > fraction;
    }
    if (!digits) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        plain += s[i++];
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
        const size_t exponent = i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) plain += s[i++];
        if (i == exponent) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
    if (plain[0] == '+') plain.erase(0, 1);
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return percent ? value / 100 : value;
}

}  // namespace

CellValue typedValue(std::string_view typed) {
    if (typed.empty()) return {};
    if (typed.front() == '\'') return CellValue::text(std::string(typed.substr(1)));
    if (const std::optional<double> n = numberIn(typed)) return CellValue::number(*n == 0 ? 0 : *n);
    return CellValue::text(std::string(typed));
}

std::string typingText(const CellValue& value) {
    std::string text = value.asText();
    if (value.kind() == CellValue::Kind::Text &&
        (numberIn(text) || (!text.empty() && text[0] == '\'')))
        return "'" + text;
    return text;
}

}  // namespace tombra::sheet
