#include "cli/ShowCommand.h"

#include "cli/ExitCodes.h"
#include "cli/FieldJson.h"
#include "cli/TableFiles.h"
#include "ui/FieldDisplay.h"

#include <iomanip>
#include <iostream>
#include <sstream>

namespace {

constexpr int kLabelWidth = 22;

void printText(const ConfigImage& image) {
    for (const FieldRef& ref : allFieldRefs()) {
        std::istringstream lines(showField(image, ref).text);
        std::string line;
        std::string label = fieldLabel(ref);
        // An empty text (a blank version tag) still gets its row.
        do {
            std::getline(lines, line);
            std::cout << std::left << std::setw(kLabelWidth) << label << line << '\n';
            label.clear();
        } while (lines);
    }
}

void printJson(const ConfigImage& image) {
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    nlohmann::ordered_json uninterpreted = nlohmann::ordered_json::object();
    for (const FieldRef& ref : allFieldRefs()) {
        const auto value = fieldJson(showField(image, ref));
        const std::string name(ref.def->name);
        if (ref.def->kind == FieldKind::Uninterpreted) {
            uninterpreted[name] = value;
        } else if (ref.def->calls == 0) {
            out[name] = value;
        } else {
            out[name].push_back(value);
        }
    }
    out["Uninterpreted"] = std::move(uninterpreted);
    std::cout << out.dump(2) << '\n';
}

} // namespace

int runShow(const std::string& path, bool json) {
    const auto image = openTable(path);
    if (!image) {
        return kExitFile;
    }
    if (json) {
        printJson(*image);
    } else {
        printText(*image);
    }
    return kExitSuccess;
}
