#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/CommandMap.h"
#include "app/ProgramCommands.h"
#include "session/Session.h"
#include "session/WorkbookSaving.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookError.h"
#include "sheet/Worksheet.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra {
namespace {

namespace fs = std::filesystem;

// The organiser's workbook open in a session with an unsaved change, as commands leave it.
struct OpenWorkbook {
    OpenWorkbook() : session(shell, dir.path()) {
        fs::copy_file(test::testData("blank.xlsx"), path);
        session.state.WorkbookPath = path.string();
        session.attachWorkbook()->sheet("Sheet1").setText(1, 1, "ヤグラ");
    }
    void save() { app::runMenuItem(session, *app::findMenuItem("mnuFileSave")); }
    std::string onDisk() const { return test::readFile(path); }

    test::TempDir dir;
    fs::path path = dir / "大会.xlsx";
    test::FakeShell shell;
    Session session;
};

// Another program's copy: a workbook of its own, with a text of its own in Sheet1.
std::string othersWorkbook(const fs::path& scratch) {
    auto other = sheet::Workbook::open(test::testData("blank.xlsx"));
    other->sheet("Sheet1").setText(1, 1, "別のプログラム");
    other->saveAs(scratch);
    return test::readFile(scratch);
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string a1(const fs::path& path) {
    return sheet::Workbook::open(path)->sheet("Sheet1").text(1, 1);
}

// A file replaced on disk between open and save: the user decides, and without a yes the
// other program's file stays byte for byte.
TEST(WorkbookSaving, AFileChangedOnDiskIsOverwrittenOnlyWhenTheUserSaysSo) {
    struct Case {
        std::deque<ui::Answer> answers;
        std::deque<std::string> files;
        bool replaced;        // the other program's file is overwritten
        bool savedElsewhere;  // our workbook went to 別名.xlsx
    };
    const Case cases[] = {
        {{}, {}, false, false},  // nobody answers: nothing is overwritten
        {{ui::Answer::Cancel}, {}, false, false},
        {{ui::Answer::Yes}, {}, true, false},
        {{ui::Answer::No}, {"別名.xlsx"}, false, true},
        {{ui::Answer::No}, {""}, false, false},  // the name dialog cancelled
    };
    for (const Case& c : cases) {
        OpenWorkbook w;
        const std::string others = othersWorkbook(w.dir / "scratch.xlsx");
        writeBytes(w.path, others);
        w.shell.answers = c.answers;
        for (const std::string& f : c.files)
            w.shell.files.push_back(f.empty() ? f : (w.dir / f).string());
        w.save();

        ASSERT_FALSE(w.shell.messages.empty());
        EXPECT_NE(w.shell.messages[0].find("別のプログラムで変更されています"), std::string::npos);
        if (c.replaced) {
            EXPECT_EQ(a1(w.path), "ヤグラ");
        } else {
            EXPECT_EQ(w.onDisk(), others);
        }
        EXPECT_EQ(fs::exists(w.dir / "別名.xlsx"), c.savedElsewhere);
        if (c.savedElsewhere) {
            EXPECT_EQ(a1(w.dir / "別名.xlsx"), "ヤグラ");
        }
        if (!c.replaced && !c.savedElsewhere) {
            EXPECT_EQ(w.shell.messages.back(), "「大会.xlsx」は保存しませんでした");
        }
    }
}

// A write within the same clock tick that keeps size, time and file: only the content tells.
TEST(WorkbookSaving, AChangeHiddenInOneClockTickIsStillSeen) {
    OpenWorkbook w;
    struct stat before;
    ASSERT_EQ(::stat(w.path.c_str(), &before), 0);
    std::string bytes = w.onDisk();
    bytes[bytes.size() / 2] ^= 0x20;
    {
        std::fstream f(w.path, std::ios::in | std::ios::out | std::ios::binary);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, w.path.c_str(), times, 0), 0);
    EXPECT_EQ(w.session.attachWorkbook()->diskState(), sheet::Workbook::DiskState::Changed);
    w.save();
    EXPECT_EQ(w.onDisk(), bytes);
}

// A file made read-only is refused, named, and left as it was; a deleted one is written anew,
// also when memory holds no change; the owner and mode of a replaced file stay.
TEST(WorkbookSaving, ReadOnlyFilesAreRefusedDeletedOnesWrittenAnewOwnersKept) {
    {
        OpenWorkbook w;
        const std::string before = w.onDisk();
        fs::permissions(w.path,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        w.save();
        ASSERT_EQ(w.shell.messages.size(), 1u);
        EXPECT_NE(w.shell.messages[0].find("大会.xlsx」は書き込みが禁止されています"),
                  std::string::npos)
            << w.shell.messages[0];
        EXPECT_EQ(w.onDisk(), before);
        EXPECT_EQ(fs::status(w.path).permissions() & fs::perms::all, fs::perms(0444));
    }
    for (bool changed : {true, false}) {
        OpenWorkbook w;
        if (!changed) w.session.host.save(*w.session.attachWorkbook());
        fs::remove(w.path);
        w.save();
        EXPECT_TRUE(w.shell.messages.empty()) << w.shell.messages.front();
        ASSERT_TRUE(fs::exists(w.path));
        EXPECT_EQ(a1(w.path), "ヤグラ");
    }
    if (::geteuid() == 0) {  // only the super-user can give a file away to test with
        OpenWorkbook w;
        ASSERT_EQ(::chown(w.path.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chmod(w.path.c_str(), 0640), 0);
        w.save();
        EXPECT_TRUE(w.shell.messages.empty()) << w.shell.messages.front();
        struct stat st;
        ASSERT_EQ(::stat(w.path.c_str(), &st), 0);
        EXPECT_EQ(a1(w.path), "ヤグラ");
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
    }
}

// Opening another workbook lets the held one go only as the user says: はい saves it, いいえ
// gives its changes up, キャンセル (or no answer at all) keeps it, unsaved, as the one the
// commands work on.
TEST(UnsavedWorkbooks, OpeningAnotherWorkbookAsksForEachUnsavedOne) {
    const struct {
        std::deque<ui::Answer> answers;
        const char* onDisk;
        bool opened;
    } cases[] = {{{ui::Answer::Yes}, "ヤグラ", true},
                 {{ui::Answer::No}, "", true},
                 {{ui::Answer::Cancel}, "", false},
                 {{}, "", false}};
    for (const auto& c : cases) {
        OpenWorkbook w;
        const fs::path second = w.dir / "次の大会.xlsx";
        fs::copy_file(test::testData("blank.xlsx"), second);
        w.shell.answers = c.answers;
        w.shell.files = {second.string()};
        ASSERT_TRUE(app::runMenuItem(w.session, *app::findMenuItem("mnuFileOpen")));
        SCOPED_TRACE(w.shell.messages.front());
        EXPECT_EQ(w.shell.messages.front(), "「大会.xlsx」への変更を保存しますか");
        EXPECT_EQ(a1(w.path), c.onDisk);
        sheet::Workbook* first = w.session.host.held(w.path);
        EXPECT_EQ(first != nullptr, !c.opened);
        EXPECT_EQ(w.session.host.held(second) != nullptr, c.opened);
        EXPECT_EQ(w.session.state.WorkbookPath, (c.opened ? second : w.path).string());
        if (first) EXPECT_EQ(first->sheet("Sheet1").text(1, 1), "ヤグラ") << "kept, unsaved";
    }
    // The same workbook again keeps its changes without a question.
    OpenWorkbook w;
    w.shell.files = {w.path.string()};
    ASSERT_TRUE(app::runMenuItem(w.session, *app::findMenuItem("mnuFileOpen")));
    EXPECT_EQ(w.session.attachWorkbook()->sheet("Sheet1").text(1, 1), "ヤグラ");
    for (const std::string& m : w.shell.messages)
        EXPECT_EQ(m.find("保存しますか"), std::string::npos);
}

// Closing the window asks the same; a workbook changed on disk meanwhile is the save conflict,
// and declining it keeps the program open with both files as they were.
TEST(UnsavedWorkbooks, ClosingTheWindowLosesNothingTheUserDidNotGiveUp) {
    const struct {
        std::deque<ui::Answer> answers;
        bool closes;
        const char* onDisk;
    } cases[] = {{{ui::Answer::Yes}, true, "ヤグラ"},
                 {{ui::Answer::No}, true, ""},
                 {{ui::Answer::Cancel}, false, ""}};
    for (const auto& c : cases) {
        OpenWorkbook w;
        w.shell.answers = c.answers;
        EXPECT_EQ(app::mainWindowClosing(w.session), c.closes);
        EXPECT_EQ(a1(w.path), c.onDisk);
    }
    OpenWorkbook w;
    writeBytes(w.path, othersWorkbook(w.dir / "scratch.xlsx"));
    w.shell.answers = {ui::Answer::Yes, ui::Answer::Cancel};
    EXPECT_FALSE(app::mainWindowClosing(w.session));
    EXPECT_EQ(a1(w.path), "別のプログラム");
    EXPECT_TRUE(w.session.attachWorkbook()->hasUnsavedChanges());
}

}  // namespace
}  // namespace tombra
