#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>

#include "gui/GuiFixture.h"

namespace tombra::test {
namespace {

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
