#include "gui/GuiFixture.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QSettings>
#include <set>

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

// One character drawn black on white, to tell real glyphs from the box of a missing one.
QImage glyphImage(const QFont& font, char32_t ucs4) {
    QImage image(48, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, 48, 48), Qt::AlignCenter, QString::fromUcs4(&ucs4, 1));
    return image;
}

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

UserSettingsAt::UserSettingsAt(const std::filesystem::path& folder) {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(folder.string()));
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

void chooseFile(QFileDialog* dialog, const std::filesystem::path& path) {
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr) << "not Qt's own file dialog";
    name->setText(QString::fromStdString(path.string()));
    static_cast<QDialog*>(dialog)->accept();  // as the button does (QFileDialog's is protected)
}

bool hasInk(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) return true;
    return false;
}

// Missing glyphs all draw as the same box (or as nothing), so they would match each other or
// the drawing of an unassigned code point.
void expectJapaneseGlyphs(const QFont& font, const QString& text, const char* where) {
    const QFontMetrics metrics(font);
    const QImage missing = glyphImage(font, 0x0378);  // unassigned
    std::set<QByteArray> seen;
    std::set<char32_t> checked;
    for (char32_t c : text.toUcs4()) {
        if (!checked.insert(c).second) continue;
        EXPECT_TRUE(metrics.inFontUcs4(c)) << where << " U+" << std::hex << unsigned(c);
        const QImage glyph = glyphImage(font, c);
        EXPECT_TRUE(hasInk(glyph)) << where << " U+" << std::hex << unsigned(c);
        EXPECT_NE(glyph, missing) << where << " U+" << std::hex << unsigned(c);
        const QByteArray bits(reinterpret_cast<const char*>(glyph.constBits()),
                              glyph.sizeInBytes());
        EXPECT_TRUE(seen.insert(bits).second)
            << where << " same picture as another character: U+" << std::hex << unsigned(c);
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
