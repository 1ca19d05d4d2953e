#include "intake/EntryReader.h"

#include <array>
#include <cctype>
#include <cmath>

#include "intake/SurnameExtraction.h"
#include "session/Session.h"
#include "sheet/Constants.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "state/EntryCode.h"
#include "state/Numbers.h"

namespace tombra::intake {

namespace {

using sheet::Area;
using sheet::CellValue;
using sheet::Worksheet;

constexpr int kMaxEntryNo = 99;
constexpr int kMaxSeedNo = 1024;
constexpr int kMaxTeamSchoolNo = 150;
// Team codes: a school's team k has the codes (k - 1) x 10 + 1 .. + 9, its first row ending
// in 1; eight teams (A to H) are as many as the team letters name.
constexpr int kMaxTeamCode = 79;
constexpr int kMaxBlockNo = 128;
constexpr int kTallyFirstRow = 4;
constexpr int kTallyLastRow = 200;
constexpr int kTableRows = 300;
constexpr std::array<const char*, 8> kTeamLetters{"A", "B", "C", "D", "E", "F", "G", "H"};

// What the reader calls a number when a cell reads as one for the draw and the tables.
double numberIn(const CellValue& value) {
    if (value.isNumber()) return value.asNumber();
    if (value.isText()) return readNumber(value.asText());
    return 0;
}

struct BadValue {
    int row = 0;
    std::string what;
    std::string text;
    long long low = 0, high = 0;
};

// A cell the reader needs holds a formula whose result was never stored: reading it as empty
// would skip the row without a word.
struct FormulaWithoutValue {
    int row = 0;
    int column = 0;
};

struct DuplicateTeam {
    std::string affiliation;
};

class EntryReader {
  public:
    // `entries` may be null only for stand-in entries, which read no sheet.
    EntryReader(Session& session, sheet::Workbook& workbook, Worksheet* entries)
        : session_(session),
          s_(session.state),
          workbook_(workbook),
          entries_(entries),
          layout_(entryLayout(s_.GenderName, s_.EventName)) {}

    void run();

  private:
    enum class Outcome { Read, StoppedAtRow, Ended };

    void showProgress();
    void prepareTally();
    void writeTally(int school);
    Outcome readRows();
    void ruleUnderSchool(int row);
    // A cell of the entry sheet being read; FormulaWithoutValue when it has no value to read.
    CellValue valueAt(int row, int column) const;
    std::string textAt(int row, int column) const { return valueAt(row, column).asText(); }
    // The row's number in `column`, checked against low..high (empty reads as 0 and is
    // checked too).
    long long number(int row, int column, const char* what, long long low, long long high);
    void readSingle(int row, int school, int entry);
    void readDoublesRow(int row, int school, int entry);
    bool readTeamRow(int row, int school, int code);  // false: duplicate, the command ends
    void readDivisionRow(int row, int school);
    void readBlock(int row, int school);
    void listSchoolsAndSeeds();
    void writeSummary();
    bool checkPairsComplete();
    void shortenNames();
    void reportCounts();
    void addTeamLetters();
    std::string schoolName(int school) const;

    Session& session_;
    TournamentState& s_;
    sheet::Workbook& workbook_;
    Worksheet* entries_;
    EntryLayout layout_;
    Worksheet* tally_ = nullptr;
    std::array<int, 201> tallyRow_{};
    std::array<std::array<int, kMaxTeamCode + 1>, kMaxTeamSchoolNo + 1> teamRows_{};
    int entryCount_ = 0;
    int schoolCount_ = 0;
    int teamSeeds_ = 0;
    int highestSeed_ = 0;
};

void EntryReader::showProgress() {
    int r = 1;
    for (; r <= s_.MaxEntryRows; r += 20)
        if (entries_->value(r, kAffiliationColumn).isEmpty()) break;
    ui::ProgressDialog& progress = session_.progress;
    progress.start(s_.GenderName + s_.EventName + " の読込中", 0, r + 1);
}

void EntryReader::prepareTally() {
    tally_ = workbook_.findSheet("集計");
    if (!tally_) return;
    for (int r = kTallyFirstRow; r <= kTallyLastRow; ++r) {
        tally_->clearContents(Area::cell(r, layout_.tallyColumn));
        const long long school = roundToInteger(numberIn(tally_->value(r, kSchoolColumn)));
        if (school == 0) break;
        if (school > 0 && school < static_cast<long long>(tallyRow_.size())) tallyRow_[school] = r;
    }
}

void EntryReader::writeTally(int school) {
    if (tally_ && tallyRow_[school] != 0)
        tally_->setNumber(tallyRow_[school], layout_.tallyColumn, s_.SchoolEntryCount(school));
}

void EntryReader::ruleUnderSchool(int row) {
    // The row below the last one read is looked at too: it may start a school of its own.
    if (numberIn(entries_->value(row, kSchoolColumn)) <
        numberIn(entries_->value(row + 1, kSchoolColumn)))
        entries_->setBorder(Area{row, 1, row, s_.EntryRuleLastColumn}, sheet::xl::EdgeBottom,
                            {sheet::xl::Continuous, {}, {}});
}

CellValue EntryReader::valueAt(int row, int column) const {
    CellValue value = entries_->value(row, column);
    if (value.isFormulaWithoutValue()) throw FormulaWithoutValue{row, column};
    return value;
}

long long EntryReader::number(int row, int column, const char* what, long long low,
                              long long high) {
    const CellValue value = valueAt(row, column);
    const std::optional<long long> n = wholeNumberIn(value);
    if (!n || *n < low || *n > high) throw BadValue{row, what, value.asText(), low, high};
    return *n;
}

void EntryReader::readBlock(int row, int school) {
    if (s_.BlockMode != 1) return;
    const long long block = number(row, kBlockColumn, "ブロック番号", 0, kMaxBlockNo);
    if (block == 0) return;
    s_.SchoolBlock(school) = static_cast<Integer>(block);
    s_.BlockCount = std::max<Integer>(s_.BlockCount, static_cast<Integer>(block));
}

void EntryReader::readSingle(int row, int school, int entry) {
    s_.SchoolEntryCount(school) += 1;
    const int j = ++entryCount_;
    writeTally(school);
    s_.EntryName(school, entry) = textAt(row, kNameColumn);
    s_.EntryPresence(school, entry) = 1;
    s_.EntryAffiliation(school, entry) = textAt(row, kAffiliationColumn);
    // The singles league draws from this table: school, names, number and seed of each entry
    // in row order, as far as the table reaches.
    if (j <= kTableRows) {
        s_.EntryTable(j, 1) = textAt(row, kSchoolColumn);
        s_.EntryTable(j, 2) = s_.EntryAffiliation(school, entry);
        s_.EntryTable(j, 3) = s_.EntryName(school, entry);
        s_.EntryTable(j, 4) = textAt(row, layout_.numberColumn);
        s_.EntryTable(j, 5) = textAt(row, layout_.seedColumn);
    }
    readBlock(row, school);
}

void EntryReader::readDoublesRow(int row, int school, int entry) {
    const float v = s_.EntryPresence(school, entry) + 0.5f;
    s_.EntryPresence(school, entry) = v;
    if (v == 1) {
        s_.SchoolEntryCount(school) += 1;
        ++entryCount_;
    }
    writeTally(school);
    const std::string name = textAt(row, kNameColumn);
    const std::string affiliation = textAt(row, kAffiliationColumn);
    if (v == 0.5f) {
        s_.EntryName(school, entry) = name + (s_.DoublesLineBreak == 1 ? "\n" : "・");
        s_.EntryAffiliation(school, entry) = affiliation;
    } else {
        s_.EntryName(school, entry) += name;
        // A pair from two schools shows both.
        if (affiliation != s_.EntryAffiliation(school, entry))
            s_.EntryAffiliation(school, entry) += "・" + affiliation;
    }
    readBlock(row, school);
}

bool EntryReader::readTeamRow(int row, int school, int code) {
    int& seen = teamRows_[school][code];
    if (seen != 0) {
        session_.tell(entries_->text(row, kAffiliationColumn) + ":DATA重複あり_強制終了します");
        session_.progress.hide();
        return false;
    }
    ++seen;
    if (code % 10 != 1) return true;

    s_.SchoolEntryCount(school) += 1;
    const int j = ++entryCount_;
    if (j > kTableRows) throw BadValue{row, "チーム数", std::to_string(j), 1, kTableRows};
    writeTally(school);
    const std::string affiliation = textAt(row, kAffiliationColumn);
    const long long seed = number(row, kTeamSeedColumn, "シード番号", 0, kMaxSeedNo);
    s_.EntryAffiliation(school, 1) = affiliation;
    s_.EntryTable(j, 1) = textAt(row, kSchoolColumn);
    s_.EntryTable(j, 2) = affiliation;
    s_.EntryTable(j, 3) = textAt(row, kTeamSeedColumn);
    s_.EntryTable(j, 4) = std::to_string(code);
    if (seed > 0) ++teamSeeds_;
    const int team = code / 10 + 1;
    s_.EntryName(school, team) = affiliation;
    s_.EntryPresence(school, team) = 1;
    s_.EntryCount = static_cast<Integer>(j);
    s_.SeedCount = static_cast<Integer>(teamSeeds_);
    return true;
}

void EntryReader::readDivisionRow(int row, int school) {
    const long long division = number(row, kTeamSeedColumn, "部", 0, 99);
    const long long grade = number(row, layout_.numberColumn, "番号", 0, kMaxEntryNo);
    if (division != layout_.division || grade <= 0) return;
    s_.SchoolEntryCount(school) += 1;
    s_.EntryAffiliation(school, 1) = textAt(row, kAffiliationColumn);
    if (grade == 2) s_.SeedCount += 1;
    const int j = ++entryCount_;
    if (j > kTableRows) throw BadValue{row, "エントリー数", std::to_string(j), 1, kTableRows};
    if (Worksheet* divisions = workbook_.findSheet("集計R"))
        divisions->setNumber(school + 3, 3 + layout_.division, s_.SchoolEntryCount(school));
    for (int k = 1; k <= s_.EntryRuleLastColumn; ++k) s_.EntryTable(j, k) = textAt(row, k);
}

EntryReader::Outcome EntryReader::readRows() {
    const bool team = layout_.kind == EntryKind::Team;
    const int maxSchool = team ? kMaxTeamSchoolNo : s_.MaxSchoolNo;
    for (int r = 1; r <= s_.MaxEntryRows; ++r) {
        session_.progress.setValue(r);
        try {
            if (valueAt(r, kSchoolColumn).isEmpty()) continue;
            ruleUnderSchool(r);
            if (valueAt(r, layout_.numberColumn).isEmpty()) continue;
            const int school = static_cast<int>(number(r, kSchoolColumn, "学校番号", 1, maxSchool));
            if (layout_.kind == EntryKind::Division) {
                readDivisionRow(r, school);
                continue;
            }
            const int entry = static_cast<int>(
                team ? number(r, layout_.numberColumn, "チーム番号", 1, kMaxTeamCode)
                     : number(r, layout_.numberColumn, "番号", 1, kMaxEntryNo));
            const int seed =
                static_cast<int>(number(r, layout_.seedColumn, "シード番号", 0, kMaxSeedNo));
            if (seed > 0)
                s_.PositionEntry(seed) = team
                                             ? static_cast<float>(school + (entry / 10.0 + 1) / 100)
                                             : encodeEntry(school, entry);
            switch (layout_.kind) {
                case EntryKind::Singles:
                    if (!s_.EntryName(school, entry).empty()) {
                        session_.tell(s_.EntryAffiliation(school, entry) +
                                      ":DATAにダブりあり_強制終了します");
                        return Outcome::StoppedAtRow;
                    }
                    readSingle(r, school, entry);
                    break;
                case EntryKind::Doubles:
                    // A pair has two rows; a third is as much a duplicate as a fourth.
                    if (s_.EntryPresence(school, entry) >= 1) {
                        session_.tell(s_.EntryAffiliation(school, entry) +
                                      ":DATAにダブりあり_強制終了します");
                        return Outcome::StoppedAtRow;
                    }
                    readDoublesRow(r, school, entry);
                    break;
                case EntryKind::Team:
                    if (!readTeamRow(r, school, entry)) return Outcome::Ended;
                    break;
                case EntryKind::Division:
                    break;
            }
        } catch (const BadValue& bad) {
            session_.tell("「" + entries_->name() + "」シートの " + std::to_string(bad.row) +
                          " 行目: " + bad.what + "「" + bad.text + "」は使えません（" +
                          std::to_string(bad.low) + "～" + std::to_string(bad.high) +
                          " の整数）\nこの行の前までを読み込みました");
            return Outcome::StoppedAtRow;
        } catch (const FormulaWithoutValue& missing) {
            session_.tell("「" + entries_->name() + "」シートの " + std::to_string(missing.row) +
                          " 行目: " + sheet::cellReference(missing.row, missing.column) +
                          " の数式の値がありません。表計算ソフトで一度保存してください\n"
                          "この行の前までを読み込みました");
            return Outcome::StoppedAtRow;
        }
    }
    return Outcome::Read;
}

std::string EntryReader::schoolName(int school) const {
    for (int e = 1; e <= kMaxEntryNo; ++e)
        if (!s_.EntryAffiliation(school, e).empty()) return s_.EntryAffiliation(school, e);
    return {};
}

// A school whose entry numbers have a gap is named, and the seed list is then left out.
void EntryReader::listSchoolsAndSeeds() {
    ui::LogPane& log = session_.log;
    if (s_.GenderName == "個人リーグ") {
        log.clear();
        for (int s = 1; s <= s_.MaxSchoolNo; ++s)
            if (s_.SchoolEntryCount(s) > 0)
                log.append(s_.EntryAffiliation(s, 1) + ":" + numberText(s_.SchoolEntryCount(s)));
        return;
    }
    log.append("エントリー数");
    s_.MaxSchoolEntries = 0;
    for (int s = 1; s <= s_.MaxSchoolNo; ++s) {
        const int count = s_.SchoolEntryCount(s);
        if (count <= 0) continue;
        if (layout_.kind != EntryKind::Team) {
            for (int e = 1; e <= count; ++e) {
                if (s_.EntryName(s, e).empty()) {
                    session_.tell(schoolName(s) + numberText(e) +
                                  "　番が空白です\n強制終了します ");
                    return;
                }
            }
        }
        ++schoolCount_;
        log.append(s_.EntryAffiliation(s, 1) + "：" + numberText(count));
        s_.MaxSchoolEntries = std::max(s_.MaxSchoolEntries, static_cast<Integer>(count));
    }
    log.append("");
    log.append("シード選手");
    for (int q = 1; q <= kMaxSeedNo; ++q) {
        if (s_.PositionEntry(q) == 0) continue;
        const DecodedEntry at = decodeEntry(s_.PositionEntry(q));
        s_.SchoolSeedCount(at.school) += 1;
        highestSeed_ = q;
        log.append(numberText(q) + "：" + s_.EntryName(at.school, at.entry) + "(" +
                   s_.EntryAffiliation(at.school, at.entry) + ")");
    }
}

void EntryReader::writeSummary() {
    const int column = summaryColumn(s_.GenderName, s_.EventName);
    if (column == 0) return;
    if (Worksheet* summary = workbook_.findSheet("基礎Ｄ")) {
        summary->setNumber(5, column, schoolCount_);
        summary->setNumber(6, column, entryCount_);
        summary->setNumber(7, column, highestSeed_);
    }
}

bool EntryReader::checkPairsComplete() {
    if (layout_.kind != EntryKind::Doubles) return true;
    for (int s = 1; s <= s_.MaxSchoolNo; ++s)
        for (int e = 1; e <= kMaxEntryNo; ++e)
            if (s_.EntryPresence(s, e) == 0.5f) {
                session_.tell(schoolName(s) + " " + numberText(e) + "　番のペアに不備");
                return false;
            }
    return true;
}

void EntryReader::shortenNames() {
    if (s_.ExtractSurname != 1 || s_.GenderName == "個人リーグ") return;
    if (layout_.kind != EntryKind::Singles && layout_.kind != EntryKind::Doubles) return;
    for (int s = 1; s <= s_.MaxSchoolNo; ++s) {
        const int count = s_.SchoolEntryCount(s);
        if (count <= 0) continue;
        std::vector<std::string> names;
        for (int e = 1; e <= count; ++e) names.push_back(s_.EntryName(s, e));
        if (layout_.kind == EntryKind::Doubles)
            extractPairSurnames(names);
        else
            extractSurnames(names);
        for (int e = 1; e <= count; ++e) s_.EntryName(s, e) = names[e - 1];
    }
}

void EntryReader::reportCounts() {
    if (s_.GenderName == "個人リーグ") {
        session_.tell("エントリー数\n" + numberText(entryCount_) + "名\nシード数＝" +
                      numberText(s_.SeedCount) + "名");
        s_.EntryCount = static_cast<Integer>(entryCount_);
        s_.SchoolCount = 0;
        return;
    }
    const bool team = layout_.kind == EntryKind::Team;
    session_.tell("エントリー数\n" + numberText(entryCount_) + (team ? "チーム  <" : "名  <") +
                  numberText(schoolCount_) + "校>\nシード数＝" + numberText(highestSeed_));
    if (team) {
        s_.SeedCount = static_cast<Integer>(teamSeeds_);
        s_.SchoolCount = static_cast<Integer>(entryCount_);
        return;
    }
    s_.EntryCount = static_cast<Integer>(entryCount_);
    s_.SeedCount = static_cast<Integer>(highestSeed_);
    s_.PageCount = static_cast<Integer>(roundToInteger(entryCount_ / 80.0));
    s_.SchoolCount = static_cast<Integer>(schoolCount_);
}

void EntryReader::addTeamLetters() {
    for (int j = 1; j <= s_.SchoolCount; ++j) {
        const long long school = roundToInteger(readNumber(s_.EntryTable(j, 1)));
        if (school < 1 || school > kMaxTeamSchoolNo || s_.SchoolEntryCount(school) <= 1) continue;
        const long long letter = truncateToInteger(readNumber(s_.EntryTable(j, 4)) / 10);
        if (letter >= 0 && letter < static_cast<long long>(kTeamLetters.size()))
            s_.EntryTable(j, 2) += kTeamLetters[letter];
    }
    if (s_.AutoTeamLetters != 1) return;
    for (int s = 1; s <= kMaxTeamSchoolNo; ++s) {
        if (s_.SchoolEntryCount(s) <= 1) continue;
        for (int e = 1; e <= kMaxEntryNo && !s_.EntryName(s, e).empty(); ++e)
            if (e <= static_cast<int>(kTeamLetters.size()))
                s_.EntryName(s, e) += kTeamLetters[e - 1];
    }
}

void EntryReader::run() {
    // "ヤグラ印刷のみ": the settings made numbered stand-ins for the entries. The sheet's own
    // rows would only collide with them, and its tallies keep the real counts.
    if (s_.BracketPrintOnly == "Y") {
        for (int s = 1; s <= s_.SchoolEntryCount.upper(); ++s)
            entryCount_ += std::max<int>(0, s_.SchoolEntryCount(s));
        listSchoolsAndSeeds();
        reportCounts();
        return;
    }
    showProgress();
    prepareTally();
    entries_->setAllBorders(Area::wholeSheet(), {sheet::xl::LineStyleNone, {}, {}});
    if (layout_.kind == EntryKind::Division)
        if (Worksheet* divisions = workbook_.findSheet("集計R"))
            divisions->clearContents(Area{4, 3 + layout_.division, 200, 3 + layout_.division});

    if (readRows() == Outcome::Ended) return;

    listSchoolsAndSeeds();
    writeSummary();
    session_.progress.hide();
    if (!checkPairsComplete()) return;
    shortenNames();
    reportCounts();
    if (layout_.kind == EntryKind::Team) addTeamLetters();
}

}  // namespace

std::optional<long long> wholeNumberIn(const CellValue& value) {
    if (value.isEmpty()) return 0;
    double number = 0;
    if (value.isNumber()) {
        number = value.asNumber();
    } else if (value.isText()) {
        // A number typed as text counts by its leading number ("1番" is 1); text that does
        // not start with one is no number at all.
        const std::string text(trimBlanks(value.asText()));
        if (text.empty()) return 0;
        auto digit = [&text](size_t i) {
            return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
        };
        const size_t at = text[0] == '+' || text[0] == '-' ? 1 : 0;
        if (!digit(at) && !(at < text.size() && text[at] == '.' && digit(at + 1)))
            return std::nullopt;
        number = readNumber(text);
    } else {
        return std::nullopt;
    }
    // A fraction is refused rather than rounded into another school's or seed's number.
    if (!std::isfinite(number) || std::abs(number - std::round(number)) > 1e-9) return std::nullopt;
    return roundToInteger(number);
}

void readEntries(Session& session, sheet::Workbook& workbook) {
    Worksheet* entries = workbook.findSheet(session.state.GenderName);
    if (!entries && session.state.BracketPrintOnly != "Y") {
        session.tell("「" + session.state.GenderName + "」シートがありません");
        return;
    }
    EntryReader(session, workbook, entries).run();
}

}  // namespace tombra::intake
