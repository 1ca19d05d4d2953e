#include "state/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tombra {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the blank at `pos`, or 0 when there is none.
std::size_t blankLength(std::string_view text, std::size_t pos) {
    const char c = text[pos];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') return 1;
    // U+3000 IDEOGRAPHIC SPACE, common in cells typed with a Japanese input method.
    if (text.substr(pos, 3) == "\xE3\x80\x80") return 3;
    return 0;
}

// Decimal exponent of the leading significant digit of "<intPart>.<fracPart>E<exponent>",
// used only to tell overflow from underflow when the parser reports the value out of range.
long long leadingDigitExponent(std::string_view intPart, std::string_view fracPart,
                               long long exponent) {
    const std::size_t firstNonZero = intPart.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos) {
        return exponent + static_cast<long long>(intPart.size() - firstNonZero) - 1;
    }
    const std::size_t zeros = fracPart.find_first_not_of('0');
    return exponent - static_cast<long long>(zeros) - 1;
}

template <typename Real>
std::string formatGeneral(Real v, int precision) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
    if (v == 0) return "0";  // also turns -0 into "0"
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, precision);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c == 'e') c = 'E';
    }
    return text;
}

long long saturate(double whole) {
    if (std::isnan(whole)) return 0;
    // 2^63 is exactly representable; every double below it converts without overflow.
    constexpr double limit = 9223372036854775808.0;
    if (whole >= limit) return std::numeric_limits<long long>::max();
    if (whole < -limit) return std::numeric_limits<long long>::min();
    return static_cast<long long>(whole);
}

}  // namespace

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty()) {
        const std::size_t n = blankLength(text, 0);
        if (n == 0) break;
        text.remove_prefix(n);
    }
    // A blank is one byte or the three of the ideographic space.
    for (bool cut = true; cut && !text.empty();) {
        cut = false;
        for (std::size_t n : {1u, 3u})
            if (text.size() >= n && blankLength(text, text.size() - n) == n) {
                text.remove_suffix(n);
                cut = true;
                break;
            }
    }
    return text;
}

double readNumber(std::string_view text) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t blank = blankLength(text, i);
        if (blank == 0) break;
        i += blank;
    }

    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    const std::size_t intStart = i;
    while (i < n && isDigit(text[i])) ++i;
    const std::string_view intPart = text.substr(intStart, i - intStart);
    std::string_view fracPart;
    if (i < n && text[i] == '.') {
        const std::size_t fracStart = ++i;
        while (i < n && isDigit(text[i])) ++i;
        fracPart = text.substr(fracStart, i - fracStart);
    }
    if (intPart.empty() && fracPart.empty()) return 0.0;

    // The parser below wants a plain "digits.digitsE[-]digits" text.
    std::string normalized;
    normalized.reserve(intPart.size() + fracPart.size() + 24);
    normalized.append(intPart.empty() ? std::string_view("0") : intPart);
    normalized.push_back('.');
    normalized.append(fracPart);

    long long exponent = 0;
    if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < n && isDigit(text[j])) {
            for (; j < n && isDigit(text[j]); ++j) {
                // Far beyond any double's range; stop growing so the count cannot overflow.
                if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
            }
            if (negativeExponent) exponent = -exponent;
        }
    }
    normalized.push_back('e');
    normalized.append(std::to_string(exponent));

    double value = 0.0;
    const auto result = std::from_chars(normalized.data(), normalized.data() + normalized.size(),
                                        value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = leadingDigitExponent(intPart, fracPart, exponent) > 0
                    ? std::numeric_limits<double>::max()
                    : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    if (value == 0.0) return 0.0;  // no negative zero
    return negative ? -value : value;
}

double roundHalfEven(double v) {
    if (!std::isfinite(v)) return v;
    const double whole = std::trunc(v);
    // Exact: |whole| <= |v| < 2 |whole| when whole is not 0, so no rounding occurs here.
    const double fraction = std::fabs(v - whole);
    const double away = whole + (v < 0 ? -1.0 : 1.0);
    if (fraction < 0.5) return whole;
    if (fraction > 0.5) return away;
    return std::fmod(whole, 2.0) == 0.0 ? whole : away;
}

long long roundToInteger(double v) { return saturate(roundHalfEven(v)); }

long long truncateToInteger(double v) { return saturate(std::trunc(v)); }

std::string numberText(double v) { return formatGeneral(v, 15); }

std::string numberText(float v) { return formatGeneral(v, 7); }

std::string numberText(long long v) { return std::to_string(v); }

std::string strText(double v) { return (v < 0 ? "" : " ") + numberText(v); }

std::string strText(float v) { return (v < 0 ? "" : " ") + numberText(v); }

std::string strText(long long v) { return (v < 0 ? "" : " ") + numberText(v); }

}  // namespace tombra
