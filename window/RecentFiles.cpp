#include "window/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>
#include <QSysInfo>

namespace {

const QString kKey = QStringLiteral("recentFiles");

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
