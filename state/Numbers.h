#pragma once

// Number conventions shared by every command: reading a number from the start of a text,
// rounding to integers, and writing numbers into texts. None of these depend on the C locale
// (the GUI may switch it), and none of them throw.

#include <concepts>
#include <string>
#include <string_view>

namespace tombra {

// The number at the start of `text`: leading blanks (space, tab, CR, LF, ideographic space)
// are skipped, then an optional sign, digits with an optional decimal point and fraction, and
// an optional exponent introduced by E or D (taken only when digits follow). Returns 0 when
// the text does not start with a number. Magnitudes beyond the double range give the largest
// finite double of that sign, so callers never see an infinity.
double readNumber(std::string_view text);

// The text without the blanks readNumber skips, at either end.
std::string_view trimBlanks(std::string_view text);

// Nearest integer, ties to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Independent of the
// floating-point rounding mode. NaN and infinities are returned unchanged.
double roundHalfEven(double v);

// roundHalfEven / truncation toward zero as an integer. Values outside the range of
// long long saturate at its limits; NaN gives 0.
long long roundToInteger(double v);
long long truncateToInteger(double v);

// A number as it appears when concatenated into a text: no leading blank, integers without
// a decimal point, otherwise the shortest form with at most 15 (double) or 7 (float)
// significant digits. Magnitudes from 1E+15 (1E+07 for float) or below 1E-04 use an exponent
// written like "1E+20" or "1.5E-07".
std::string numberText(double v);
std::string numberText(float v);
std::string numberText(long long v);

// Integer arguments would otherwise be ambiguous between the float and double overloads.
template <std::integral I>
std::string numberText(I v) {
    return numberText(static_cast<long long>(v));
}

// Like numberText, with a blank in front of a non-negative number ("Str" form: " 3", "-3").
std::string strText(double v);
std::string strText(float v);
std::string strText(long long v);

template <std::integral I>
std::string strText(I v) {
    return strText(static_cast<long long>(v));
}

}  // namespace tombra
