#pragma once

#include "model/ConfigImage.h"
#include "rules/PagerSheet.h"

#include <QString>

#include <optional>

// The files of a fleet: the sheet, the base table file its rows start from,
// and the record beside the sheet (FleetRecord), whose last base line names
// the base.

struct SheetFileRead {
    std::optional<PagerSheet> sheet;
    QString error; // when no sheet: which file, and what is wrong where
};

// A regular file only, as the main window opens table files: nothing waits
// on a FIFO or a device.
SheetFileRead readSheetFile(const QString& path);

struct SheetSave {
    bool readOnly = false; // a file its owner made read-only is left alone
    QString error;         // why the sheet was not saved
    bool saved() const { return !readOnly && error.isEmpty(); }
};

// Written beside and renamed into place: a failed save leaves the old file
// whole.
SheetSave saveSheetFile(const QString& path, const PagerSheet& sheet);

// A table file as px520-cli takes a base: its bytes over zeros, then the
// display pass. Nothing, with the reason in error, when it cannot be read.
std::optional<ConfigImage> loadBaseTable(const QString& path, QString& error);

// The base the record beside the sheet names last, as an absolute path;
// empty when there is no record or it names none.
QString recordedBase(const QString& sheetPath);

// Appends a base line to the record beside the sheet unless its last base
// line names the same file already. Empty when done, else why not.
QString recordBase(const QString& sheetPath, const QString& basePath);
