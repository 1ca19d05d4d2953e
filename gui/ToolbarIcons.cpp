#include "gui/ToolbarIcons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace tombra::gui {

namespace {

enum class Drawn { Monogram, Bold, Italic, Underline, AlignLeft, AlignCentre, AlignRight };

struct IconSource {
    const char* key;
    const char* themeName;
    int standard;  // a QStyle::StandardPixmap, or -1
    Drawn drawn;
};

const IconSource kSources[] = {
    {"新規作成", "document-new", QStyle::SP_FileIcon, Drawn::Monogram},
    {"開く", "document-open", QStyle::SP_DialogOpenButton, Drawn::Monogram},
    {"上書き保存", "document-save", QStyle::SP_DialogSaveButton, Drawn::Monogram},
    {"印刷", "document-print", -1, Drawn::Monogram},
    {"切り取り", "edit-cut", -1, Drawn::Monogram},
    {"ｺﾋﾟｰ", "edit-copy", -1, Drawn::Monogram},
    {"貼り付け", "edit-paste", -1, Drawn::Monogram},
    {"太字", "format-text-bold", -1, Drawn::Bold},
    {"斜体", "format-text-italic", -1, Drawn::Italic},
    {"下線", "format-text-underline", -1, Drawn::Underline},
    {"左揃え", "format-justify-left", -1, Drawn::AlignLeft},
    {"中央揃え", "format-justify-center", -1, Drawn::AlignCentre},
    {"右揃え", "format-justify-right", -1, Drawn::AlignRight},
};

QIcon drawnIcon(Drawn kind, const QString& key) {
    const int size = 24;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    auto letter = [&](const QString& text, auto&& style) {
        QFont font = p.font();
        font.setPixelSize(18);
        style(font);
        p.setFont(font);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, text);
    };
    switch (kind) {
        case Drawn::Bold:
            letter(QStringLiteral("B"), [](QFont& f) { f.setBold(true); });
            break;
        case Drawn::Italic:
            letter(QStringLiteral("I"), [](QFont& f) { f.setItalic(true); });
            break;
        case Drawn::Underline:
            letter(QStringLiteral("U"), [](QFont& f) { f.setUnderline(true); });
            break;
        case Drawn::AlignLeft:
        case Drawn::AlignCentre:
        case Drawn::AlignRight:
            // Four lines, the short ones pushed to the side the button aligns to.
            for (int i = 0; i < 4; ++i) {
                const int width = i % 2 ? 12 : 20;
                const int left = kind == Drawn::AlignLeft    ? 2
                                 : kind == Drawn::AlignRight ? size - 2 - width
                                                             : (size - width) / 2;
                p.drawLine(left, 5 + i * 5, left + width, 5 + i * 5);
            }
            break;
        case Drawn::Monogram:
            p.drawRoundedRect(QRectF(1.5, 1.5, size - 3, size - 3), 4, 4);
            letter(key.left(1), [](QFont& f) { f.setPixelSize(14); });
            break;
    }
    return QIcon(pixmap);
}

}  // namespace

QIcon toolbarIcon(const std::string& key, const QStyle& style) {
    const QString text = QString::fromStdString(key);
    for (const IconSource& source : kSources) {
        if (key != source.key) continue;
        QIcon icon = QIcon::fromTheme(QString::fromLatin1(source.themeName));
        if (!icon.isNull()) return icon;
        if (source.standard >= 0)
            return style.standardIcon(static_cast<QStyle::StandardPixmap>(source.standard));
        return drawnIcon(source.drawn, text);
    }
    return drawnIcon(Drawn::Monogram, text);
}

}  // namespace tombra::gui
