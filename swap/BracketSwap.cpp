#include "swap/BracketSwap.h"

#include <algorithm>
#include <map>

#include "session/Session.h"
#include "sheet/CellValue.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"

namespace tombra::swap {

namespace {

struct Place {
    int row = 0;
    const HalfColumns* half = nullptr;
};

struct Player {
    sheet::CellValue name, affiliation;
};

// Every position number of both halves, where it stands. The whole used height is read: a
// half may run on far below the other, past any gap in one column.
std::map<int, std::vector<Place>> positionsOn(Session& session, const sheet::Worksheet& ws,
                                              const BracketSwapLayout& layout) {
    std::map<int, std::vector<Place>> places;
    const std::optional<sheet::Area> used = ws.usedArea();
    if (!used) return places;
    session.progress.start("交換DATA取得中２", 0, 1000);
    for (int r = 1; r <= used->bottom; ++r) {
        session.progress.setValue(std::min(r, 1000));
        for (const HalfColumns* half : {&layout.left, &layout.right})
            if (const std::optional<int> n = positionNumberIn(ws.value(r, half->number)))
                places[*n].push_back({r, half});
    }
    session.progress.hide();
    return places;
}

Player playerAt(const sheet::Worksheet& ws, const Place& at) {
    Player p{ws.value(at.row, at.half->name), {}};
    if (at.half->affiliation) p.affiliation = ws.value(at.row, at.half->affiliation);
    return p;
}

void put(sheet::Worksheet& ws, const Place& at, const Player& p) {
    ws.setValue(at.row, at.half->name, p.name);
    if (at.half->affiliation) ws.setValue(at.row, at.half->affiliation, p.affiliation);
}

}  // namespace

BracketSwapLayout bracketSwapLayout(int rightNumberColumn, bool twoFields) {
    if (twoFields) return {{2, 3, 5}, {rightNumberColumn, 22, 24}};
    return {{2, 3, 0}, {rightNumberColumn, 19, 0}};
}

std::optional<std::string> swapBracketPositions(Session& session, sheet::Worksheet& ws,
                                                const std::vector<Exchange>& exchanges,
                                                const BracketSwapLayout& layout) {
    const std::map<int, std::vector<Place>> places = positionsOn(session, ws, layout);
    auto exists = [&places](int n) { return places.count(n) > 0; };
    if (auto problem = findUnworkableExchange(exchanges, exists, ws.name())) return problem;
    for (const Exchange& e : exchanges)
        for (int n : {e.from, e.to})
            if (places.at(n).size() > 1)
                return "位置番号 " + numberText(n) + " がシート「" + ws.name() + "」に " +
                       numberText(static_cast<long long>(places.at(n).size())) +
                       " か所あります。どれを入れ替えるか決められません";

    std::vector<Player> moving;
    for (const Exchange& e : exchanges) moving.push_back(playerAt(ws, places.at(e.from).front()));

    session.progress.start("交換実行中", 0, static_cast<int>(exchanges.size()));
    for (size_t i = 0; i < exchanges.size(); ++i) {
        session.progress.setValue(static_cast<int>(i + 1));
        const Exchange& e = exchanges[i];
        put(ws, places.at(e.to).front(), moving[i]);
        std::string who = moving[i].name.asText();
        if (!moving[i].affiliation.isEmpty()) who += "(" + moving[i].affiliation.asText() + ")";
        session.log.append(numberText(e.from) + " → " + numberText(e.to) + "：" + who);
    }
    session.progress.hide();
    return std::nullopt;
}

}  // namespace tombra::swap
