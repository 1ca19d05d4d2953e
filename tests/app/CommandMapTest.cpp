#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/CommandMap.h"
#include "session/CommandIds.h"

namespace tombra::app {
namespace {

std::vector<std::string> captions(const std::vector<MenuItem>& items) {
    std::vector<std::string> out;
    for (const MenuItem& m : items) out.push_back(m.caption);
    return out;
}

TEST(CommandMap, TopLevelMenusInOrder) {
    EXPECT_EQ(
        captions(menuBar()),
        (std::vector<std::string>{"ﾌｧｲﾙ(&F)", "投入(&T)", "調整(&C)", "印刷(&P)", "参加一覧(&S)",
                                  "セル結合(&R)", "編集(&E)", "表示(&V)", "ﾍﾙﾌﾟ(&H)", "終了(&X)"}));
}

TEST(CommandMap, FileMenuWithSeparatorsHiddenRecentItemsAndShortcut) {
    const MenuItem* file = findMenuItem("mnuFile");
    ASSERT_NE(file, nullptr);
    std::vector<std::string> shown;
    int hiddenItems = 0;
    for (const MenuItem& m : file->children) {
        if (!m.visible) {
            ++hiddenItems;
            continue;
        }
        shown.push_back(m.caption);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"新規作成(&N)", "開く(&O)...", "閉じる(&C)", "-",
                                               "上書き保存(&S)", "名前を付けて保存(&A)...",
                                               "すべて保存(&L)", "-", "ﾌﾟﾛﾊﾟﾃｨ(&I)", "-",
                                               "ﾍﾟｰｼﾞ設定(&U)...", "印刷ﾌﾟﾚﾋﾞｭｰ(&V)", "印刷(&P)...",
                                               "-", "送信(&D)...", "-", "終了(&X)"}));
    EXPECT_EQ(hiddenItems, 4) << "three recent-file items and their separator";
    EXPECT_EQ(findMenuItem("mnuFileNew")->shortcut, "Ctrl+N");
    EXPECT_EQ(findMenuItem("mnuEditPaste")->shortcut, "Ctrl+V");
}

TEST(CommandMap, ItemsAreFoundByPathOrControlNameAndPathsAreExact) {
    EXPECT_EQ(findMenuItem("印刷(&P)/印刷(&I))"), findMenuItem("印刷Ⅰ"));
    EXPECT_EQ(findMenuItem("ﾌｧｲﾙ(&F)/印刷(&P)..."), findMenuItem("mnuFilePrint"));
    EXPECT_NE(findMenuItem("ﾌｧｲﾙ(&F)/終了(&X)"), findMenuItem("終了(&X)"));
    EXPECT_EQ(findMenuItem("終了(&X)"), findMenuItem("END"));
    EXPECT_EQ(findMenuItem("印刷(&P)/印刷(&P)..."), nullptr);
    EXPECT_EQ(findMenuItem("開く"), nullptr);
}

TEST(CommandMap, TheTwentyWorkMarksAreMenuItemsThatOpenClears) {
    const auto& marks = ids::kPlacementAndOutput;
    EXPECT_EQ(marks.size(), 20u);
    EXPECT_EQ(std::set<std::string>(marks.begin(), marks.end()).size(), 20u);
    for (const std::string id : marks) EXPECT_NE(findMenuItem(id), nullptr) << id;
    for (const std::string notOne : {"mnuFileOpen", "mnuFileSave", "mnuViewToolbar"})
        EXPECT_EQ(std::count(marks.begin(), marks.end(), notOne), 0) << notOne;
}

std::vector<std::string> windowEditButtons() {
    std::vector<std::string> out;
    for (const auto& b : toolbarButtons())
        if (!b.windowEdit.empty()) {
            out.push_back(b.windowEdit);
            EXPECT_TRUE(findMenuItem(b.windowEdit)->windowEdit) << b.key;
        }
    return out;
}

TEST(CommandMap, ItemsOfLaterWorkAreDisabledAndToolbarFollowsTheMenu) {
    for (const char* id : {"mnuViewOptions", "mnuEditPasteSpecial", "mnuFileSend"})
        EXPECT_FALSE(findMenuItem(id)->enabled()) << id;
    for (const char* id : {"mnuFileOpen", "投入", "ヤグラ作成", "mnuFileSave", "END",
                           "画面消去(&C)", "基礎名簿", "mnuHelpAbout", "mnuEditCut"})
        EXPECT_TRUE(findMenuItem(id)->enabled()) << id;
    // The Edit buttons run the Edit items, which the workbook window answers.
    EXPECT_EQ(windowEditButtons(),
              (std::vector<std::string>{"mnuEditCut", "mnuEditCopy", "mnuEditPaste"}));
    const auto& buttons = toolbarButtons();
    ASSERT_EQ(buttons.size(), 13u);
    std::vector<std::string> keys;
    for (const auto& b : buttons) keys.push_back(b.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"新規作成", "開く", "上書き保存", "印刷", "切り取り",
                                              "ｺﾋﾟｰ", "貼り付け", "太字", "斜体", "下線", "左揃え",
                                              "中央揃え", "右揃え"}));
    EXPECT_EQ(buttons[2].command, findMenuItem("mnuFileSave")->command);
    EXPECT_EQ(buttons[3].command, findMenuItem("mnuFilePrint")->command);
    EXPECT_EQ(buttons[1].command, findMenuItem("mnuFileOpen")->command);
}

}  // namespace
}  // namespace tombra::app
