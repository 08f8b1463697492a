#include "cli/SetCommand.h"

#include "cli/Diagnostics.h"
#include "cli/DiffCommand.h"
#include "cli/ExitCodes.h"
#include "cli/TableFiles.h"
#include "model/TextEncoding.h"
#include "rules/FieldEntry.h"

#include <iostream>

int runSet(const std::string& path, const std::vector<std::string>& assignments,
           const std::optional<std::string>& out, bool userTones) {
    std::vector<FieldAssignment> values;
    for (const std::string& a : assignments) {
        const auto eq = a.find('=');
        const auto ref = eq == std::string::npos ? std::nullopt : parseFieldRef(a.substr(0, eq));
        if (!ref) {
            report("'" + shortened(a) +
                   "' is not NAME=VALUE with a field name of the byte map (see show).");
            return kExitUsage;
        }
        values.push_back({*ref, a.substr(eq + 1)});
    }
    auto opened = openTable(path);
    if (!opened) {
        return kExitFile;
    }
    ConfigImage* image = &opened->image;
    const EntryResult result =
        enterFields(*image, values, userTones ? ToneMode::User : ToneMode::Standard);
    if (!result.accepted) {
        report(fieldRefName(result.refused) + ": " + result.message);
        return kExitRefused;
    }
    return saveEditedTable(out.value_or(path), *opened, *image) ? kExitSuccess : kExitFile;
}

bool saveEditedTable(const std::string& target, const OpenedTable& opened,
                     const ConfigImage& image) {
    if (!saveTableAtomically(target, image)) {
        return false;
    }
    if (!isStandardOutput(target)) {
        printDifferences(opened.stored, image, std::cout);
    }
    return true;
}
