#include "gui/FormDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <exception>

namespace tombra::gui {

using ui::ControlKind;

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Labels show their access key the way the other controls do: "&" marks it, "&&" is one "&".
QString labelText(const QString& caption) {
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 < caption.size() && caption[i + 1] == u'&') out += u'&';
            ++i;
            if (i < caption.size() && caption[i] != u'&') out += caption[i];
            continue;
        }
        out += caption[i];
    }
    return out;
}

// Places controls row by row in a two-column grid: a label and the text box after it share
// a row, two frames in a row stand side by side, everything else takes a whole row.
class Flow {
  public:
    explicit Flow(QGridLayout* grid) : grid_(grid) { grid_->setColumnStretch(1, 1); }

    void addFrame(QWidget* w) {
        if (pending_ == Pending::Frame) {
            grid_->addWidget(w, row_++, 1);
            pending_ = Pending::None;
            return;
        }
        finish();
        grid_->addWidget(w, row_, 0);
        start(Pending::Frame, w);
    }
    void addLabel(QWidget* w) {
        finish();
        grid_->addWidget(w, row_, 0);
        start(Pending::Label, w);
    }
    void addTextBox(QWidget* w) {
        if (pending_ == Pending::Label) {
            grid_->addWidget(w, row_++, 1);
            pending_ = Pending::None;
            return;
        }
        addWide(w);
    }
    void addWide(QWidget* w) {
        finish();
        grid_->addWidget(w, row_++, 0, 1, 2);
    }
    // A widget left alone in the first column gets the whole row.
    void finish() {
        if (pending_ == Pending::None) return;
        grid_->removeWidget(waiting_);
        grid_->addWidget(waiting_, row_++, 0, 1, 2);
        pending_ = Pending::None;
    }

  private:
    enum class Pending { None, Frame, Label };
    void start(Pending p, QWidget* w) {
        pending_ = p;
        waiting_ = w;
    }
    QGridLayout* grid_;
    int row_ = 0;
    Pending pending_ = Pending::None;
    QWidget* waiting_ = nullptr;
};

}  // namespace

FormDialog::FormDialog(ui::Form& form, ErrorReporter reportError, QWidget* parent)
    : QDialog(parent), form_(form), reportError_(std::move(reportError)) {
    setObjectName(qs(form.name()));
    setModal(true);
    build();
    refresh();
}

QWidget* FormDialog::control(const std::string& name) const {
    auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

QWidget* FormDialog::makeControl(const ui::ControlSpec& declaration, QWidget* parent) {
    const std::string name = declaration.name;
    QWidget* w = nullptr;
    switch (declaration.kind) {
        case ControlKind::Frame: {
            auto* box = new QGroupBox(parent);
            new QGridLayout(box);
            w = box;
            break;
        }
        case ControlKind::OptionButton: {
            auto* radio = new QRadioButton(parent);
            QButtonGroup*& group = optionGroups_[declaration.frame];
            if (!group) group = new QButtonGroup(this);
            group->addButton(radio);
            connect(radio, &QRadioButton::clicked, this,
                    [this, name](bool on) { userSetValue(name, on); });
            w = radio;
            break;
        }
        case ControlKind::CheckBox: {
            auto* check = new QCheckBox(parent);
            connect(check, &QCheckBox::clicked, this,
                    [this, name](bool on) { userSetValue(name, on); });
            w = check;
            break;
        }
        case ControlKind::TextBox:
            if (declaration.multiLine) {
                auto* edit = new QPlainTextEdit(parent);
                connect(edit, &QPlainTextEdit::textChanged, this,
                        [this, name, edit] { userSetText(name, edit->toPlainText()); });
                w = edit;
            } else {
                auto* edit = new QLineEdit(parent);
                connect(edit, &QLineEdit::textEdited, this,
                        [this, name](const QString& text) { userSetText(name, text); });
                w = edit;
            }
            break;
        case ControlKind::Label: {
            auto* label = new QLabel(parent);
            label->setTextFormat(Qt::PlainText);
            w = label;
            break;
        }
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(parent);
            button->setAutoDefault(false);
            button->setDefault(name == form_.declaration().okButton);
            connect(button, &QPushButton::clicked, this, [this, name] { buttonClicked(name); });
            w = button;
            break;
        }
    }
    w->setObjectName(qs(name));
    widgets_[name] = w;
    return w;
}

void FormDialog::build() {
    const ui::FormSpec& declaration = form_.declaration();
    auto* outer = new QVBoxLayout(this);
    auto* body = new QGridLayout;
    outer->addLayout(body);
    outer->addStretch(1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    outer->addLayout(buttonRow);
    outer->setSizeConstraint(QLayout::SetMinimumSize);

    // Frames first, so that a control may come before the frame that holds it.
    std::map<std::string, const ui::ControlSpec*> frames;
    for (const ui::ControlSpec& c : declaration.controls)
        if (c.kind == ControlKind::Frame) frames[c.name] = &c;
    // A frame that is missing, or that would end up inside itself, means the form itself.
    auto holder = [&](const ui::ControlSpec& c) -> std::string {
        if (!frames.count(c.frame)) return {};
        std::string at = c.frame;
        for (size_t step = 0; step <= frames.size() && !at.empty(); ++step) {
            if (at == c.name) return {};
            at = frames.count(at) ? frames[at]->frame : std::string();
        }
        return at.empty() ? c.frame : std::string();
    };

    std::map<std::string, Flow> flows;
    flows.emplace(std::string(), Flow(body));
    for (const auto& [name, c] : frames) {
        auto* box = static_cast<QGroupBox*>(makeControl(*c, this));
        flows.emplace(name, Flow(static_cast<QGridLayout*>(box->layout())));
    }

    for (const ui::ControlSpec& c : declaration.controls) {
        const std::string in = holder(c);
        Flow& flow = flows.at(in);
        QWidget* parent = in.empty() ? static_cast<QWidget*>(this) : widgets_.at(in);
        switch (c.kind) {
            case ControlKind::Frame:
                flow.addFrame(widgets_.at(c.name));
                break;
            case ControlKind::Label:
                flow.addLabel(makeControl(c, parent));
                break;
            case ControlKind::TextBox:
                flow.addTextBox(makeControl(c, parent));
                break;
            case ControlKind::CommandButton:
                // The form's own buttons line up at the bottom, as dialogs have them.
                if (in.empty())
                    buttonRow->addWidget(makeControl(c, parent));
                else
                    flow.addWide(makeControl(c, parent));
                break;
            default:
                flow.addWide(makeControl(c, parent));
                break;
        }
    }
    for (auto& [name, flow] : flows) flow.finish();
}

void FormDialog::refresh() {
    refreshing_ = true;
    setWindowTitle(qs(form_.caption()));
    for (const ui::ControlSpec& c : form_.declaration().controls) {
        QWidget* w = widgets_.at(c.name);
        w->setEnabled(form_.enabled(c.name));
        const QString text = qs(form_.text(c.name));
        switch (c.kind) {
            case ControlKind::Frame:
                static_cast<QGroupBox*>(w)->setTitle(text);
                break;
            case ControlKind::Label:
                static_cast<QLabel*>(w)->setText(labelText(text));
                break;
            case ControlKind::CommandButton:
                static_cast<QPushButton*>(w)->setText(text);
                break;
            case ControlKind::CheckBox:
                static_cast<QCheckBox*>(w)->setText(text);
                static_cast<QCheckBox*>(w)->setChecked(form_.value(c.name));
                break;
            case ControlKind::OptionButton:
                static_cast<QRadioButton*>(w)->setText(text);
                break;
            case ControlKind::TextBox:
                // Only when it differs: setting the same text would move the user's cursor.
                if (auto* line = qobject_cast<QLineEdit*>(w)) {
                    if (line->text() != text) line->setText(text);
                } else if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
                    if (edit->toPlainText() != text) edit->setPlainText(text);
                }
                break;
        }
    }
    // An exclusive group would refuse to clear its last button; the form may have none on.
    for (auto& [frame, group] : optionGroups_) {
        group->setExclusive(false);
        for (const ui::ControlSpec& c : form_.declaration().controls)
            if (c.kind == ControlKind::OptionButton && c.frame == frame)
                static_cast<QRadioButton*>(widgets_.at(c.name))->setChecked(form_.value(c.name));
        group->setExclusive(true);
    }
    refreshing_ = false;
}

bool FormDialog::guarded(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        if (reportError_) reportError_(e.what());
    }
    return false;
}

void FormDialog::userSetValue(const std::string& name, bool on) {
    if (refreshing_) return;
    // Clicking the option that is already on changes nothing.
    if (form_.value(name) != on) guarded([&] { form_.userSetValue(name, on); });
    refresh();
}

void FormDialog::userSetText(const std::string& name, const QString& text) {
    if (refreshing_) return;
    guarded([&] { form_.userSetText(name, text.toStdString()); });
    refresh();
}

void FormDialog::buttonClicked(const std::string& name) {
    bool closes = false;
    guarded([&] { closes = form_.press(name); });
    if (!closes) {
        refresh();  // a refusing check may have changed the form
        return;
    }
    closedBy_ = name;
    QDialog::accept();
}

void FormDialog::reject() {
    const std::string& cancel = form_.declaration().cancelButton;
    const bool hasButton =
        form_.has(cancel) && form_.control(cancel).kind == ControlKind::CommandButton;
    if (hasButton) {
        bool closes = false;
        guarded([&] { closes = form_.press(cancel); });
        if (!closes) {
            refresh();
            return;
        }
    }
    closedBy_ = cancel;
    QDialog::reject();
}

std::string FormDialog::run() {
    closedBy_.clear();
    form_.aboutToShow();
    refresh();
    form_.setVisible(true);
    exec();
    form_.setVisible(false);
    return closedBy_;
}

}  // namespace tombra::gui
