#include "gui/RecentFiles.h"

#include <QSettings>

namespace tombra::gui {

namespace {
const char* const kKey = "recentFiles";

QSettings settings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tombra"),
                     QStringLiteral("tombra"));
}
}  // namespace

QStringList RecentFiles::files() const {
    QStringList files = settings().value(kKey).toStringList();
    files.removeAll(QString());
    return files.mid(0, kMost);
}

void RecentFiles::add(const QString& path) {
    QStringList list = files();
    list.removeAll(path);
    list.prepend(path);
    store(list.mid(0, kMost));
}

void RecentFiles::remove(const QString& path) {
    QStringList list = files();
    list.removeAll(path);
    store(list);
}

void RecentFiles::store(const QStringList& files) {
    QSettings s = settings();
    s.setValue(kKey, files);
    s.sync();  // another run may read it before this one ends
}

}  // namespace tombra::gui
