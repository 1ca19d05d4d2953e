#pragma once

// What reading one workbook may cost at most. An organiser's workbook is a few hundred
// kilobytes holding some thousands of cells; every figure here is far beyond that, so only a
// damaged file, or one made to exhaust the machine, ever meets one.

#include <cstdint>
#include <string>

#include "sheet/WorkbookError.h"

namespace tombra::sheet {

// The file itself, checked before a byte of it is read; the largest workbooks of a tournament
// are a few megabytes.
inline constexpr std::uint64_t kMaxWorkbookFileBytes = 200ull << 20;

// Inflating parts: the first few megabytes of a package are free, beyond them all that was read
// may be at most this many times its compressed size. Office documents shrink 5 to 20 times; a
// hundredfold is the floor the well-kept office-file libraries keep too. A part that would
// break it is refused before it is inflated.
inline constexpr std::uint64_t kFreeInflateBytes = 4ull << 20;
inline constexpr std::uint64_t kMaxInflateRatio = 100;
// No part may inflate beyond this, however large its compressed form.
inline constexpr std::uint64_t kMaxPartBytes = 512ull << 20;

// Elements of one part held as a document tree, at about a hundred bytes each, and cells of one
// sheet, at about a hundred and sixty: a bracket sheet holds tens of thousands.
inline constexpr long long kMaxXmlElementsPerPart = 4'000'000;
inline constexpr long long kMaxCellsPerSheet = 2'000'000;

// A package, or one of its parts, that cannot be read. The package knows its parts but not
// the file it came from; the workbook names the file before the message reaches the user.
class ReadError : public WorkbookError {
  public:
    enum class Kind {
        NotAWorkbook,  // the package as a whole; `part` is empty
        Damaged,
        Unreadable,  // sound perhaps, but beyond the limits or of a kind not supported
        Missing,
        OutOfMemory,  // `part` may be empty
    };

    ReadError(Kind kind, std::string part, std::string reason, std::string book = {});

    Kind kind() const { return kind_; }
    const std::string& part() const { return part_; }
    const std::string& reason() const { return reason_; }
    const std::string& book() const { return book_; }
    // The same failure told with the name of the file it was read from.
    ReadError inBook(const std::string& book) const;

  private:
    Kind kind_;
    std::string part_, reason_, book_;
};

}  // namespace tombra::sheet
