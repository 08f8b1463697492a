#include "cli/TableFiles.h"

#include "cli/Diagnostics.h"
#include "model/TableFile.h"
#include "model/TableSave.h"
#include "model/TextEncoding.h"
#include "rules/DisplayPass.h"

#include <iostream>

std::optional<OpenedTable> openTable(const std::string& path, bool whole) {
    ConfigImage image{};
    const TableLoad load = loadTable(path, image);
    if (load.status != TableStatus::Loaded) {
        report(withSystemReason("cannot open " + escaped(path), load.systemError));
        return std::nullopt;
    }
    const std::string holds =
        escaped(path) + " holds only " + std::to_string(load.bytesRead) + " bytes";
    if (load.bytesRead < image.size() && whole) {
        report(holds + ", not a whole configuration of " + std::to_string(image.size()) +
               "; nothing was written.");
        return std::nullopt;
    }
    if (load.bytesRead < image.size()) {
        report(holds + "; the rest is taken as 00.");
    }
    OpenedTable opened{image, image};
    applyDisplayPass(opened.image);
    return opened;
}

bool isStandardOutput(const std::string& path) {
    return path == "-" || path == "/dev/stdout" || path == "/dev/fd/1" ||
           path == "/proc/self/fd/1";
}

bool saveTableAtomically(const std::string& path, const ConfigImage& image) {
    if (isStandardOutput(path)) {
        std::cout.write(reinterpret_cast<const char*>(image.data()),
                        static_cast<std::streamsize>(image.size()));
        return static_cast<bool>(std::cout.flush());
    }
    const int error = saveTableFile(path, image);
    if (error == kTableReadOnly) {
        report(readOnlyText(escaped(path)) + "; nothing was saved.");
    } else if (error != 0) {
        report(withSystemReason("cannot save " + escaped(path), error));
    }
    return error == 0;
}
