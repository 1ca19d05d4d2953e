#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

namespace tombra::batch {

// The runner's record of what the program showed: one JSON object a line, UTF-8 as it is
// (no \u escapes), written as it happens.
class Transcript {
  public:
    explicit Transcript(std::ostream& out) : out_(out) {}
    void write(const nlohmann::ordered_json& line);

  private:
    std::ostream& out_;
};

}  // namespace tombra::batch
