#include "sheet/SpreadsheetHost.h"

#include "sheet/Constants.h"

namespace tombra::sheet {

bool SpreadsheetHost::announceRunningHost(std::string_view windowClass, int message) {
    (void)message;
    return windowClass == kWindowClass && running_;
}

bool SpreadsheetHost::start() {
    running_ = true;
    return true;
}

namespace {
std::filesystem::path keyOf(const std::filesystem::path& path) {
    return std::filesystem::weakly_canonical(std::filesystem::absolute(path));
}
}  // namespace

Workbook* SpreadsheetHost::held(const std::filesystem::path& path) const {
    auto it = workbooks_.find(keyOf(path));
    return it == workbooks_.end() ? nullptr : it->second.get();
}

Workbook& SpreadsheetHost::attach(const std::filesystem::path& path) {
    std::filesystem::path key = keyOf(path);
    auto it = workbooks_.find(key);
    if (it == workbooks_.end()) {
        it = workbooks_.emplace(key, Workbook::open(key)).first;
    } else if (it->second->diskState() == Workbook::DiskState::Changed &&
               !it->second->hasUnsavedChanges()) {
        // A clean copy follows the file; a deleted file keeps its workbook, to be saved anew.
        it->second->reload();
    }
    running_ = true;
    active_ = it->second.get();
    setVisible(false);
    workbookWindowVisible_ = true;
    return *active_;
}

std::vector<Workbook*> SpreadsheetHost::workbooks() const {
    std::vector<Workbook*> out;
    for (const auto& [path, workbook] : workbooks_) out.push_back(workbook.get());
    return out;
}

void SpreadsheetHost::close(Workbook& workbook) {
    for (auto it = workbooks_.begin(); it != workbooks_.end(); ++it) {
        if (it->second.get() != &workbook) continue;
        if (observer_) observer_->workbookClosing(workbook);
        if (active_ == &workbook) active_ = nullptr;
        workbooks_.erase(it);
        return;
    }
}

void SpreadsheetHost::saveAs(Workbook& workbook, const std::filesystem::path& path) {
    workbook.saveAs(path);
    for (auto it = workbooks_.begin(); it != workbooks_.end(); ++it) {
        if (it->second.get() != &workbook) continue;
        std::unique_ptr<Workbook> moved = std::move(it->second);
        workbooks_.erase(it);
        const std::filesystem::path key = keyOf(workbook.path());
        if (Workbook* replaced = held(key)) close(*replaced);
        workbooks_.emplace(key, std::move(moved));
        return;
    }
}

void SpreadsheetHost::setVisible(bool visible) {
    bool changed = visible != visible_;
    visible_ = visible;
    if (changed && observer_) observer_->visibilityChanged(visible);
}

void SpreadsheetHost::setWindowState(int state) {
    windowState_ = state;
    if (observer_) observer_->windowStateChanged(state);
}

void SpreadsheetHost::quit() {
    active_ = nullptr;
    if (observer_)
        for (const auto& [path, workbook] : workbooks_) observer_->workbookClosing(*workbook);
    workbooks_.clear();
    running_ = false;
    setVisible(false);
    workbookWindowVisible_ = false;
}

void SpreadsheetHost::printSheet(Workbook& workbook, Worksheet& sheet) {
    if (observer_) observer_->printRequested(workbook, sheet);
}

void SpreadsheetHost::previewSheet(Workbook& workbook, Worksheet& sheet) {
    if (observer_) observer_->previewRequested(workbook, sheet);
}

std::vector<std::string> SpreadsheetHost::takeNotices() {
    std::vector<std::string> notices;
    for (auto& [path, workbook] : workbooks_)
        for (std::string& n : workbook->takeNotices()) notices.push_back(std::move(n));
    return notices;
}

}  // namespace tombra::sheet
