#include "gui/GuiFixture.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>

#include "gui/ProgramLook.h"

namespace tombra::test {

namespace {

// One QApplication for the whole test program, set up as main() sets it up.
class QtApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        // Run without a display when started by hand too; ctest sets this already.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
        QApplication::setQuitOnLastWindowClosed(false);
        gui::setUpProgramLook();
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "tombra_gui";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

void onNextModal(std::function<void(QWidget* modal)> act) {
    auto* poll = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(poll, &QTimer::timeout, [poll, started, act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            QPointer<QWidget> guard(modal);
            act(modal);
            if (guard && guard->isVisible() && guard == QApplication::activeModalWidget()) {
                ADD_FAILURE() << "modal window left open: " << guard->windowTitle().toStdString();
                if (auto* dialog = qobject_cast<QDialog*>(guard.data()))
                    dialog->done(QDialog::Rejected);
                else
                    guard->close();
            }
        } else if (started->elapsed() > 5000) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no modal window showed";
        }
    });
    poll->start(10);
}

void typeText(QWidget* widget, const QString& text) {
    for (char32_t c : text.toUcs4()) {
        const QString piece = QString::fromUcs4(&c, 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, piece);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, piece);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

}  // namespace tombra::test
