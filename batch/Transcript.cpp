#include "batch/Transcript.h"

namespace tombra::batch {

void Transcript::write(const nlohmann::ordered_json& line) {
    // Texts come from workbooks and file names too; a stray byte must not end the run.
    out_ << line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    // Whoever watches a long run sees each step as it happens.
    out_.flush();
}

}  // namespace tombra::batch
