#pragma once

#include <atomic>
#include <cstdint>

namespace tombra::sheet {

// A number that grows with every change to any workbook in the program: a workbook's latest
// revision tells whether it changed since a moment, whichever sheet changed or came anew.
inline std::uint64_t nextRevision() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

}  // namespace tombra::sheet
