#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/FormCatalog.h"

namespace tombra::app {
namespace {

bool isKind(const ui::FormSpec& form, const std::string& control, ui::ControlKind kind) {
    for (const ui::ControlSpec& c : form.controls)
        if (c.name == control) return c.kind == kind;
    return false;
}

TEST(FormCatalog, ListsEveryDeclaredFormOnceInFormNumberOrder) {
    std::vector<std::string> names;
    for (const ui::FormSpec* form : allForms()) names.push_back(form->name);
    EXPECT_EQ(names, (std::vector<std::string>{"Form1", "Form3", "Form4", "Form5", "Form6", "Form7",
                                               "Form8", "Form9", "Form10", "Form11", "Form12",
                                               "Form13", "Form14", "Form15"}));
}

TEST(FormCatalog, EachFormHasACaptionAndButtonsAndFramesAmongItsControls) {
    for (const ui::FormSpec* form : allForms()) {
        SCOPED_TRACE(form->name);
        EXPECT_FALSE(form->caption.empty());
        std::set<std::string> names;
        for (const ui::ControlSpec& c : form->controls) {
            EXPECT_TRUE(names.insert(c.name).second) << "twice: " << c.name;
            if (!c.frame.empty()) {
                EXPECT_TRUE(isKind(*form, c.frame, ui::ControlKind::Frame)) << c.name;
            }
        }
        EXPECT_TRUE(isKind(*form, form->okButton, ui::ControlKind::CommandButton));
        // No cancel button means closing the window cancels.
        if (!form->cancelButton.empty()) {
            EXPECT_TRUE(isKind(*form, form->cancelButton, ui::ControlKind::CommandButton));
        }
    }
}

}  // namespace
}  // namespace tombra::app
