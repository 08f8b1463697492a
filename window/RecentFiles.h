#pragma once

#include <QStringList>

// The table files and the fleets last opened or saved, newest first, each
// kind in its own list, kept in the user's settings (under
// $XDG_CONFIG_HOME) from one run to the next.
class RecentFiles {
public:
    static constexpr int kMostFiles = 8;

    enum class Kind { Table, Fleet };

    // The list as stored, without files that are gone.
    static QStringList list(Kind kind = Kind::Table);
    // path becomes the newest entry.
    static void add(const QString& path, Kind kind = Kind::Table);
};
