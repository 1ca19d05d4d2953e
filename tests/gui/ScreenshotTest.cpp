#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <set>

#include "gui/GuiFixture.h"

namespace tombra::test {
namespace {

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

bool hasInk(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) return true;
    return false;
}

// Every character has a glyph of its own: missing glyphs all draw as the same box (or as
// nothing), so they would match each other or the drawing of an unassigned code point.
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

TEST(Screenshot, WindowDrawsItsJapaneseTextAsGlyphs) {
    GuiProgram p;
    p.window.show();
    p.session.log.append("男子シングルス 投入開始");
    p.session.log.append("第１シード 山田太郎（県立北高）");
    p.session.log.append("投入終了");
    p.session.marks.set("投入", true);
    QCoreApplication::processEvents();

    auto* pane = p.window.findChild<QPlainTextEdit*>("RichTextBox1");
    ASSERT_NE(pane, nullptr);
    // The log pane asks for the Windows font and gets the installed IPA one.
    EXPECT_EQ(QFontInfo(pane->font()).family().toStdString(), "IPAPGothic");
    expectJapaneseGlyphs(
        pane->font(), QStringLiteral("男子シングルス投入開始第１山田太郎（県立北高）"), "log pane");
    expectJapaneseGlyphs(p.window.menuBar()->font(),
                         QStringLiteral("ﾌｧｲﾙ調整印刷参加一覧セル結合編集表示ﾍﾙﾌﾟ終了"),
                         "menu bar");

    const QPixmap shot = p.window.grab();
    ASSERT_FALSE(shot.isNull());
    const std::filesystem::path kept = p.folder / "tombra-window.png";
    ASSERT_TRUE(shot.save(QString::fromStdString(kept.string())));
    ASSERT_TRUE(shot.save(QStringLiteral("/tmp/tombra-window.png")));
    const QImage back(QString::fromStdString(kept.string()));
    EXPECT_EQ(back.size(), shot.size());
    EXPECT_TRUE(hasInk(back.copy(p.window.menuBar()->geometry())));
}

}  // namespace
}  // namespace tombra::test
