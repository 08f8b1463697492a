#pragma once

#include <QStringList>

// The table files last opened or saved, newest first, kept in the user's
// settings (under $XDG_CONFIG_HOME) from one run to the next.
class RecentFiles {
public:
    static constexpr int kMostFiles = 8;

    // The list as stored, without files that are gone.
    static QStringList list();
    // path becomes the newest entry.
    static void add(const QString& path);
};
