#pragma once

// Entry codes: one single-precision value standing for an entry, school + entry / 100
// (school 12, entry 3 is 12.03; 0 is no entry, -1 an open bracket position).

namespace tombra {

struct DecodedEntry {
    int school;
    int entry;

    friend bool operator==(const DecodedEntry&, const DecodedEntry&) = default;
};

// school + entry / 100, computed in double and stored as float.
float encodeEntry(int school, int entry);

// school = whole part (toward zero); entry = (code - school) x 100, nearest, ties to even.
// The code holds entry numbers, not digits: 12.1 is school 12, entry 10. Never throws;
// non-finite or huge codes give saturated, meaningless numbers that the bounds-checked
// tables then refuse.
DecodedEntry decodeEntry(float code);

}  // namespace tombra
