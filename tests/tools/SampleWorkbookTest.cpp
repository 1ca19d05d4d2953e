// The sample workbook in examples/ is what an official tries the program on first. These
// tests read it with our engine the way File > Open does and check that every event on it
// can be read without a duplicate, a gap, a lone doubles row or a clashing seed.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"

namespace tombra {
namespace {

using sheet::Workbook;
using sheet::Worksheet;

std::filesystem::path samplePath() {
    return std::filesystem::path(TOMBRA_TEST_DATA).parent_path().parent_path() / "examples" /
           "sample.xlsx";
}

constexpr int kA = 1, kB = 2, kC = 3, kD = 4, kE = 5, kF = 6, kG = 7, kH = 8, kI = 9, kJ = 10,
              kK = 11;

// A cell as the reader takes it: the number at the start of its text, rounded.
long long number(const Worksheet& ws, int row, int column) {
    return roundToInteger(readNumber(ws.text(row, column)));
}
bool filled(const Worksheet& ws, int row, int column) { return !ws.value(row, column).isEmpty(); }

// Rows the reader takes for entries: column A filled, within its 1,024 rows.
std::vector<int> entryRows(const Worksheet& ws) {
    std::vector<int> rows;
    for (int r = 1; r <= 1024; ++r)
        if (filled(ws, r, kA)) rows.push_back(r);
    return rows;
}

// Seed numbers of distinct entries must be distinct; they run from 1 without gaps so that the
// highest seed number the reader reports is the number of seeds.
void expectSeedsOneToN(const std::vector<long long>& seeds, const std::string& what) {
    std::vector<long long> sorted = seeds;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size(); ++i)
        EXPECT_EQ(sorted[i], static_cast<long long>(i) + 1) << what << ": seeds out of order";
}

// Per school, the numbers of a column are 1..n, each once.
void expectNumbersOneToN(const std::map<long long, std::vector<long long>>& bySchool,
                         const std::string& what) {
    for (const auto& [school, numbers] : bySchool) {
        std::vector<long long> sorted = numbers;
        std::sort(sorted.begin(), sorted.end());
        for (size_t i = 0; i < sorted.size(); ++i)
            EXPECT_EQ(sorted[i], static_cast<long long>(i) + 1)
                << what << ", school " << school << ": duplicate or gap";
    }
}

class SampleWorkbook : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(std::filesystem::exists(samplePath())) << samplePath();
        workbook_ = Workbook::open(samplePath());
    }
    static void TearDownTestSuite() { workbook_.reset(); }

    Worksheet& sheet(const std::string& name) {
        Worksheet* ws = workbook_->findSheet(name);
        if (!ws) throw std::runtime_error("no sheet " + name);
        return *ws;
    }
    // School number → name as listed on "集計" from row 4 to the first row without a number.
    std::map<long long, std::string> tallySchools() {
        Worksheet& ws = sheet("集計");
        std::map<long long, std::string> schools;
        for (int r = 4; r <= 200 && number(ws, r, kA) != 0; ++r)
            schools[number(ws, r, kA)] = ws.text(r, kB);
        return schools;
    }

    static std::unique_ptr<Workbook> workbook_;
};

std::unique_ptr<Workbook> SampleWorkbook::workbook_;

const std::vector<std::string> kSexSheets = {"男子", "女子"};
const std::vector<std::string> kPairSheets = {"男子", "女子", "ミックス"};

TEST_F(SampleWorkbook, HoldsEverySheetTheCommandsUse) {
    for (const char* name : {"男子", "女子", "ミックス", "個人リーグ", "集計", "集計R", "基礎Ｄ",
                             "入替", "申込書", "男子Ｓ", "男子Ｄ", "男子Ｔ", "男子ＪＳ", "女子Ｓ",
                             "女子Ｄ", "女子Ｔ", "女子ＪＳ", "ミックスＤ"})
        EXPECT_NE(workbook_->findSheet(name), nullptr) << name;
}

TEST_F(SampleWorkbook, HeadingRowIsNotTakenForAnEntry) {
    for (const char* name : {"男子", "女子", "ミックス", "個人リーグ"}) {
        Worksheet& ws = sheet(name);
        EXPECT_FALSE(filled(ws, 1, kA)) << name << ": a heading in A1 would read as school 0";
        // The reader sizes its progress from column B in steps of 20 rows from row 1.
        EXPECT_TRUE(filled(ws, 1, kB)) << name;
        EXPECT_GE(entryRows(ws).size(), 20u) << name;
    }
    // The exchange list is read from A1 down to the first empty cell.
    EXPECT_FALSE(filled(sheet("入替"), 1, kA));
}

TEST_F(SampleWorkbook, EntryRowsAreGroupedBySchoolWithOneBlockEach) {
    const auto schools = tallySchools();
    for (const std::string& name : kPairSheets) {
        Worksheet& ws = sheet(name);
        long long previous = 0;
        std::map<long long, std::set<long long>> blocks;
        for (int r : entryRows(ws)) {
            long long school = number(ws, r, kA);
            EXPECT_GE(school, previous) << name << " row " << r << ": schools out of order";
            previous = school;
            ASSERT_TRUE(schools.count(school)) << name << " row " << r << ": school not on 集計";
            blocks[school].insert(number(ws, r, kK));
            // Only a doubles partner from another school names a school other than its own.
            if (ws.text(r, kB) != schools.at(school)) {
                EXPECT_TRUE(filled(ws, r, kG)) << name << " row " << r;
                bool listed = std::any_of(schools.begin(), schools.end(), [&](const auto& s) {
                    return s.second == ws.text(r, kB);
                });
                EXPECT_TRUE(listed)
                    << name << " row " << r << ": unknown school " << ws.text(r, kB);
            }
        }
        for (const auto& [school, set] : blocks) {
            ASSERT_EQ(set.size(), 1u) << name << ", school " << school << ": more than one block";
            EXPECT_GE(*set.begin(), 1);
            EXPECT_LE(*set.begin(), 4);
        }
        if (name != "ミックス") {
            EXPECT_GE(blocks.size(), 25u) << name;
        }
    }
}

TEST_F(SampleWorkbook, SinglesNumbersRunFromOneAndSeedsAreDistinct) {
    for (const std::string& name : kSexSheets) {
        Worksheet& ws = sheet(name);
        std::map<long long, std::vector<long long>> numbers;
        std::vector<long long> seeds;
        for (int r : entryRows(ws)) {
            if (filled(ws, r, kI)) numbers[number(ws, r, kA)].push_back(number(ws, r, kI));
            if (number(ws, r, kJ) > 0) {
                EXPECT_TRUE(filled(ws, r, kI)) << name << " row " << r << ": seed without entry";
                seeds.push_back(number(ws, r, kJ));
            }
        }
        expectNumbersOneToN(numbers, name + " シングルス");
        expectSeedsOneToN(seeds, name + " シングルス");
        EXPECT_GE(seeds.size(), 8u) << name;
        EXPECT_LE(seeds.size(), 16u) << name;
    }
}

TEST_F(SampleWorkbook, PairsAreTwoAdjacentRowsSharingNumberAndSeed) {
    for (const std::string& name : kPairSheets) {
        Worksheet& ws = sheet(name);
        const std::vector<int> rows = entryRows(ws);
        std::map<std::pair<long long, long long>, std::vector<int>> pairRows;
        for (int r : rows)
            if (filled(ws, r, kG)) pairRows[{number(ws, r, kA), number(ws, r, kG)}].push_back(r);
        ASSERT_FALSE(pairRows.empty()) << name;

        std::map<long long, std::vector<long long>> numbers;
        std::vector<long long> seeds;
        int twoSchools = 0;
        for (const auto& [key, at] : pairRows) {
            ASSERT_EQ(at.size(), 2u) << name << ", school " << key.first << " pair " << key.second;
            EXPECT_EQ(at[1], at[0] + 1) << name << ": the rows of a pair are apart";
            EXPECT_EQ(number(ws, at[0], kH), number(ws, at[1], kH))
                << name << ": the rows of a pair name different seeds";
            numbers[key.first].push_back(key.second);
            if (number(ws, at[0], kH) > 0) seeds.push_back(number(ws, at[0], kH));
            if (ws.text(at[0], kB) != ws.text(at[1], kB)) ++twoSchools;
        }
        expectNumbersOneToN(numbers, name + " ダブルス");
        expectSeedsOneToN(seeds, name + " ダブルス");
        EXPECT_FALSE(seeds.empty()) << name;
        EXPECT_GT(twoSchools, 0) << name << ": no pair from two schools";
    }
}

// A team's rows have the codes (k - 1) x 10 + 1, + 2, … for the school's team k, its first
// row ending in 1; the reader takes eight teams a school (A to H).
TEST_F(SampleWorkbook, TeamCodesNumberEachTeamFromItsFirstRow) {
    for (const std::string& name : kSexSheets) {
        Worksheet& ws = sheet(name);
        std::map<long long, std::vector<long long>> codes;
        std::vector<long long> seeds;
        int secondTeams = 0;
        for (int r : entryRows(ws)) {
            if (filled(ws, r, kE)) {
                long long code = number(ws, r, kE);
                EXPECT_GE(code, 1) << name << " row " << r;
                EXPECT_LE(code, 79) << name << " row " << r;
                EXPECT_NE(code % 10, 0) << name << " row " << r;
                if (code == 11) ++secondTeams;
                // Each team's members numbered on: one list per (school, team).
                codes[number(ws, r, kA) * 100 + code / 10].push_back(code % 10);
            }
            if (number(ws, r, kF) > 0) {
                EXPECT_EQ(number(ws, r, kE) % 10, 1)
                    << name << " row " << r << ": team seed off the team's first row";
                seeds.push_back(number(ws, r, kF));
            }
        }
        EXPECT_GT(secondTeams, 0) << name << ": no school with two teams";
        expectNumbersOneToN(codes, name + " 団体");
        expectSeedsOneToN(seeds, name + " 団体");
        EXPECT_GE(codes.size(), 16u) << name << ": too few teams for a bracket";
        EXPECT_FALSE(seeds.empty()) << name;
    }
}

TEST_F(SampleWorkbook, NamesSplitIntoFamilyAndGivenName) {
    const std::string wide = "　", narrow = " ";
    int wideCount = 0, narrowCount = 0;
    for (const char* name : {"男子", "女子", "ミックス", "個人リーグ"}) {
        Worksheet& ws = sheet(name);
        for (int r : entryRows(ws)) {
            const std::string text = ws.text(r, kC);
            size_t w = text.find(wide), n = text.find(narrow);
            size_t at = std::min(w, n);
            ASSERT_NE(at, std::string::npos) << name << " row " << r << ": " << text;
            EXPECT_GT(at, 0u) << name << " row " << r;
            EXPECT_LT(at + 1, text.size()) << name << " row " << r;
            // Surname extraction looks for the space within the first five characters; a
            // Japanese character takes three bytes.
            EXPECT_LE(at, 12u) << name << " row " << r << ": " << text;
            (w < n ? wideCount : narrowCount)++;
        }
    }
    EXPECT_GT(wideCount, 0);
    EXPECT_GT(narrowCount, 0);
}

// Individual league: F the division, G 1 entered or 2 seeded, D sex 1 or 2, E category,
// H previous group. The draw puts each seed at the head of its own group and handles at most
// five schools with more entries than groups; with groups of up to seven both must hold.
TEST_F(SampleWorkbook, LeagueDivisionsCanBeDrawn) {
    Worksheet& ws = sheet("個人リーグ");
    const auto schools = tallySchools();
    std::map<long long, int> entered, seeded;
    std::map<long long, std::map<long long, int>> perSchool;
    long long previousSchool = 0;
    for (int r : entryRows(ws)) {
        const long long school = number(ws, r, kA);
        EXPECT_TRUE(schools.count(school)) << "row " << r;
        EXPECT_GE(school, previousSchool) << "row " << r;
        previousSchool = school;
        const long long division = number(ws, r, kF), entry = number(ws, r, kG);
        EXPECT_TRUE(division >= 1 && division <= 3) << "row " << r;
        EXPECT_TRUE(entry >= 0 && entry <= 2) << "row " << r;
        EXPECT_TRUE(number(ws, r, kD) == 1 || number(ws, r, kD) == 2) << "row " << r;
        EXPECT_TRUE(number(ws, r, kE) >= 1 && number(ws, r, kE) <= 4) << "row " << r;
        EXPECT_GE(number(ws, r, kH), 0) << "row " << r;
        if (entry <= 0) continue;
        ++entered[division];
        ++perSchool[division][school];
        if (entry == 2) ++seeded[division];
    }
    for (long long division = 1; division <= 3; ++division) {
        const int groups = entered[division] / 7;
        ASSERT_GE(groups, 1) << "division " << division;
        EXPECT_GE(seeded[division], 1) << "division " << division;
        EXPECT_LE(seeded[division], groups) << "division " << division;
        int large = 0;
        for (const auto& [school, count] : perSchool[division])
            if (count > groups) ++large;
        EXPECT_LE(large, 5) << "division " << division;
    }
}

TEST_F(SampleWorkbook, TallySheetsListEverySchool) {
    const auto schools = tallySchools();
    ASSERT_FALSE(schools.empty());
    EXPECT_EQ(schools.begin()->first, 1);
    EXPECT_EQ(schools.rbegin()->first, static_cast<long long>(schools.size()))
        << "school numbers on 集計 skip a number";
    // The participant list reads "集計" from row 1 and ends at the first empty column B.
    for (int r = 1; r <= 3 + static_cast<int>(schools.size()); ++r)
        EXPECT_TRUE(filled(sheet("集計"), r, kB)) << "集計 row " << r;

    Worksheet& divisions = sheet("集計R");
    for (const auto& [school, name] : schools) {
        EXPECT_EQ(number(divisions, 3 + static_cast<int>(school), kA), school);
        EXPECT_EQ(divisions.text(3 + static_cast<int>(school), kB), name);
    }
    Worksheet& summary = sheet("基礎Ｄ");
    EXPECT_EQ(summary.text(5, kA), "学校数");
    EXPECT_EQ(summary.text(6, kA), "エントリー数");
    EXPECT_EQ(summary.text(7, kA), "シード数");
}

}  // namespace
}  // namespace tombra
