#include "gui/MessageBox.h"

#include <QAbstractButton>
#include <QPushButton>

#include "gui/ProgramLook.h"

namespace tombra::gui {

namespace {
const char* const kAnswerProperty = "tombraAnswer";

ui::Answer closedAnswer(ui::Buttons buttons) {
    switch (buttons) {
        case ui::Buttons::Ok:
            return ui::Answer::Ok;
        case ui::Buttons::OkCancel:
            return ui::Answer::Cancel;
        case ui::Buttons::YesNo:
            return ui::Answer::No;
        case ui::Buttons::YesNoCancel:
            return ui::Answer::Cancel;
    }
    return ui::Answer::Ok;
}
}  // namespace

std::unique_ptr<QMessageBox> makeMessageBox(const std::string& text, ui::Buttons buttons,
                                            QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(kProgramTitle);
    box->setTextFormat(Qt::PlainText);  // a "<" in a message is text, not markup
    box->setText(QString::fromStdString(text));
    auto add = [&](ui::Answer answer, QMessageBox::ButtonRole role) {
        QPushButton* b = box->addButton(QString::fromUtf8(ui::answerText(answer)), role);
        b->setProperty(kAnswerProperty, int(answer));
        return b;
    };
    switch (buttons) {
        case ui::Buttons::Ok:
            box->setDefaultButton(add(ui::Answer::Ok, QMessageBox::AcceptRole));
            break;
        case ui::Buttons::OkCancel:
            box->setDefaultButton(add(ui::Answer::Ok, QMessageBox::AcceptRole));
            box->setEscapeButton(add(ui::Answer::Cancel, QMessageBox::RejectRole));
            break;
        case ui::Buttons::YesNo:
            box->setDefaultButton(add(ui::Answer::Yes, QMessageBox::YesRole));
            box->setEscapeButton(add(ui::Answer::No, QMessageBox::NoRole));
            break;
        case ui::Buttons::YesNoCancel:
            add(ui::Answer::Yes, QMessageBox::YesRole);
            add(ui::Answer::No, QMessageBox::NoRole);
            box->setDefaultButton(add(ui::Answer::Cancel, QMessageBox::RejectRole));
            box->setEscapeButton(box->defaultButton());
            break;
    }
    return box;
}

ui::Answer answerOf(const QMessageBox& box, ui::Buttons buttons) {
    const QAbstractButton* clicked = box.clickedButton();
    if (!clicked || !clicked->property(kAnswerProperty).isValid()) return closedAnswer(buttons);
    return static_cast<ui::Answer>(clicked->property(kAnswerProperty).toInt());
}

ui::Answer askUser(const std::string& text, ui::Buttons buttons, QWidget* parent) {
    auto box = makeMessageBox(text, buttons, parent);
    box->exec();
    return answerOf(*box, buttons);
}

}  // namespace tombra::gui
