#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct zip;

namespace tombra::sheet {

// The zip container of a workbook. Parts are read on demand from the loaded bytes; a part
// that was not replaced is copied into the saved package as its original compressed bytes.
class ZipPackage {
  public:
    // Throws ReadError when the bytes are not a readable zip archive.
    explicit ZipPackage(std::string bytes);
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // Part names as stored, in their order in the package (added parts last).
    const std::vector<std::string>& partNames() const { return names_; }
    // The stored name of a part, matched without regard to case ("" when missing).
    std::string find(std::string_view name) const;
    bool contains(std::string_view name) const { return !find(name).empty(); }
    // Throws ReadError when the part is missing or damaged, or would inflate beyond what the
    // package's compressed size allows (see ReadLimits.h).
    std::string read(std::string_view name) const;
    void write(std::string_view name, std::string data);
    bool isReplaced(std::string_view name) const { return replaced_.count(find(name)) != 0; }

    // The whole package as it would be saved now. Throws WorkbookError.
    std::string save() const;

  private:
    std::unique_ptr<std::string> original_;  // kept at a fixed address: libzip reads from it
    zip* archive_ = nullptr;
    std::vector<std::string> names_;
    std::map<std::string, long long> originalIndex_;
    std::map<std::string, std::string> replaced_;
    // What reading has taken from the package so far, compressed and inflated.
    mutable std::uint64_t packedRead_ = 0, inflatedRead_ = 0;
};

}  // namespace tombra::sheet
