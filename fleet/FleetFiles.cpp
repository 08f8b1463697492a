#include "fleet/FleetFiles.h"

#include "model/FleetRecord.h"
#include "model/TableFile.h"
#include "rules/DisplayPass.h"
#include "window/QtText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>
#include <filesystem>

namespace {

// A sheet of the most rows a sheet takes, each a few hundred bytes.
constexpr qint64 kMostSheetBytes = qint64{32} << 20;
std::filesystem::path pathOf(const QString& name) {
    return std::filesystem::path(name.toStdString());
}

QString nameOf(const QString& path) {
    return QFileInfo(path).fileName();
}

// "NAME is a FIFO, not a sheet."; empty for a regular file or nothing.
QString notAFile(const QString& path, const char* what) {
    const std::string_view node = nonFileNode(pathOf(path));
    return node.empty() ? QString()
                        : QStringLiteral("%1 is %2, not %3.").arg(nameOf(path), qText(node),
                                                                  QLatin1String(what));
}

// The bytes of a regular file of at most `most` bytes; an error otherwise.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 most, const char* what,
                                          QString& error) {
    error = notAFile(path, what);
    if (!error.isEmpty()) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot open %1: %2").arg(nameOf(path), file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.read(most + 1);
    if (bytes.size() > most) {
        error = QStringLiteral("%1 is larger than %2 MB, more than %3 takes.")
                    .arg(nameOf(path))
                    .arg(most >> 20)
                    .arg(QLatin1String(what));
        return std::nullopt;
    }
    return bytes;
}

} // namespace

SheetFileRead readSheetFile(const QString& path) {
    SheetFileRead read;
    const auto bytes = readRegularFile(path, kMostSheetBytes, "a sheet", read.error);
    if (!bytes) {
        return read;
    }
    PagerSheetRead parsed =
        parsePagerSheet(std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
    if (!parsed.sheet) {
        // The sheet's messages name the row and the column.
        read.error = nameOf(path) + QStringLiteral(": ") +
                     qText(parsed.error.value_or(SheetError{}).message);
        return read;
    }
    read.sheet = std::move(parsed.sheet);
    return read;
}

SheetSave saveSheetFile(const QString& path, const PagerSheet& sheet) {
    const QFileInfo info(path);
    if (const QString error = notAFile(path, "a sheet"); !error.isEmpty()) {
        return {false, error};
    }
    if (info.exists() && !info.isWritable()) {
        return {true, {}};
    }
    QSaveFile file(path);
    const std::string bytes = formatPagerSheet(sheet);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        return {false, QStringLiteral("Cannot save %1: %2").arg(nameOf(path), file.errorString())};
    }
    return {};
}

std::optional<ConfigImage> loadBaseTable(const QString& path, QString& error) {
    ConfigImage image{};
    const TableLoad load = loadTable(pathOf(path), image, TableSource::RegularFile);
    switch (load.status) {
    case TableStatus::Loaded:
        break;
    case TableStatus::NotAFile:
        error = qText(notATableFileText(nameOf(path).toStdString(), load.node));
        return std::nullopt;
    default:
        error = QStringLiteral("Cannot open %1: %2")
                    .arg(nameOf(path), qText(std::strerror(load.systemError)));
        return std::nullopt;
    }
    // Written into a pager, a short file's zeros would take its tones and
    // synthesizer words.
    if (load.bytesRead < image.size()) {
        error = QStringLiteral("%1 holds only %2 bytes, not a whole configuration of %3.")
                    .arg(nameOf(path))
                    .arg(load.bytesRead)
                    .arg(image.size());
        return std::nullopt;
    }
    applyDisplayPass(image);
    return image;
}

QString recordedBase(const QString& sheetPath) {
    FleetRecord record(recordPathFor(pathOf(sheetPath)));
    if (!record.load()) {
        return {};
    }
    const auto base = record.base();
    return base ? QFileInfo(QString::fromStdString(base->string())).absoluteFilePath() : QString();
}

QString recordBase(const QString& sheetPath, const QString& basePath) {
    if (basePath.isEmpty()) {
        return {};
    }
    const QString absolute = QFileInfo(basePath).absoluteFilePath();
    FleetRecord record(recordPathFor(pathOf(sheetPath)));
    if (!record.load()) {
        return qText(record.error());
    }
    const auto base = record.base();
    if (base && QFileInfo(QString::fromStdString(base->string())) == QFileInfo(absolute)) {
        return {};
    }
    if (!record.appendBase(pathOf(absolute))) {
        return qText(record.error());
    }
    return {};
}
