#include "intake/SurnameExtraction.h"

#include <cstddef>
#include <string_view>

namespace tombra::intake {

namespace {

constexpr std::size_t kSearchedCharacters = 5;
constexpr std::string_view kPairSeparator = "・";

// The names are compared character by character, and a Japanese character is several bytes.
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80    ? 1
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC0 ? 2
                                            : 1;
        if (i + length > text.size()) length = text.size() - i;
        out.emplace_back(text.substr(i, length));
        i += length;
    }
    return out;
}

bool isBlank(const std::string& c) { return c == " " || c == "　"; }

std::string joined(const std::vector<std::string>& chars, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count && i < chars.size(); ++i) out += chars[i];
    return out;
}

}  // namespace

void extractSurnames(std::vector<std::string>& names) {
    std::vector<std::vector<std::string>> chars;
    chars.reserve(names.size());
    for (const std::string& name : names) chars.push_back(characters(name));
    std::vector<bool> shared(names.size(), false);

    for (std::size_t b = 0; b < chars.size(); ++b) {
        for (std::size_t c = b + 1; c < chars.size(); ++c) {
            for (std::size_t k = 0; k < kSearchedCharacters; ++k) {
                const bool bHas = k < chars[b].size(), cHas = k < chars[c].size();
                if (!bHas || !cHas) break;
                // A blank on both sides ends equal surnames, whichever width each blank is.
                if (isBlank(chars[b][k]) && isBlank(chars[c][k])) {
                    shared[b] = shared[c] = true;
                    chars[b].resize(std::min(chars[b].size(), k + 2));
                    chars[c].resize(std::min(chars[c].size(), k + 2));
                    break;
                }
                if (chars[b][k] != chars[c][k]) break;
            }
        }
    }

    for (std::size_t b = 0; b < chars.size(); ++b) {
        std::size_t blank = 0;
        while (blank < kSearchedCharacters && blank < chars[b].size() && !isBlank(chars[b][blank]))
            ++blank;
        if (blank >= kSearchedCharacters || blank >= chars[b].size())
            continue;  // no blank: as it is
        std::string name = joined(chars[b], blank);
        if (shared[b]) {
            name += "(";
            if (blank + 1 < chars[b].size()) name += chars[b][blank + 1];
            name += ")";
        }
        names[b] = std::move(name);
    }
}

void extractPairSurnames(std::vector<std::string>& pairs) {
    struct Split {
        std::size_t at = std::string::npos;
        std::string_view separator;
    };
    std::vector<Split> splits;
    std::vector<std::string> halves;
    for (const std::string& pair : pairs) {
        Split split;
        // A pair is written "A・B", or "A" and "B" on two lines when the names are to wrap.
        if (std::size_t dot = pair.find(kPairSeparator); dot != std::string::npos)
            split = {dot, kPairSeparator};
        else if (std::size_t lf = pair.find('\n'); lf != std::string::npos)
            split = {lf, "\n"};
        splits.push_back(split);
        if (split.at == std::string::npos) {
            halves.push_back(pair);
        } else {
            halves.push_back(pair.substr(0, split.at));
            halves.push_back(pair.substr(split.at + split.separator.size()));
        }
    }
    extractSurnames(halves);
    std::size_t h = 0;
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        if (splits[p].at == std::string::npos) {
            pairs[p] = halves[h++];
        } else {
            pairs[p] = halves[h] + std::string(splits[p].separator) + halves[h + 1];
            h += 2;
        }
    }
}

}  // namespace tombra::intake
