#include "ui/Shell.h"

namespace tombra::ui {

const char* answerText(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return "OK";
        case Answer::Cancel:
            return "キャンセル";
        case Answer::Yes:
            return "はい";
        case Answer::No:
            return "いいえ";
    }
    return "OK";
}

const char* buttonsText(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return "OK";
        case Buttons::OkCancel:
            return "OKキャンセル";
        case Buttons::YesNo:
            return "はいいいえ";
        case Buttons::YesNoCancel:
            return "はいいいえキャンセル";
    }
    return "OK";
}

}  // namespace tombra::ui
