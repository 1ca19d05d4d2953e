#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace tombra::batch::test {

using nlohmann::ordered_json;

// The transcript as parsed lines; a line that is not one JSON object fails the test.
inline std::vector<ordered_json> jsonLines(const std::string& text) {
    std::vector<ordered_json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        ordered_json json = ordered_json::parse(line, nullptr, false);
        EXPECT_TRUE(json.is_object()) << "not a JSON object: " << line;
        lines.push_back(json);
    }
    return lines;
}

inline std::vector<ordered_json> eventsOf(const std::vector<ordered_json>& lines,
                                          const std::string& event) {
    std::vector<ordered_json> out;
    for (const ordered_json& line : lines)
        if (line.value("event", "") == event) out.push_back(line);
    return out;
}

}  // namespace tombra::batch::test
