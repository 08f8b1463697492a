#include "window/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("recentFiles");

QSettings userSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("px520"),
                     QStringLiteral("px520"));
}

} // namespace

QStringList RecentFiles::list() {
    QStringList files;
    for (const QString& path : userSettings().value(kKey).toStringList()) {
        if (QFileInfo(path).isFile()) {
            files << path;
        }
    }
    return files;
}

void RecentFiles::add(const QString& path) {
    QStringList files = list();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kMostFiles) {
        files.removeLast();
    }
    userSettings().setValue(kKey, files);
}
