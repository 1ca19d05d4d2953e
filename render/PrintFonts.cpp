#include "render/PrintFonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <array>
#include <mutex>

namespace tombra::render {

namespace {

struct Substitute {
    const char* name;
    const char* family;
};

// The spellings found in workbooks: full-width and half-width, Japanese and romanised.
constexpr std::array<Substitute, 28> kSubstitutes{{
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"MS Pゴシック", "IPAPGothic"},
    {"MS PGothic", "IPAPGothic"},
    {"ＭＳ ゴシック", "IPAGothic"},
    {"MS ゴシック", "IPAGothic"},
    {"MS Gothic", "IPAGothic"},
    {"MS UI Gothic", "IPAPGothic"},
    {"メイリオ", "IPAPGothic"},
    {"Meiryo", "IPAPGothic"},
    {"Meiryo UI", "IPAPGothic"},
    {"游ゴシック", "IPAPGothic"},
    {"游ゴシック Light", "IPAPGothic"},
    {"游ゴシック Medium", "IPAPGothic"},
    {"Yu Gothic", "IPAPGothic"},
    {"Yu Gothic UI", "IPAPGothic"},
    {"HGｺﾞｼｯｸM", "IPAGothic"},
    {"HGSｺﾞｼｯｸM", "IPAPGothic"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},
    {"MS P明朝", "IPAPMincho"},
    {"MS PMincho", "IPAPMincho"},
    {"ＭＳ 明朝", "IPAMincho"},
    {"MS 明朝", "IPAMincho"},
    {"MS Mincho", "IPAMincho"},
    {"游明朝", "IPAPMincho"},
    {"Yu Mincho", "IPAPMincho"},
    {"HG明朝E", "IPAMincho"},
    {"HGS明朝E", "IPAPMincho"},
    {"IPA Pゴシック", "IPAPGothic"},
}};

// Full-width letters, digits and blanks folded to ASCII, runs of blanks to one, case ignored:
// "ＭＳ　Ｐゴシック" and "ms pgothic" find the same entry.
QString normalised(const QString& name) {
    QString out;
    bool blank = false;
    for (QChar ch : name) {
        char16_t u = ch.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E) u = static_cast<char16_t>(u - 0xFEE0);
        if (u == 0x3000 || u == u' ') {
            blank = true;
            continue;
        }
        if (blank && !out.isEmpty()) out += u' ';
        blank = false;
        out += QChar(u).toLower();
    }
    return out;
}

}  // namespace

void installFontSubstitutions() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const Substitute& s : kSubstitutes)
            QFont::insertSubstitution(QString::fromUtf8(s.name), QString::fromUtf8(s.family));
    });
}

QString printFontFamily(std::string_view workbookName) {
    const QString name =
        QString::fromUtf8(workbookName.data(), static_cast<qsizetype>(workbookName.size()));
    const QString key = normalised(name);
    for (const Substitute& s : kSubstitutes)
        if (normalised(QString::fromUtf8(s.name)) == key) return QString::fromUtf8(s.family);
    return name.trimmed();
}

QFont printFont(const sheet::FontSpec& cellFont, double deviceLogicalDpi) {
    installFontSubstitutions();
    QString family = printFontFamily(cellFont.name);
    // An unknown family falls through to the IPA gothic rather than to whatever the system
    // picks, which may have no Japanese glyphs; a known Latin family still gets Japanese
    // characters from the IPA gothic.
    QStringList families;
    if (!family.isEmpty() && QFontDatabase::hasFamily(family)) families << family;
    families << QString::fromLatin1(kFallbackGothic);
    QFont font;
    font.setFamilies(families);
    const double size = cellFont.size > 0 ? cellFont.size : 11.0;
    const double dpi = deviceLogicalDpi > 0 ? deviceLogicalDpi : 72.0;
    font.setPointSizeF(size * 72.0 / dpi);
    font.setBold(cellFont.bold);
    font.setItalic(cellFont.italic);
    font.setUnderline(cellFont.underline);
    // Unhinted outlines measure the same at every resolution, so a line breaks at the same
    // place in the preview, on paper and in the PDF.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

}  // namespace tombra::render
