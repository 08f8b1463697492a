#include "cli/SetCommand.h"

#include "cli/Diagnostics.h"
#include "cli/DiffCommand.h"
#include "cli/ExitCodes.h"
#include "cli/TableFiles.h"
#include "rules/FieldEntry.h"

#include <iostream>

int runSet(const std::string& path, const std::vector<std::string>& assignments,
           const std::optional<std::string>& out, bool userTones) {
    std::vector<FieldAssignment> values;
    for (const std::string& a : assignments) {
        const auto eq = a.find('=');
        const auto ref = eq == std::string::npos ? std::nullopt : parseFieldRef(a.substr(0, eq));
        if (!ref) {
            report("'" + a + "' is not NAME=VALUE with a field name of the byte map (see show).");
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
    if (!saveTableAtomically(out.value_or(path), *image)) {
        return kExitFile;
    }
    // Everything that changed in the file, what opening it normalised
    // included, unless standard output took the image.
    if (!isStandardOutput(out.value_or(path))) {
        printDifferences(opened->stored, *image, std::cout);
    }
    return kExitSuccess;
}
