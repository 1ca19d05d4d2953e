#include "swap/ExchangeList.h"

#include <map>

#include "intake/EntryReader.h"
#include "session/Session.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"

namespace tombra::swap {

namespace {

std::string atRow(int row) {
    return std::string("「") + kExchangeSheet + "」シートの " + numberText(row) + " 行目: ";
}

}  // namespace

ExchangeList readExchangeList(Session& session, const sheet::Worksheet& list,
                              const std::string& caption) {
    ExchangeList out;
    session.progress.start(caption, 0, kMostExchanges);
    for (int r = 1; r <= kMostExchanges; ++r) {
        session.progress.setValue(r);
        const sheet::CellValue from = list.value(r, 1);
        if (from.isEmpty()) break;
        const sheet::CellValue to = list.value(r, 2);
        const std::optional<long long> a = intake::wholeNumberIn(from);
        const std::optional<long long> b = intake::wholeNumberIn(to);
        auto bad = [&](const char* column, const sheet::CellValue& v) {
            return atRow(r) + column + "列「" + v.asText() + "」は位置番号ではありません";
        };
        if (!a || *a < 1) {
            out.problem = bad("A", from);
        } else if (to.isEmpty() || !b || *b < 1) {
            out.problem = bad("B", to);
        } else {
            out.exchanges.push_back({r, static_cast<int>(*a), static_cast<int>(*b)});
            continue;
        }
        break;
    }
    out.overLimit = !out.problem && out.exchanges.size() == kMostExchanges &&
                    !list.value(kMostExchanges + 1, 1).isEmpty();
    session.progress.hide();
    return out;
}

std::optional<std::string> findUnworkableExchange(const std::vector<Exchange>& exchanges,
                                                  const std::function<bool(int)>& positionExists,
                                                  const std::string& sheetName) {
    std::map<int, int> filledBy;  // destination -> row
    for (const Exchange& e : exchanges) {
        for (int position : {e.from, e.to})
            if (!positionExists(position))
                return atRow(e.row) + "位置番号 " + numberText(position) + " はシート「" +
                       sheetName + "」にありません";
        if (auto [it, fresh] = filledBy.emplace(e.to, e.row); !fresh)
            return atRow(e.row) + "移し先 " + numberText(e.to) + " へは " + numberText(it->second) +
                   " 行目でも移しています";
    }
    return std::nullopt;
}

std::optional<int> positionNumberIn(const sheet::CellValue& value) {
    if (value.isText()) {
        const std::string text = value.asText();
        const std::string_view digits = trimBlanks(text);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
    } else if (!value.isNumber()) {
        return std::nullopt;
    }
    const std::optional<long long> n = intake::wholeNumberIn(value);
    if (!n || *n < 1 || *n > 1'000'000) return std::nullopt;
    return static_cast<int>(*n);
}

std::string nothingExchanged(const std::string& problem) {
    return problem + "\n何も入れ替えていません";
}

}  // namespace tombra::swap
