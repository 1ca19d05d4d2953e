#pragma once

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::adjust {

// "均等振分(&R)": every school's entries evened out over the halves, quarters and so on of
// the bracket, and in a plain tournament the seeds' first opponents spread over the
// schools, in passes until that spread is narrow. With block processing the blocks are
// evened out first.
void distributeEvenly(Session& session);

}  // namespace tombra::adjust
