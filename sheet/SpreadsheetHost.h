#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/Workbook.h"

namespace tombra::sheet {

// Whoever shows the workbook and prints (the window, or the batch runner) listens here.
class HostObserver {
  public:
    virtual ~HostObserver() = default;
    virtual void visibilityChanged(bool /*visible*/) {}
    virtual void windowStateChanged(int /*xlWindowState*/) {}
    virtual void printRequested(Workbook& /*workbook*/, Worksheet& /*sheet*/) {}
    virtual void previewRequested(Workbook& /*workbook*/, Worksheet& /*sheet*/) {}
    // The workbook is about to be let go: nothing may keep it.
    virtual void workbookClosing(Workbook& /*workbook*/) {}
};

// The spreadsheet host the commands drive. Ours is embedded: "starting" it cannot fail, and it
// keeps every workbook it attached to open for the life of the program, so attaching again by
// path returns the same workbook with its unsaved changes.
class SpreadsheetHost {
  public:
    static constexpr std::string_view kWindowClass = "XLMAIN";
    static constexpr int kRegisterMessage = 1024 + 18;

    // Makes a running host known so that attaching finds it. The embedded host is always the
    // one in this process, so this only reports whether it is running.
    bool announceRunningHost(std::string_view windowClass = kWindowClass,
                             int message = kRegisterMessage);
    // Starts the host; returns false on failure (the embedded host always starts).
    bool start();
    bool running() const { return running_; }

    // Attaches to the workbook at the path, opening it on first use. When the file changed on
    // disk since it was loaded and memory holds no unsaved change, it is read again; when it
    // was deleted, the workbook stays as it is in memory. The host's
    // window then turns invisible and the workbook's window visible. Throws WorkbookError.
    Workbook& attach(const std::filesystem::path& path);
    Workbook* activeWorkbook() { return active_; }
    // The workbook held for that path, nullptr when none is (nothing is opened).
    Workbook* held(const std::filesystem::path& path) const;
    // Every workbook held, in the order of their paths.
    std::vector<Workbook*> workbooks() const;
    // Lets one workbook go, with any unsaved change in it.
    void close(Workbook& workbook);

    void setVisible(bool visible);
    bool visible() const { return visible_; }
    void setWindowState(int xlWindowState);
    int windowState() const { return windowState_; }
    bool workbookWindowVisible() const { return workbookWindowVisible_; }
    // Ends the host: every workbook is let go, unsaved changes with it.
    void quit();

    void save(Workbook& workbook, bool overwriteChangedFile = false) {
        workbook.save(overwriteChangedFile);
    }
    // The workbook is held under its new path from then on; one held there before, whose
    // file it replaced, is let go.
    void saveAs(Workbook& workbook, const std::filesystem::path& path);

    // Forwarded to the shell that shows and prints sheets; nothing happens without one.
    void printSheet(Workbook& workbook, Worksheet& sheet);
    void previewSheet(Workbook& workbook, Worksheet& sheet);

    void setObserver(HostObserver* observer) { observer_ = observer; }

    // The notices of every open workbook since the last call (Workbook::takeNotices).
    std::vector<std::string> takeNotices();

  private:
    std::map<std::filesystem::path, std::unique_ptr<Workbook>> workbooks_;
    Workbook* active_ = nullptr;
    HostObserver* observer_ = nullptr;
    bool running_ = false;
    bool visible_ = false;
    bool workbookWindowVisible_ = false;
    int windowState_ = -4143;  // normal
};

}  // namespace tombra::sheet
