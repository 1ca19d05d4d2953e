#include "gui/FileFilter.h"

#include <QStringList>

namespace tombra::gui {

QString qtFileFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(u'|');
    if (filter.empty()) return {};
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // A description without a pattern after it matches everything.
        QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QStringLiteral("*");
        patterns.replace(u';', u' ');
        patterns = patterns.simplified();
        if (patterns.isEmpty()) patterns = QStringLiteral("*");
        const QString shown = QStringLiteral("(") + patterns + QStringLiteral(")");
        if (description.isEmpty())
            out << shown;
        else if (description.endsWith(shown))
            out << description;
        else
            out << description + u' ' + shown;
    }
    return out.join(QStringLiteral(";;"));
}

}  // namespace tombra::gui
