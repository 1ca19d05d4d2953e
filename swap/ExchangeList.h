#pragma once

// The list of exchanges the office types into the sheet "入替": a pair of position numbers
// a row, from row 1 on. A row moves the player standing at the first number into the place of
// the second, so two players change places by two rows, (3, 7) and (7, 3).

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tombra {
class Session;
}
namespace tombra::sheet {
class CellValue;
class Worksheet;
}  // namespace tombra::sheet

namespace tombra::swap {

inline constexpr const char* kExchangeSheet = "入替";
inline constexpr int kMostExchanges = 100;

struct Exchange {
    int row = 0;  // on "入替", for messages
    int from = 0, to = 0;
};

struct ExchangeList {
    std::vector<Exchange> exchanges;
    std::optional<std::string> problem;  // a row that is no pair of position numbers
    bool overLimit = false;              // column A of the row after the last one read is filled
};

// Rows 1..100 up to the first empty column A, the progress shown under `caption`.
ExchangeList readExchangeList(Session& session, const sheet::Worksheet& list,
                              const std::string& caption);

// The first row naming a position the sheet does not have, or a destination an earlier row
// already fills (which of the two players would stand there would depend on the order of
// writing); nullopt when every row can be carried out.
std::optional<std::string> findUnworkableExchange(const std::vector<Exchange>& exchanges,
                                                  const std::function<bool(int)>& positionExists,
                                                  const std::string& sheetName);

// The position number a cell of a sheet's number column holds: a whole number from 1, typed
// as a number or as digits alone.
std::optional<int> positionNumberIn(const sheet::CellValue& value);

// "\n何も入れ替えていません" after a problem: the office should know the sheet is untouched.
std::string nothingExchanged(const std::string& problem);

}  // namespace tombra::swap
