#pragma once

#include <QStringList>

namespace tombra::gui {

// The last workbooks opened, newest first, kept across runs in the user's configuration
// folder (QSettings: ~/.config/Tombra/tombra.ini).
class RecentFiles {
  public:
    static constexpr int kMost = 3;

    QStringList files() const;
    // Puts the file first; it appears once.
    void add(const QString& path);
    void remove(const QString& path);

  private:
    void store(const QStringList& files);
};

}  // namespace tombra::gui
