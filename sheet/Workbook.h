#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/Worksheet.h"

namespace tombra::sheet {

// A workbook package held in memory: its worksheets by name, and saving. Parts the program
// does not change are written back byte for byte; a sheet no command touched is not
// re-serialised. All failures throw WorkbookError with a message for the user.
class Workbook {
  public:
    static std::unique_ptr<Workbook> open(const std::filesystem::path& path);
    static std::unique_ptr<Workbook> fromBytes(std::string bytes,
                                               const std::filesystem::path& path = {});
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    const std::filesystem::path& path() const;
    // Names of all sheets in tab order (chart sheets included).
    std::vector<std::string> sheetNames() const;
    // A worksheet by name (exact, else ignoring ASCII case); nullptr when there is none.
    Worksheet* findSheet(std::string_view name);
    Worksheet& sheet(std::string_view name);
    // A new empty worksheet after the last sheet.
    Worksheet& addSheet(std::string_view name);
    void activate(std::string_view name);
    // A sheet the spreadsheet keeps out of sight (state "hidden"): the program's own working
    // copies. Showing a hidden sheet again is the user's business in their spreadsheet.
    bool sheetHidden(std::string_view name) const;
    void hideSheet(std::string_view name);
    std::string activeSheetName() const;

    bool hasUnsavedChanges() const;
    // Grows with every change of the workbook (a cell, a sheet added, a reload): equal
    // revisions mean nothing changed in between.
    std::uint64_t revision() const;
    // The package as it would be saved now.
    std::string serialize();
    // Writes the workbook to its file; a deleted file is written anew. A file that someone
    // else changed since it was loaded or saved is not overwritten (FileChangedOnDisk) unless
    // the user chose to.
    void save(bool overwriteChangedFile = false);
    void saveAs(const std::filesystem::path& path);

    // The file on disk against the one loaded or last saved: size, modification time and
    // file identity, and the content where a write could hide within one clock tick.
    enum class DiskState { Unchanged, Changed, Missing };
    DiskState diskState() const;
    void reload();

    // The workbook's content at one moment, to be put back later. Copies share the bytes.
    struct Image {
        std::shared_ptr<const std::string> bytes;  // the package as it would be saved then
        std::uint64_t revision = 0;
        bool unsaved = false;
        std::uint64_t original = 0;  // the reading or saving of the file it was compared with
    };
    // The content now. An earlier image of this workbook lends its bytes while the revision
    // has not moved since, so an unchanged workbook is not serialised again.
    Image image(const Image* earlier = nullptr);
    // Puts the image's content back into this same object, so that whoever holds the workbook
    // keeps it; its sheets are read anew, so a Worksheet* taken before must be looked up
    // again (as after reload()). The path and the file it is compared with stay: it counts as
    // saved only when the image was saved and the file has not been saved over since.
    void restore(const Image& image);

    // What the sheets had to say about writes since the last call (texts cut to fit a cell).
    std::vector<std::string> takeNotices();

  private:
    struct Impl;
    explicit Workbook(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace tombra::sheet
