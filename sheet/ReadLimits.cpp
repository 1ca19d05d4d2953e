#include "sheet/ReadLimits.h"

namespace tombra::sheet {

namespace {

std::string message(ReadError::Kind kind, const std::string& part, const std::string& reason,
                    const std::string& book) {
    const std::string named = book.empty() ? "ブック" : "ブック「" + book + "」";
    switch (kind) {
        case ReadError::Kind::NotAWorkbook:
            return (book.empty() ? std::string() : "「" + book + "」は") +
                   "ブック (.xlsx) として読めないファイルです: " + reason;
        case ReadError::Kind::Damaged:
            return named + "の部品 " + part + " が壊れています: " + reason;
        case ReadError::Kind::Missing:
            return named + "に必要な部品 " + part + " がありません";
        case ReadError::Kind::Unreadable:
            return named + "の部品 " + part + " は読み込めません: " + reason;
        case ReadError::Kind::OutOfMemory:
            return "メモリが足りないため、" + named + (part.empty() ? "" : "の部品 " + part + " ") +
                   "を読み込めません";
    }
    return named + "を読み込めません";
}

}  // namespace

ReadError::ReadError(Kind kind, std::string part, std::string reason, std::string book)
    : WorkbookError(message(kind, part, reason, book)),
      kind_(kind),
      part_(std::move(part)),
      reason_(std::move(reason)),
      book_(std::move(book)) {}

ReadError ReadError::inBook(const std::string& book) const {
    return ReadError(kind_, part_, reason_, book);
}

}  // namespace tombra::sheet
