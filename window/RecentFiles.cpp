#include "window/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>
#include <QSysInfo>

namespace {

QString keyOf(RecentFiles::Kind kind) {
    return kind == RecentFiles::Kind::Table ? QStringLiteral("recentFiles")
                                            : QStringLiteral("recentFleets");
}

// The registry on Windows (unless the program chose another format); on
// other systems the ini file under ~/.config the tool has always kept.
QSettings userSettings() {
    const QSettings::Format format = QSysInfo::kernelType() == QLatin1String("winnt")
                                         ? QSettings::defaultFormat()
                                         : QSettings::IniFormat;
    return QSettings(format, QSettings::UserScope, QStringLiteral("px520"),
                     QStringLiteral("px520"));
}

} // namespace

QStringList RecentFiles::list(Kind kind) {
    QStringList files;
    for (const QString& path : userSettings().value(keyOf(kind)).toStringList()) {
        if (QFileInfo(path).isFile()) {
            files << path;
        }
    }
    return files;
}

void RecentFiles::add(const QString& path, Kind kind) {
    QStringList files = list(kind);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kMostFiles) {
        files.removeLast();
    }
    userSettings().setValue(keyOf(kind), files);
}
