// make_sample TEMPLATE.xlsx OUTPUT.xlsx
//
// Writes an entry workbook as a school sports office keeps it, for trying the program out:
// the entry sheets "男子", "女子", "ミックス" and "個人リーグ", the tally sheets "集計" and
// "集計R", the summary sheet "基礎Ｄ", the exchange list "入替" and the form "申込書".
// Schools and players are invented; a fixed seed makes every run write the same file.
//
// The template is an empty workbook whose only sheet is "男子" (tools/sample-template.xlsx:
// tests/data/blank.xlsx with its second sheet dropped and ＭＳ Ｐゴシック as the default font),
// so that the sample holds no sheet the office would not have.

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "sheet/Workbook.h"
#include "sheet/WorkbookError.h"
#include "sheet/Worksheet.h"

namespace {

using tombra::sheet::AlignmentChange;
using tombra::sheet::BorderChange;
using tombra::sheet::FontChange;
using tombra::sheet::Workbook;
using tombra::sheet::Worksheet;
namespace xl = tombra::sheet::xl;

constexpr std::uint32_t kSeed = 20240401;

// The standard library's distributions differ between implementations; the engine's raw
// output does not, so the mappings here are our own and the file is the same everywhere.
class Dice {
  public:
    explicit Dice(std::uint32_t seed) : engine_(seed) {}
    int below(int n) { return n <= 1 ? 0 : static_cast<int>(engine_() % static_cast<unsigned>(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[static_cast<size_t>(below(static_cast<int>(items.size())))];
    }
    template <typename T>
    void shuffle(std::vector<T>& items) {
        for (size_t i = items.size(); i > 1; --i)
            std::swap(items[i - 1], items[static_cast<size_t>(below(static_cast<int>(i)))]);
    }
    // k distinct indices of 0..n-1, ascending.
    std::vector<int> choose(int n, int k) {
        std::vector<int> all(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) all[static_cast<size_t>(i)] = i;
        shuffle(all);
        all.resize(static_cast<size_t>(std::min(n, k)));
        std::sort(all.begin(), all.end());
        return all;
    }

  private:
    std::mt19937 engine_;
};

struct School {
    int number;
    std::string name;
    bool boys;
    bool girls;
    int block;
    int strength;  // 1..9: strong schools bring more players and take more seeds
};

std::vector<School> makeSchools() {
    // Numbers follow the districts, so the blocks are runs of numbers.
    struct Row {
        const char* name;
        bool boys;
        bool girls;
        int strength;
    };
    const std::vector<Row> rows = {
        {"県立北高", true, true, 9},     {"県立南高", true, true, 4},
        {"県立東高", true, true, 5},     {"県立西高", true, false, 3},
        {"市立東中央", true, true, 3},   {"私立桜ヶ丘", true, true, 9},
        {"県立青葉", true, true, 4},     {"県立緑ヶ丘", true, true, 2},
        {"私立城北", true, false, 7},    {"県立港南", true, true, 3},
        {"県立旭", true, true, 2},       {"市立若葉", true, true, 3},
        {"県立松原", true, true, 5},     {"私立聖和女子", false, true, 8},
        {"県立白鷺", true, true, 2},     {"私立清風", true, true, 6},
        {"県立川辺", true, true, 1},     {"県立山手", true, true, 3},
        {"県立高瀬", true, false, 2},    {"市立中央", true, true, 4},
        {"私立光陵", true, true, 8},     {"県立城東", true, true, 3},
        {"県立城西", true, true, 2},     {"県立第二女子", false, true, 4},
        {"県立大和田", true, true, 1},   {"私立啓明", true, true, 5},
        {"県立朝日ヶ丘", true, true, 2}, {"県立工業", true, false, 3},
        {"県立富士見", true, true, 2},   {"市立本町", true, true, 3},
        {"私立修学館", true, true, 6},   {"私立双葉女子", false, true, 3},
        {"県立商業", false, true, 2},    {"県立水城", true, true, 1},
    };
    std::vector<School> schools;
    for (size_t i = 0; i < rows.size(); ++i) {
        int number = static_cast<int>(i) + 1;
        int block = number <= 9 ? 1 : number <= 17 ? 2 : number <= 26 ? 3 : 4;
        schools.push_back(
            {number, rows[i].name, rows[i].boys, rows[i].girls, block, rows[i].strength});
    }
    return schools;
}

// Invented names, "family　given"; most offices type the full-width space, some the
// half-width one, and the program must take both.
class Namer {
  public:
    explicit Namer(Dice& dice) : dice_(dice) {}
    std::string make(bool male) {
        static const std::vector<std::string> family = {
            "佐藤", "鈴木", "高橋",   "田中", "伊藤", "渡辺", "山本",   "中村", "小林",   "加藤",
            "吉田", "山田", "佐々木", "山口", "松本", "井上", "木村",   "林",   "斎藤",   "清水",
            "山崎", "森",   "池田",   "橋本", "阿部", "石川", "山下",   "中島", "石井",   "小川",
            "前田", "岡田", "長谷川", "藤田", "後藤", "近藤", "村上",   "遠藤", "青木",   "坂本",
            "福田", "太田", "西村",   "藤井", "金子", "岡本", "藤原",   "中野", "三浦",   "原田",
            "中川", "松田", "竹内",   "小野", "田村", "中山", "和田",   "石田", "森田",   "上田",
            "原",   "内田", "柴田",   "酒井", "宮崎", "横山", "高木",   "安藤", "宮本",   "大野",
            "小島", "谷口", "今井",   "工藤", "高田", "増田", "丸山",   "杉山", "村田",   "大塚",
            "新井", "平野", "河野",   "上野", "野口", "武田", "松井",   "千葉", "岩崎",   "菅原",
            "木下", "久保", "野村",   "松尾", "菊地", "市川", "古川",   "大西", "島田",   "水野",
            "桜井", "高野", "吉川",   "西田", "飯田", "北村", "五十嵐", "川口", "服部",   "本田",
            "樋口", "秋山", "永井",   "吉村", "石原", "大橋", "星野",   "矢野", "大久保", "荒木",
        };
        static const std::vector<std::string> boys = {
            "翔太", "大輝", "拓海", "健太", "悠斗", "陸",   "蓮",   "大翔", "颯太", "湊",
            "悠真", "陽向", "樹",   "亮",   "誠",   "直樹", "和也", "翼",   "匠",   "駿",
            "海斗", "優斗", "隼人", "大和", "蒼",   "結翔", "陽太", "一輝", "圭佑", "涼",
            "航",   "康平", "雄大", "智也", "拓真", "俊介", "慎也", "秀人", "奏太", "光",
        };
        static const std::vector<std::string> girls = {
            "美咲", "陽菜", "さくら", "結衣", "葵",   "凛",   "芽依", "莉子",   "美月", "結菜",
            "花音", "彩花", "七海",   "心春", "紗希", "真由", "優奈", "菜々子", "千尋", "楓",
            "杏奈", "琴音", "桃子",   "遥",   "舞",   "瑞希", "未来", "明日香", "里奈", "彩乃",
            "日向", "千夏", "萌",     "朱里", "詩織", "奈央", "和奏", "紬",     "愛",   "ひかり",
        };
        for (;;) {
            std::string f = dice_.pick(family);
            std::string g = dice_.pick(male ? boys : girls);
            if (!used_.insert(f + "|" + g).second) continue;
            return f + (dice_.chance(15) ? " " : "　") + g;
        }
    }

  private:
    Dice& dice_;
    std::set<std::string> used_;
};

struct Person {
    std::string name;
    int grade;
};

// One row of "男子", "女子" or "ミックス"; 0 leaves a number cell empty.
struct EntryRow {
    int school = 0;
    std::string affiliation;
    std::string name;
    int grade = 0;
    int teamCode = 0;
    int teamSeed = 0;
    int doublesNo = 0;
    int doublesSeed = 0;
    int singlesNo = 0;
    int singlesSeed = 0;
    int block = 0;
};

// One row of "個人リーグ".
struct LeagueRow {
    int school = 0;
    std::string affiliation;
    std::string name;
    int sex = 0;       // 1 男, 2 女
    int category = 0;  // the grade, 1..3
    int division = 0;  // 1..3
    int entry = 0;     // 0 not playing this time, 1 playing, 2 seeded
    int previousGroup = 0;
};

struct SexSheet {
    std::vector<EntryRow> rows;
    std::map<int, std::vector<Person>> players;  // own players by school number
};

struct SexSettings {
    bool boys;
    std::set<int> absent;           // schools that send nobody this time
    std::map<int, int> crossPairs;  // school → school lending one doubles partner
    int singlesSeeds;
    int doublesSeeds;
    int teamSeeds;
};

const School& schoolOf(const std::vector<School>& schools, int number) {
    return schools[static_cast<size_t>(number - 1)];
}

// Picks up to `count` entries by weight (school strength), at most `perSchool` per school.
std::vector<size_t> pickSeeds(Dice& dice, const std::vector<size_t>& candidates,
                              const std::vector<EntryRow>& rows, const std::vector<School>& schools,
                              int count, int perSchool) {
    std::vector<size_t> pool = candidates;
    std::map<int, int> taken;
    std::vector<size_t> seeds;
    while (static_cast<int>(seeds.size()) < count && !pool.empty()) {
        int total = 0;
        for (size_t i : pool) total += schoolOf(schools, rows[i].school).strength;
        int roll = dice.below(total);
        size_t at = 0;
        for (; at < pool.size(); ++at) {
            roll -= schoolOf(schools, rows[pool[at]].school).strength;
            if (roll < 0) break;
        }
        size_t row = pool[at];
        pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(at));
        if (taken[rows[row].school] >= perSchool) continue;
        ++taken[rows[row].school];
        seeds.push_back(row);
    }
    dice.shuffle(seeds);  // seed 1 need not come from the lowest school number
    return seeds;
}

std::vector<Person> makePlayers(Dice& dice, Namer& namer, bool male, const School& school) {
    int n = school.strength >= 7 ? dice.between(12, 16) : dice.between(4, 12);
    std::vector<Person> players;
    for (int i = 0; i < n; ++i) players.push_back({namer.make(male), dice.between(1, 3)});
    // Offices list the older players first.
    std::stable_sort(players.begin(), players.end(),
                     [](const Person& a, const Person& b) { return a.grade > b.grade; });
    return players;
}

SexSheet makeSexSheet(Dice& dice, Namer& namer, const std::vector<School>& schools,
                      const SexSettings& settings) {
    SexSheet sheet;
    for (const School& school : schools) {
        if (!(settings.boys ? school.boys : school.girls) || settings.absent.count(school.number))
            continue;
        std::vector<Person> players = makePlayers(dice, namer, settings.boys, school);
        sheet.players[school.number] = players;
        const int n = static_cast<int>(players.size());
        const bool strong = school.strength >= 7;
        auto cross = settings.crossPairs.find(school.number);
        const bool hasCross = cross != settings.crossPairs.end();

        std::vector<EntryRow> own;
        for (const Person& p : players) {
            EntryRow row;
            row.school = school.number;
            row.affiliation = school.name;
            row.name = p.name;
            row.grade = p.grade;
            row.block = school.block;
            own.push_back(row);
        }

        // Pairs take adjacent rows (2j, 2j+1); a school that borrows a partner keeps one of
        // its own players free for that pair.
        int slots = n / 2;
        if (hasCross && slots * 2 == n) --slots;
        int pairs = std::min(slots, strong ? 4 : dice.between(1, 4));
        std::vector<bool> paired(static_cast<size_t>(n), false);
        for (int slot : dice.choose(slots, pairs))
            paired[static_cast<size_t>(2 * slot)] = paired[static_cast<size_t>(2 * slot + 1)] =
                true;

        // Singles and team members: chosen among the school's own players, numbered down
        // the rows so that the sheet reads in order.
        int singles = std::min(n, strong ? 8 : dice.between(2, 8));
        for (int i : dice.choose(n, singles)) own[static_cast<size_t>(i)].singlesNo = 1;
        // Strong schools with enough players field a second team (codes 11, 12, …), so that
        // team letters A and B show up in the bracket.
        const int teams = strong && n >= 10 ? 2 : 1;
        int firstTeamMembers = 0;
        if (n >= 4 && (strong || dice.chance(85))) {
            firstTeamMembers = std::min(n / teams, dice.between(4, 5));
            int members = std::min(n, teams * firstTeamMembers);
            for (int i : dice.choose(n, members)) own[static_cast<size_t>(i)].teamCode = 1;
        }

        std::vector<EntryRow> block;
        int borrowedAfter = -1;
        if (hasCross) {
            std::vector<int> free;
            for (int i = 0; i < n; ++i)
                if (!paired[static_cast<size_t>(i)]) free.push_back(i);
            borrowedAfter = dice.pick(free);
        }
        for (int i = 0; i < n; ++i) {
            EntryRow row = own[static_cast<size_t>(i)];
            row.doublesNo = paired[static_cast<size_t>(i)] ? -1 : 0;  // numbered below
            block.push_back(row);
            if (i == borrowedAfter) {
                // The partner from another school: the pair counts for this school's number,
                // column B names the partner's own school.
                const School& lender = schoolOf(schools, cross->second);
                block.back().doublesNo = -1;
                EntryRow partner;
                partner.school = school.number;
                partner.affiliation = lender.name;
                partner.name = namer.make(settings.boys);
                partner.grade = dice.between(1, 3);
                partner.doublesNo = -1;
                partner.block = school.block;
                block.push_back(partner);
            }
        }
        // Numbers from 1 without gaps, down the rows; a pair's two rows share one number.
        int singlesNo = 0, teamCode = 0, doublesNo = 0;
        for (EntryRow& row : block) {
            if (row.singlesNo) row.singlesNo = ++singlesNo;
            if (row.teamCode) {
                ++teamCode;
                // Members past the first team's count make up the second team.
                row.teamCode =
                    teamCode <= firstTeamMembers ? teamCode : 10 + teamCode - firstTeamMembers;
            }
        }
        for (size_t i = 0; i < block.size(); ++i)
            if (block[i].doublesNo == -1) {
                block[i].doublesNo = block[i + 1].doublesNo = ++doublesNo;
                ++i;
            }
        sheet.rows.insert(sheet.rows.end(), block.begin(), block.end());
    }

    std::vector<size_t> singles, pairs, teams;
    for (size_t i = 0; i < sheet.rows.size(); ++i) {
        const EntryRow& row = sheet.rows[i];
        if (row.singlesNo) singles.push_back(i);
        if (row.doublesNo && (i == 0 || sheet.rows[i - 1].school != row.school ||
                              sheet.rows[i - 1].doublesNo != row.doublesNo))
            pairs.push_back(i);
        if (row.teamCode == 1) teams.push_back(i);
    }
    std::vector<size_t> seeds =
        pickSeeds(dice, singles, sheet.rows, schools, settings.singlesSeeds, 2);
    for (size_t q = 0; q < seeds.size(); ++q)
        sheet.rows[seeds[q]].singlesSeed = static_cast<int>(q) + 1;
    seeds = pickSeeds(dice, pairs, sheet.rows, schools, settings.doublesSeeds, 1);
    for (size_t q = 0; q < seeds.size(); ++q)
        // Both rows carry the seed, so that sorting the sheet cannot separate it from the pair.
        sheet.rows[seeds[q]].doublesSeed = sheet.rows[seeds[q] + 1].doublesSeed =
            static_cast<int>(q) + 1;
    seeds = pickSeeds(dice, teams, sheet.rows, schools, settings.teamSeeds, 1);
    for (size_t q = 0; q < seeds.size(); ++q)
        sheet.rows[seeds[q]].teamSeed = static_cast<int>(q) + 1;
    return sheet;
}

// Mixed pairs: a boy and a girl of the boys' school, or a girl lent by another school; the
// players are those of the men's and women's sheets.
std::vector<EntryRow> makeMixed(Dice& dice, const std::vector<School>& schools, const SexSheet& men,
                                const SexSheet& women) {
    std::map<int, int> lenders = {{9, 14}, {28, 24}, {16, 32}};
    std::map<int, std::vector<Person>> boys = men.players, girls = women.players;
    auto take = [&dice](std::vector<Person>& pool) {
        size_t at = static_cast<size_t>(dice.below(static_cast<int>(pool.size())));
        Person p = pool[at];
        pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(at));
        return p;
    };
    std::vector<EntryRow> rows;
    std::vector<size_t> pairStarts;
    for (const School& school : schools) {
        if (!boys.count(school.number)) continue;
        auto lender = lenders.find(school.number);
        bool own = girls.count(school.number) && !girls[school.number].empty();
        if (lender == lenders.end() && (!own || school.strength < 3 || dice.chance(35))) continue;
        int pairs = lender != lenders.end() ? 1 : school.strength >= 7 ? 2 : 1;
        for (int k = 1; k <= pairs; ++k) {
            int girlSchool = lender != lenders.end() ? lender->second : school.number;
            Person boy = take(boys[school.number]);
            Person girl = take(girls[girlSchool]);
            EntryRow a;
            a.school = school.number;
            a.affiliation = school.name;
            a.name = boy.name;
            a.grade = boy.grade;
            a.doublesNo = k;
            a.block = school.block;
            EntryRow b = a;
            b.affiliation = schoolOf(schools, girlSchool).name;
            b.name = girl.name;
            b.grade = girl.grade;
            pairStarts.push_back(rows.size());
            rows.push_back(a);
            rows.push_back(b);
        }
    }
    std::vector<size_t> seeds = pickSeeds(dice, pairStarts, rows, schools, 3, 1);
    for (size_t q = 0; q < seeds.size(); ++q)
        rows[seeds[q]].doublesSeed = rows[seeds[q] + 1].doublesSeed = static_cast<int>(q) + 1;
    return rows;
}

// The graded individual league: players of both sexes from the same schools, each in one
// division. A school keeps few players per division, so that no school outnumbers the groups
// of the smallest division, and the seeds never outnumber the groups of seven.
std::vector<LeagueRow> makeLeague(Dice& dice, const std::vector<School>& schools,
                                  const SexSheet& men, const SexSheet& women) {
    const std::array<int, 3> weights = {20, 35, 45};
    const std::array<int, 3> perSchool = {3, 4, 4};
    const std::array<int, 3> seedTarget = {4, 6, 6};
    std::vector<LeagueRow> rows;
    for (const School& school : schools) {
        if (school.strength <= 1 || school.number % 7 == 3) continue;  // some schools take no part
        std::vector<std::pair<Person, int>> chosen;
        for (int sex = 1; sex <= 2; ++sex) {
            const auto& players = (sex == 1 ? men : women).players;
            auto it = players.find(school.number);
            if (it == players.end()) continue;
            int count = std::min(static_cast<int>(it->second.size()), dice.between(1, 5));
            for (int i : dice.choose(static_cast<int>(it->second.size()), count))
                chosen.push_back({it->second[static_cast<size_t>(i)], sex});
        }
        std::array<int, 3> inDivision = {0, 0, 0};
        std::vector<LeagueRow> block;
        for (const auto& [person, sex] : chosen) {
            int roll = dice.below(100) + (person.grade - 2) * 15;  // older players sit higher
            int division = roll >= 100 - weights[0] ? 1 : roll >= weights[2] ? 2 : 3;
            while (inDivision[static_cast<size_t>(division - 1)] >=
                   perSchool[static_cast<size_t>(division - 1)])
                division = division % 3 + 1;
            ++inDivision[static_cast<size_t>(division - 1)];
            LeagueRow row;
            row.school = school.number;
            row.affiliation = school.name;
            row.name = person.name;
            row.sex = sex;
            row.category = person.grade;
            row.division = division;
            row.entry = dice.chance(93) ? 1 : 0;
            block.push_back(row);
        }
        std::stable_sort(block.begin(), block.end(), [](const LeagueRow& a, const LeagueRow& b) {
            return a.division != b.division ? a.division < b.division : a.sex < b.sex;
        });
        rows.insert(rows.end(), block.begin(), block.end());
    }
    for (int division = 1; division <= 3; ++division) {
        std::vector<size_t> entered;
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].division == division && rows[i].entry > 0) entered.push_back(i);
        const int groups = static_cast<int>(entered.size()) / 7;  // leagues of at most seven
        // Players new to the league (first-years mostly) have no previous group.
        for (size_t i : entered)
            if (rows[i].category >= 2 || dice.chance(20))
                rows[i].previousGroup = dice.between(1, std::max(1, groups + 1));
        dice.shuffle(entered);
        std::set<int> seededSchools;
        int seeds = std::min(seedTarget[static_cast<size_t>(division - 1)], groups);
        for (size_t i : entered) {
            if (seeds == 0) break;
            if (!seededSchools.insert(rows[i].school).second) continue;
            rows[i].entry = 2;
            --seeds;
        }
    }
    return rows;
}

// Writing.

Worksheet& freshSheet(Workbook& wb, const std::string& name) {
    if (Worksheet* ws = wb.findSheet(name)) {
        ws->clear(tombra::sheet::Area::wholeSheet());
        return *ws;
    }
    return wb.addSheet(name);
}

void setNumberIf(Worksheet& ws, int row, int column, int value) {
    if (value) ws.setNumber(row, column, value);
}

void headerRow(Worksheet& ws, int row, const std::vector<std::string>& titles,
               int firstColumn = 1) {
    for (size_t i = 0; i < titles.size(); ++i)
        if (!titles[i].empty()) ws.setText(row, firstColumn + static_cast<int>(i), titles[i]);
    std::string range =
        tombra::sheet::cellReference(row, firstColumn) + ":" +
        tombra::sheet::cellReference(row, firstColumn + static_cast<int>(titles.size()) - 1);
    ws.setFont(range, FontChange{.bold = true});
    ws.setHorizontalAlignment(range, xl::HAlignCenter);
    ws.setBorder(range, xl::EdgeBottom, BorderChange{.lineStyle = xl::Continuous});
}

void widths(Worksheet& ws, const std::vector<double>& characters) {
    for (size_t i = 0; i < characters.size(); ++i) {
        std::string column = tombra::sheet::columnName(static_cast<int>(i) + 1);
        ws.setColumnWidth(column + ":" + column, characters[i]);
    }
}

// Row 1 is the heading. Its column A stays empty: the reader takes every row with a school
// number in column A for an entry. "ミックス" holds pairs only.
void writeEntrySheet(Worksheet& ws, const std::vector<EntryRow>& rows, bool pairsOnly = false) {
    if (pairsOnly)
        headerRow(ws, 1,
                  {"", "所属", "氏名", "学年", "", "", "Ｄ番号", "Ｄシード", "", "", "ブロック"});
    else
        headerRow(ws, 1,
                  {"", "所属", "氏名", "学年", "団体", "団体シード", "Ｄ番号", "Ｄシード", "Ｓ番号",
                   "Ｓシード", "ブロック"});
    int r = 2;
    for (const EntryRow& row : rows) {
        ws.setNumber(r, 1, row.school);
        ws.setText(r, 2, row.affiliation);
        ws.setText(r, 3, row.name);
        setNumberIf(ws, r, 4, row.grade);
        setNumberIf(ws, r, 5, row.teamCode);
        setNumberIf(ws, r, 6, row.teamSeed);
        setNumberIf(ws, r, 7, row.doublesNo);
        setNumberIf(ws, r, 8, row.doublesSeed);
        setNumberIf(ws, r, 9, row.singlesNo);
        setNumberIf(ws, r, 10, row.singlesSeed);
        setNumberIf(ws, r, 11, row.block);
        ++r;
    }
    ws.setHorizontalAlignment("A:A,D:K", xl::HAlignCenter);
    widths(ws, {5, 14, 16, 5, 6, 9, 7, 8, 7, 8, 8});
}

void writeLeagueSheet(Worksheet& ws, const std::vector<LeagueRow>& rows) {
    headerRow(ws, 1, {"", "所属", "氏名", "性別", "区分", "部", "ｴﾝﾄﾘｰ", "前回G"});
    ws.setText(1, 10, "性別 1:男 2:女　区分＝学年　ｴﾝﾄﾘｰ 1:出場 2:シード 空欄:今回不参加");
    int r = 2;
    for (const LeagueRow& row : rows) {
        ws.setNumber(r, 1, row.school);
        ws.setText(r, 2, row.affiliation);
        ws.setText(r, 3, row.name);
        ws.setNumber(r, 4, row.sex);
        ws.setNumber(r, 5, row.category);
        ws.setNumber(r, 6, row.division);
        setNumberIf(ws, r, 7, row.entry);
        setNumberIf(ws, r, 8, row.previousGroup);
        ++r;
    }
    ws.setHorizontalAlignment("A:A,D:H", xl::HAlignCenter);
    widths(ws, {5, 14, 16, 6, 6, 5, 7, 7, 4});
}

// "集計": one row per school from row 4; the reader writes the counts. The participant list
// reads this sheet from row 1 and stops at the first empty column B, so the three heading
// rows all carry "学校名" there and fold into one heading line of that list.
void writeTally(Worksheet& ws, const std::vector<School>& schools) {
    ws.setText(1, 1, "集計");
    ws.setText(1, 2, "学校名");
    ws.setText(2, 2, "学校名");
    ws.setText(2, 3, "男子");
    ws.setText(2, 7, "女子");
    ws.setText(2, 11, "ミックス");
    headerRow(ws, 3,
              {"No", "学校名", "男子Ｔ/部別", "男子Ｄ", "男子Ｓ", "男子ＪＳ", "女子Ｔ", "女子Ｄ",
               "女子Ｓ", "女子ＪＳ", "ミックスＤ"});
    ws.setFont("A1:K2", FontChange{.bold = true});
    for (const School& school : schools) {
        ws.setNumber(3 + school.number, 1, school.number);
        ws.setText(3 + school.number, 2, school.name);
    }
    ws.setHorizontalAlignment("A:A,C:K", xl::HAlignCenter);
    widths(ws, {5, 14, 12, 8, 8, 9, 8, 8, 8, 9, 11});
}

// "集計R": row 3 + school number; the reader writes the division counts into D, E and F.
void writeDivisionTally(Worksheet& ws, const std::vector<School>& schools) {
    ws.setText(1, 1, "個人リーグ　部別集計");
    ws.setFont("A1", FontChange{.bold = true});
    headerRow(ws, 3, {"No", "学校名", "", "１部", "２部", "３部"});
    for (const School& school : schools) {
        ws.setNumber(3 + school.number, 1, school.number);
        ws.setText(3 + school.number, 2, school.name);
    }
    ws.setHorizontalAlignment("A:A,D:F", xl::HAlignCenter);
    widths(ws, {5, 14, 3, 7, 7, 7});
}

// "基礎Ｄ": rows 3 to 7 are written by the program, one column per event. Column E serves
// both the men's junior singles and the women's singles.
void writeSummary(Worksheet& ws) {
    ws.setText(1, 1, "基礎データ");
    ws.setFont("A1", FontChange{.bold = true});
    headerRow(ws, 2,
              {"項目", "男子Ｓ", "男子Ｄ", "男子Ｔ", "男子ＪＳ/女子Ｓ", "女子Ｄ", "女子Ｔ", "",
               "女子ＪＳ", "ミックス"});
    const std::vector<std::string> labels = {"タイムテーブル", "ページ数", "学校数", "エントリー数",
                                             "シード数"};
    for (size_t i = 0; i < labels.size(); ++i) ws.setText(3 + static_cast<int>(i), 1, labels[i]);
    ws.setFont("A3:A7", FontChange{.bold = true});
    ws.setHorizontalAlignment("B:J", xl::HAlignCenter);
    widths(ws, {14, 8, 8, 8, 15, 8, 8, 4, 9, 9});
}

// "入替": the office lists position pairs in A and B from row 1, so the notes stand aside.
void writeExchange(Worksheet& ws) {
    ws.setText(1, 4, "入替リスト");
    ws.setText(2, 4, "A列：移す選手の位置番号　B列：移し先の位置番号（1行目から、最大100行）");
    ws.setText(3, 4, "2人を入れ替えるときは 3→7 と 7→3 の2行を書く");
    ws.setFont("D1", FontChange{.bold = true});
    widths(ws, {8, 8, 3, 60});
}

// "申込書": A4 school number, B6 school name, E6 the section, row 8 the headings (the
// program rewrites C8:F8), rows 9 to 40 the players.
void writeEntryForm(Worksheet& ws) {
    ws.setText(1, 2, "参　加　申　込　書");
    ws.setFont("B1", FontChange{.size = 16, .bold = true});
    ws.setText(3, 1, "学校No");
    ws.setText(5, 2, "学校名");
    ws.setText(5, 5, "種別");
    ws.setFont("A3:E5", FontChange{.bold = true});
    headerRow(ws, 8, {"No", "氏名", "学年", "団体", "Ｄ", "Ｓ"});
    for (int k = 1; k <= 32; ++k) ws.setNumber(8 + k, 1, k);
    ws.setAllBorders("A8:F40", BorderChange{.lineStyle = xl::Continuous});
    ws.setBorder("A4", xl::EdgeBottom, BorderChange{.lineStyle = xl::Continuous});
    ws.setBorder("B6:C6", xl::EdgeBottom, BorderChange{.lineStyle = xl::Continuous});
    ws.setBorder("E6", xl::EdgeBottom, BorderChange{.lineStyle = xl::Continuous});
    ws.setText(42, 2, "上記の者は本校在学生であり、標記大会への参加を申し込みます。");
    ws.setText(44, 2, "令和　　年　　月　　日");
    ws.setText(45, 3, "学校長");
    ws.setText(45, 6, "印");
    ws.setText(46, 3, "引率責任者");
    ws.setText(46, 6, "印");
    ws.setHorizontalAlignment("A:A,C:F", xl::HAlignCenter);
    ws.setHorizontalAlignment("B42:B46", xl::HAlignLeft);
    ws.setAlignment("A9:A40", AlignmentChange{.vertical = xl::VAlignCenter});
    widths(ws, {7, 18, 12, 8, 8, 8});
}

int countEntries(const std::vector<EntryRow>& rows, int EntryRow::*column, bool pairs) {
    int n = 0;
    for (const EntryRow& row : rows)
        if (row.*column) ++n;
    return pairs ? n / 2 : n;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_sample TEMPLATE.xlsx OUTPUT.xlsx\n";
        return 2;
    }
    try {
        Dice dice(kSeed);
        Namer namer(dice);
        const std::vector<School> schools = makeSchools();

        SexSettings menSettings{.boys = true,
                                .absent = {},
                                .crossPairs = {{11, 15}, {22, 8}, {30, 34}},
                                .singlesSeeds = 12,
                                .doublesSeeds = 4,
                                .teamSeeds = 4};
        SexSettings womenSettings{.boys = false,
                                  .absent = {29},
                                  .crossPairs = {{3, 5}, {24, 32}, {27, 12}},
                                  .singlesSeeds = 10,
                                  .doublesSeeds = 4,
                                  .teamSeeds = 4};
        const SexSheet men = makeSexSheet(dice, namer, schools, menSettings);
        const SexSheet women = makeSexSheet(dice, namer, schools, womenSettings);
        const std::vector<EntryRow> mixed = makeMixed(dice, schools, men, women);
        const std::vector<LeagueRow> league = makeLeague(dice, schools, men, women);

        std::unique_ptr<Workbook> wb = Workbook::open(argv[1]);
        writeEntrySheet(freshSheet(*wb, "男子"), men.rows);
        writeEntrySheet(freshSheet(*wb, "女子"), women.rows);
        writeEntrySheet(freshSheet(*wb, "ミックス"), mixed, true);
        writeLeagueSheet(freshSheet(*wb, "個人リーグ"), league);
        writeTally(freshSheet(*wb, "集計"), schools);
        writeDivisionTally(freshSheet(*wb, "集計R"), schools);
        writeSummary(freshSheet(*wb, "基礎Ｄ"));
        writeExchange(freshSheet(*wb, "入替"));
        writeEntryForm(freshSheet(*wb, "申込書"));
        // The sheets the brackets are built on: organisers keep one per event, empty at first.
        for (const char* bracket : {"男子Ｓ", "男子Ｄ", "男子Ｔ", "男子ＪＳ", "女子Ｓ", "女子Ｄ",
                                    "女子Ｔ", "女子ＪＳ", "ミックスＤ"})
            freshSheet(*wb, bracket);
        wb->activate("男子");
        wb->saveAs(argv[2]);

        for (const auto& [title, sheet] : {std::pair{"男子", &men}, std::pair{"女子", &women}})
            std::cout << title << ": " << sheet->players.size() << " 校, " << sheet->rows.size()
                      << " 行, シングルス "
                      << countEntries(sheet->rows, &EntryRow::singlesNo, false) << ", ダブルス "
                      << countEntries(sheet->rows, &EntryRow::doublesNo, true) << " 組, 団体 "
                      << std::count_if(sheet->rows.begin(), sheet->rows.end(),
                                       [](const EntryRow& r) { return r.teamCode == 1; })
                      << " チーム\n";
        std::cout << "ミックス: " << mixed.size() / 2 << " 組\n"
                  << "個人リーグ: " << league.size() << " 名\n"
                  << argv[2] << "\n";
        return 0;
    } catch (const tombra::sheet::WorkbookError& e) {
        std::cerr << "make_sample: " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "make_sample: " << e.what() << "\n";
        return 1;
    }
}
