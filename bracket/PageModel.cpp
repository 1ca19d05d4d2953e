#include "bracket/PageModel.h"

#include "state/Numbers.h"

namespace tombra::bracket {

namespace {
constexpr std::string_view kFooterOpen = "─ ";
constexpr std::string_view kFooterClose = " ─";
}  // namespace

PageModel::PageModel(int tableCount, int pageCount)
    : pages_(pageCount), perHalf_(pageCount > 0 ? tableCount / (2 * pageCount) : 0) {}

PageTables PageModel::page(int p) const {
    const int h = perHalf_;
    return {(2 * p - 2) * h + 1, (2 * p - 1) * h, (2 * p - 1) * h + 1, 2 * p * h};
}

std::string pageTitle(const std::string& title, int pageCount, int page) {
    if (pageCount < 2) return title;
    return title + "(No" + numberText(page) + ")";
}

std::string pageFooter(int page) {
    return std::string(kFooterOpen) + numberText(page) + std::string(kFooterClose);
}

std::optional<int> footerPage(std::string_view text) {
    if (!text.starts_with(kFooterOpen) || !text.ends_with(kFooterClose)) return std::nullopt;
    text.remove_prefix(kFooterOpen.size());
    text.remove_suffix(kFooterClose.size());
    if (text.empty() || text.size() > 4) return std::nullopt;
    int page = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        page = page * 10 + (c - '0');
    }
    return page;
}

}  // namespace tombra::bracket
