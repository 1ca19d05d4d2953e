#include "session/CommandGuard.h"

#include <new>
#include <regex>

#include "session/Session.h"
#include "sheet/WorkbookError.h"
#include "state/Table.h"

namespace tombra {

std::string plainCaption(const std::string& caption) {
    static const std::regex accelerator(R"(\(&.\)|&|\.\.\.$)");
    return std::regex_replace(caption, accelerator, "");
}

namespace {

// The reason in the user's words. The engine's and the tables' texts are written for the
// user and already say where (sheet, row, part of the package); anything else is a fault of
// the program, whose own text is passed on only as a detail.
std::string reason(const std::exception& failure) {
    if (dynamic_cast<const sheet::WorkbookError*>(&failure)) return failure.what();
    if (dynamic_cast<const TableIndexError*>(&failure))
        return std::string("ブックの番号が扱える範囲を超えています。\n詳細: ") + failure.what();
    if (dynamic_cast<const std::bad_alloc*>(&failure)) return "メモリが足りません。";
    return std::string("プログラムの誤りです。\n詳細: ") + failure.what();
}

}  // namespace

std::string failureMessage(const std::string& caption, const std::exception& failure) {
    return "「" + plainCaption(caption) + "」を中断しました。\n" + reason(failure);
}

namespace {

// What the workbooks noted while the command wrote (texts cut to fit a cell) goes to the log.
void logNotices(Session& session) {
    for (const std::string& notice : session.host.takeNotices()) session.log.append(notice);
}

// A command that drew says with which number, so that anyone holding the workbook as it was
// can draw it again and check it.
class LotteryNumber {
  public:
    explicit LotteryNumber(Session& session) : session_(session) { session.random.beginCommand(); }
    ~LotteryNumber() {
        if (const std::optional<std::uint32_t> number = session_.random.endCommand())
            session_.log.append("抽選番号: " + std::to_string(*number));
    }
    LotteryNumber(const LotteryNumber&) = delete;
    LotteryNumber& operator=(const LotteryNumber&) = delete;

  private:
    Session& session_;
};

}  // namespace

bool runGuarded(Session& session, const std::string& caption,
                const std::function<void(Session&)>& work) {
    try {
        {
            LotteryNumber lottery(session);
            work(session);
        }
        logNotices(session);
        return true;
    } catch (const std::exception& failure) {
        session.progress.hide();
        logNotices(session);
        session.tell(failureMessage(caption, failure));
        return false;
    }
}

bool runCommand(Session& session, const std::string& caption, Command command, UndoRole undo) {
    if (undo == UndoRole::Step) {
        try {
            session.history.before(session, caption);
        } catch (const std::exception& failure) {
            // The command still runs; only taking it back is lost, and said.
            session.log.append("「" + plainCaption(caption) + "」は元に戻せません。" +
                               reason(failure));
        }
    }
    const bool ended = runGuarded(session, caption, command);
    if (undo == UndoRole::Step) session.history.after(session);
    // Gone through or not: File > Open empties the state and the marks before it asks for the
    // file, so nothing before it holds any more.
    if (undo == UndoRole::Restart) {
        session.history.clear();
        session.edits.clear();
    }
    return ended;
}

}  // namespace tombra
