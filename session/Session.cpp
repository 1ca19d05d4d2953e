#include "session/Session.h"

#include "sheet/WorkbookError.h"

namespace tombra {

// The embedded host tells the shell when the workbook should show and what to print.
class Session::HostBridge : public sheet::HostObserver {
  public:
    explicit HostBridge(Session& session) : session_(session) {}
    void visibilityChanged(bool visible) override {
        session_.shell.showWorkbook(session_.host.activeWorkbook(), visible);
    }
    void printRequested(sheet::Workbook& wb, sheet::Worksheet& ws) override {
        session_.shell.printSheet(wb, ws);
    }
    void previewRequested(sheet::Workbook& wb, sheet::Worksheet& ws) override {
        session_.shell.previewSheet(wb, ws);
    }
    void workbookClosing(sheet::Workbook& wb) override {
        session_.history.forget(wb);
        session_.shell.forgetWorkbook(wb);
    }

  private:
    Session& session_;
};

Session::Session(ui::Shell& s, std::filesystem::path folder)
    : shell(s),
      marks(s),
      log(s),
      progress(s),
      programFolder(std::move(folder)),
      bridge_(std::make_unique<HostBridge>(*this)) {
    host.setObserver(bridge_.get());
}

Session::~Session() { host.setObserver(nullptr); }

sheet::Workbook* Session::attachWorkbook() {
    if (state.WorkbookPath.empty()) return nullptr;
    try {
        return &host.attach(state.WorkbookPath);
    } catch (const sheet::WorkbookError&) {
        return nullptr;
    }
}

sheet::Workbook* Session::workbookOrTell() {
    sheet::Workbook* workbook = attachWorkbook();
    if (!workbook) tell("ワークブックが開かれていません。ファイルを開いてから実行して下さい");
    return workbook;
}

}  // namespace tombra
