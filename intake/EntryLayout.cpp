#include "intake/EntryLayout.h"

namespace tombra::intake {

EntryLayout entryLayout(const std::string& gender, const std::string& event) {
    const bool men = gender == "男子";
    if (event == "ダブルス")
        return {EntryKind::Doubles, 7, 8, men ? 4 : gender == "ミックス" ? 11 : 8};
    if (event == "団体") return {EntryKind::Team, 5, 6, men ? 3 : 7};
    if (event == "ジュニア") return {EntryKind::Singles, 9, 10, men ? 6 : 10};
    if (event == "１部" || event == "２部" || event == "３部") {
        const int division = event == "１部" ? 1 : event == "２部" ? 2 : 3;
        return {EntryKind::Division, 7, 0, 3, division};
    }
    return {EntryKind::Singles, 9, 10, men ? 5 : 9};
}

int summaryColumn(const std::string& gender, const std::string& event) {
    if (gender == "ミックス") return 10;
    const bool men = gender == "男子";
    if (!men && gender != "女子") return 0;
    if (event == "シングルス") return men ? 2 : 5;
    if (event == "ダブルス") return men ? 3 : 6;
    if (event == "団体") return men ? 4 : 7;
    if (event == "ジュニア") return men ? 5 : 9;
    return 0;
}

}  // namespace tombra::intake
