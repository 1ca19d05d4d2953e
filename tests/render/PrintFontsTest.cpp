#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>

#include "RenderTestSupport.h"
#include "render/PrintFonts.h"

namespace tombra::render {
namespace {

class PrintFonts : public ::testing::Test {
  protected:
    void SetUp() override { test::ensureGuiApplication(); }
};

QString familyPainted(const std::string& workbookName) {
    sheet::FontSpec cellFont;
    cellFont.name = workbookName;
    return QFontInfo(printFont(cellFont, 72)).family();
}

TEST_F(PrintFonts, JapaneseSystemFontsMapToTheIpaFontsInEverySpelling) {
    for (const char* name : {"ＭＳ Ｐゴシック", "MS PGothic", "ms pgothic", "ＭＳ　Ｐゴシック",
                             "MS UI Gothic", "メイリオ", "Meiryo", "游ゴシック"})
        EXPECT_EQ(familyPainted(name), "IPAPGothic") << name;
    for (const char* name : {"ＭＳ ゴシック", "MS Gothic"})
        EXPECT_EQ(familyPainted(name), "IPAGothic") << name;
    for (const char* name : {"MS P明朝", "ＭＳ Ｐ明朝", "MS PMincho", "游明朝"})
        EXPECT_EQ(familyPainted(name), "IPAPMincho") << name;
    for (const char* name : {"ＭＳ 明朝", "MS Mincho"})
        EXPECT_EQ(familyPainted(name), "IPAMincho") << name;

    EXPECT_EQ(printFontFamily("ＭＳ Ｐ明朝"), "IPAPMincho");
    EXPECT_EQ(printFontFamily("DejaVu Serif"), "DejaVu Serif") << "other names pass through";

    installFontSubstitutions();
    // Qt keeps substitutes in lower case.
    EXPECT_EQ(QFont::substitute(QString::fromUtf8("ＭＳ Ｐゴシック")).toLower(), "ipapgothic")
        << "the window's own fonts find the IPA fonts too";
    EXPECT_EQ(QFont::substitute("MS Mincho").toLower(), "ipamincho");
}

TEST_F(PrintFonts, UnknownFontsFallBackToTheIpaGothicAndKnownOnesStay) {
    EXPECT_EQ(familyPainted("No Such Font"), "IPAPGothic");
    EXPECT_EQ(familyPainted(""), "IPAPGothic");
    EXPECT_EQ(familyPainted("DejaVu Serif"), "DejaVu Serif");
    if (!QFontDatabase::hasFamily("Calibri")) {
        EXPECT_EQ(familyPainted("Calibri"), "IPAPGothic");
    }
}

TEST_F(PrintFonts, AFontIsSizedInTheUnitsOfThePaintersUserSpaceWhateverTheDeviceResolution) {
    // On a 1200 dpi device, an 11 point font must be 11 units tall in user space, so that a
    // painter scaled to points does not apply the points a second time.
    for (int dpi : {72, 300, 1200}) {
        QImage device(10, 10, QImage::Format_RGB32);
        device.setDotsPerMeterX(static_cast<int>(dpi / 0.0254 + 0.5));
        device.setDotsPerMeterY(static_cast<int>(dpi / 0.0254 + 0.5));
        sheet::FontSpec cellFont;
        cellFont.name = "ＭＳ Ｐゴシック";
        cellFont.size = 11;
        const QFontMetricsF metrics(printFont(cellFont, device.logicalDpiY()), &device);
        EXPECT_NEAR(metrics.ascent() + metrics.descent(), 11.0, 1.0) << dpi << " dpi";
        cellFont.bold = true;
        cellFont.italic = true;
        const QFont bold = printFont(cellFont, device.logicalDpiY());
        EXPECT_TRUE(bold.bold());
        EXPECT_TRUE(bold.italic());
    }
}

}  // namespace
}  // namespace tombra::render
