#pragma once

// How the tables of the draw are spread over the printed pages of a bracket sheet, and the
// page's title and footer texts.

#include <optional>
#include <string>
#include <string_view>

namespace tombra::bracket {

struct PageTables {
    int leftFirst, leftLast;  // an empty run has last < first
    int rightFirst, rightLast;
};

class PageModel {
  public:
    PageModel(int tableCount, int pageCount);

    int pageCount() const { return pages_; }
    // Tables per half-page, Int(T / 2P). Tables beyond 2 * P * H are not written.
    int tablesPerHalf() const { return perHalf_; }
    PageTables page(int p) const;  // p is 1-based

  private:
    int pages_;
    int perHalf_;
};

// title, or title & "(No" & p & ")" when there is more than one page.
std::string pageTitle(const std::string& title, int pageCount, int page);
// "─ p ─" under each page, centred in column N.
std::string pageFooter(int page);
// The page number of a footer text, nullopt for any other text.
std::optional<int> footerPage(std::string_view text);

}  // namespace tombra::bracket
