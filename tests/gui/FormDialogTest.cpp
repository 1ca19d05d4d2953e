#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "gui/FormDialog.h"
#include "gui/GuiFixture.h"
#include "intake/SettingsDialogs.h"

namespace tombra::test {
namespace {

using ui::ControlKind;

std::string str(const QString& s) { return s.toStdString(); }

// A settings-like dialog: two frames of options, a box that enables a text, a label that
// follows the chosen option, and an OK that refuses an empty name.
const ui::FormSpec& sampleSpec() {
    static const ui::FormSpec declaration = [] {
        ui::FormSpec s;
        s.name = "FormT";
        s.caption = "初期設定";
        s.controls = {
            {"Frame1", ControlKind::Frame, "性別"},
            {"Option1", ControlKind::OptionButton, "男子", "Frame1", true},
            {"Option2", ControlKind::OptionButton, "女子", "Frame1"},
            {"Frame2", ControlKind::Frame, "種目"},
            {"Option3", ControlKind::OptionButton, "シングルス", "Frame2"},
            {"Option4", ControlKind::OptionButton, "ダブルス", "Frame2", true},
            {"Check1", ControlKind::CheckBox, "終了時エクセルを残す", "", true},
            {"Label1", ControlKind::Label, "大会名"},
            {"Text1", ControlKind::TextBox, "", "", false, ""},
            {"Label2", ControlKind::Label, "男子の部"},
            {"Text2", ControlKind::TextBox, "", "", false, "備考", true},
            {"Command1", ControlKind::CommandButton, "OK"},
            {"Command2", ControlKind::CommandButton, "ｷｬﾝｾﾙ"},
        };
        s.okButton = "Command1";
        s.cancelButton = "Command2";
        s.onChange = [](ui::Form& f, const std::string& control) {
            if (control == "Option1" || control == "Option2")
                f.setText("Label2", f.value("Option2") ? "女子の部" : "男子の部");
            if (control == "Check1") f.setEnabled("Text2", f.value("Check1"));
        };
        s.onButton = [](ui::Form& f, const std::string& button) {
            return button != "Command1" || !f.text("Text1").empty();
        };
        return s;
    }();
    return declaration;
}

template <class W>
W* widget(QWidget* dialog, const char* name) {
    W* w = dialog->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

TEST(FormDialog, RendersFramesOptionsChecksTextsAndButtons) {
    GuiProgram p;
    ui::Form& form = p.session.forms.get(sampleSpec());
    onNextModal([&](QWidget* d) {
        EXPECT_EQ(str(d->objectName()), "FormT");
        EXPECT_EQ(str(d->windowTitle()), "初期設定");
        auto* sex = widget<QGroupBox>(d, "Frame1");
        auto* event = widget<QGroupBox>(d, "Frame2");
        ASSERT_TRUE(sex && event);
        EXPECT_EQ(str(sex->title()), "性別");
        EXPECT_EQ(str(event->title()), "種目");
        auto* men = widget<QRadioButton>(d, "Option1");
        auto* women = widget<QRadioButton>(d, "Option2");
        auto* singles = widget<QRadioButton>(d, "Option3");
        auto* doubles = widget<QRadioButton>(d, "Option4");
        ASSERT_TRUE(men && women && singles && doubles);
        // Each option sits in its own frame, and the frames are separate groups.
        EXPECT_TRUE(sex->isAncestorOf(men) && sex->isAncestorOf(women));
        EXPECT_TRUE(event->isAncestorOf(singles) && !sex->isAncestorOf(singles));
        EXPECT_EQ(str(men->text()), "男子");
        EXPECT_TRUE(men->isChecked());
        EXPECT_TRUE(doubles->isChecked());
        ASSERT_NE(men->group(), nullptr);
        EXPECT_TRUE(men->group()->exclusive());
        EXPECT_NE(men->group(), singles->group());

        auto* keep = widget<QCheckBox>(d, "Check1");
        ASSERT_NE(keep, nullptr);
        EXPECT_EQ(str(keep->text()), "終了時エクセルを残す");
        EXPECT_TRUE(keep->isChecked());
        auto* name = widget<QLineEdit>(d, "Text1");
        auto* notes = widget<QPlainTextEdit>(d, "Text2");
        ASSERT_TRUE(name && notes);
        EXPECT_EQ(str(notes->toPlainText()), "備考");
        EXPECT_EQ(str(widget<QLabel>(d, "Label1")->text()), "大会名");
        auto* ok = widget<QPushButton>(d, "Command1");
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(str(ok->text()), "OK");
        EXPECT_TRUE(ok->isDefault());
        widget<QPushButton>(d, "Command2")->click();
    });
    EXPECT_EQ(p.shell.showForm(form), "Command2");
}

TEST(FormDialog, UserChangesGoThroughTheFormAndItsBehaviourShows) {
    GuiProgram p;
    ui::Form& form = p.session.forms.get(sampleSpec());
    onNextModal([&](QWidget* d) {
        auto* women = widget<QRadioButton>(d, "Option2");
        auto* men = widget<QRadioButton>(d, "Option1");
        auto* doubles = widget<QRadioButton>(d, "Option4");
        QTest::mouseClick(women, Qt::LeftButton);
        EXPECT_TRUE(form.value("Option2"));
        EXPECT_FALSE(form.value("Option1"));
        EXPECT_FALSE(men->isChecked());
        EXPECT_TRUE(doubles->isChecked()) << "an option of another frame was cleared";
        EXPECT_TRUE(form.value("Option4"));
        EXPECT_EQ(str(widget<QLabel>(d, "Label2")->text()), "女子の部");

        widget<QCheckBox>(d, "Check1")->click();
        EXPECT_FALSE(form.value("Check1"));
        EXPECT_FALSE(widget<QPlainTextEdit>(d, "Text2")->isEnabled());

        typeText(widget<QLineEdit>(d, "Text1"), "秋季大会");
        EXPECT_EQ(form.text("Text1"), "秋季大会");
        widget<QPushButton>(d, "Command1")->click();
    });
    EXPECT_EQ(p.shell.showForm(form), "Command1");
    EXPECT_TRUE(form.accepted());
    EXPECT_FALSE(form.visible());
}

TEST(FormDialog, ButtonThatRefusesKeepsTheDialogOpen) {
    GuiProgram p;
    ui::Form& form = p.session.forms.get(sampleSpec());
    onNextModal([&](QWidget* d) {
        auto* ok = widget<QPushButton>(d, "Command1");
        ok->click();  // the name is still empty
        EXPECT_TRUE(d->isVisible());
        EXPECT_TRUE(form.pressedButton().empty());
        typeText(widget<QLineEdit>(d, "Text1"), "新人戦");
        ok->click();
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(p.shell.showForm(form), "Command1");
}

TEST(FormDialog, KeepsItsValuesAndItsWindowBetweenShowings) {
    GuiProgram p;
    ui::Form& form = p.session.forms.get(sampleSpec());
    onNextModal([&](QWidget* d) {
        widget<QRadioButton>(d, "Option3")->click();
        typeText(widget<QLineEdit>(d, "Text1"), "県大会");
        widget<QPushButton>(d, "Command1")->click();
    });
    ASSERT_EQ(p.shell.showForm(form), "Command1");
    QPointer<gui::FormDialog> first = p.shell.formDialog("FormT");
    ASSERT_FALSE(first.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(first.isNull()) << "the dialog was destroyed after use";
    EXPECT_FALSE(first->isVisible());

    // A command changes the form while it is hidden; the next showing shows that too.
    form.setText("Text2", "雨天順延");
    onNextModal([&](QWidget* d) {
        EXPECT_EQ(d, first.data());
        EXPECT_TRUE(widget<QRadioButton>(d, "Option3")->isChecked());
        EXPECT_FALSE(widget<QRadioButton>(d, "Option4")->isChecked());
        EXPECT_EQ(str(widget<QLineEdit>(d, "Text1")->text()), "県大会");
        EXPECT_EQ(str(widget<QPlainTextEdit>(d, "Text2")->toPlainText()), "雨天順延");
        widget<QPushButton>(d, "Command2")->click();
    });
    EXPECT_EQ(p.shell.showForm(form), "Command2");
    EXPECT_EQ(p.shell.formDialog("FormT"), first.data());
}

TEST(FormDialog, ClosingTheWindowIsTheCancelButton) {
    GuiProgram p;
    ui::Form& form = p.session.forms.get(sampleSpec());
    onNextModal([](QWidget* d) { d->close(); });
    EXPECT_EQ(p.shell.showForm(form), "Command2");
    EXPECT_EQ(form.pressedButton(), "Command2");
    EXPECT_FALSE(form.accepted());
    onNextModal([](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); });
    EXPECT_EQ(p.shell.showForm(form), "Command2");
}

TEST(FormDialog, PreselectionWhenShownAndDisabledControls) {
    ui::FormSpec declaration = sampleSpec();  // outlives the program's form
    declaration.name = "FormU";
    declaration.onShow = [](ui::Form& f) {
        f.setValue("Option2", true);
        f.setEnabled("Frame2", false);
        f.setCaption("設定（女子）");
    };
    GuiProgram p;
    ui::Form& form = p.session.forms.get(declaration);
    onNextModal([&](QWidget* d) {
        EXPECT_EQ(str(d->windowTitle()), "設定（女子）");
        EXPECT_TRUE(widget<QRadioButton>(d, "Option2")->isChecked());
        EXPECT_FALSE(widget<QRadioButton>(d, "Option1")->isChecked());
        EXPECT_FALSE(widget<QGroupBox>(d, "Frame2")->isEnabled());
        EXPECT_FALSE(widget<QRadioButton>(d, "Option3")->isEnabled());
        EXPECT_TRUE(widget<QRadioButton>(d, "Option1")->isEnabled());
        widget<QPushButton>(d, "Command2")->click();
    });
    p.shell.showForm(form);
}

TEST(FormDialog, FrameNoneSelectedShowsNoneSelected) {
    GuiProgram p;
    ui::Form& form = p.session.forms.get(sampleSpec());
    form.setValue("Option1", false);
    onNextModal([&](QWidget* d) {
        EXPECT_FALSE(widget<QRadioButton>(d, "Option1")->isChecked());
        EXPECT_FALSE(widget<QRadioButton>(d, "Option2")->isChecked());
        widget<QPushButton>(d, "Command2")->click();
    });
    p.shell.showForm(form);
}

// The real settings dialog: every caption readable, and the picture kept for a look.
TEST(FormDialog, SettingsDialogShowsAllItsChoices) {
    GuiProgram p;
    ui::Form& form = p.session.forms.get(intake::settingsForm());
    onNextModal([&](QWidget* d) {
        for (const char* frame : {"Frame1", "Frame2", "Frame3"})
            EXPECT_NE(widget<QGroupBox>(d, frame), nullptr);
        EXPECT_TRUE(widget<QRadioButton>(d, "Option4")->isChecked());
        EXPECT_TRUE(widget<QCheckBox>(d, "Check2")->isChecked());
        auto* league = widget<QRadioButton>(d, "Option14");
        ASSERT_NE(league, nullptr);
        EXPECT_TRUE(widget<QGroupBox>(d, "Frame3")->isAncestorOf(league));
        const QImage picture = d->grab().toImage();
        picture.save("/tmp/tombra-settings-dialog.png");
        EXPECT_TRUE(hasInk(picture));
        expectJapaneseGlyphs(league->font(), league->text(), "Option14");
        widget<QPushButton>(d, "Command2")->click();
    });
    EXPECT_EQ(p.shell.showForm(form), "Command2");
}

}  // namespace
}  // namespace tombra::test
