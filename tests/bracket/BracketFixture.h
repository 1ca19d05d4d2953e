#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "session/Session.h"
#include "sheet/Workbook.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra::bracket::test {

// A session with an event drawn directly into the shared tables and a workbook holding the
// bracket sheet and "基礎Ｄ". Entry i (1-based, in bracket order) is school (i-1)/10 + 1,
// entry (i-1)%10 + 1, named "選手i" of "高校<school>".
struct BracketFixture : ::testing::Test {
    tombra::test::FakeShell shell;
    tombra::test::TempDir dir;
    Session session{shell, dir.path()};
    std::filesystem::path path = dir / "大会.xlsx";

    void SetUp() override;

    // Men's singles unless told otherwise; the bracket sheet is GenderName & EventCode.
    void event(const std::string& gender, const std::string& eventName, const std::string& code);
    // Tables of these sizes filled with entries 1, 2, 3... in table and slot order.
    void draw(const std::vector<int>& sizes);
    // Seed k is the entry at bracket position `position` (1-based, table and slot order).
    void seed(int k, int position);
    void writeWorkbook(const std::vector<std::string>& extraSheets = {});

    // Runs the command through its menu item, pages and numbering chosen in the dialogs.
    void build(int pageOption = 0, bool numbering = true);
    // The workbook as saved and read back.
    std::unique_ptr<sheet::Workbook> saved();

    static float codeOf(int i);
};

}  // namespace tombra::bracket::test
