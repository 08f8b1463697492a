#include "cli/ShowCommand.h"

#include "cli/DiffCommand.h"
#include "cli/ExitCodes.h"
#include "cli/FieldJson.h"
#include "cli/TableFiles.h"
#include "rules/FieldDisplay.h"
#include "rules/FieldListing.h"

#include <iomanip>
#include <iostream>
#include <string_view>
#include <utility>

namespace {

constexpr int kLabelWidth = 22;
// "Standby To Monitor Delay Time", the longest caption, and a gap.
constexpr int kCaptionWidth = 31;

// Name, the window's caption, value.
void printText(const ConfigImage& image) {
    for (FieldListingRow& row : fieldListing(image)) {
        const std::string& text = row.value;
        std::string& label = row.name;
        std::string& caption = row.caption;
        // One row per line of the text; an empty text (a blank version tag)
        // still gets its row.
        std::size_t start = 0;
        while (true) {
            const std::size_t end = text.find('\n', start);
            std::cout << std::left << std::setw(kLabelWidth) << label << std::setw(kCaptionWidth)
                      << caption << std::string_view(text).substr(start, end - start) << '\n';
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
            label.clear();
            caption.clear();
        }
    }
}

// A value under its field's name; per-call values gather in an array, in
// call order.
void put(nlohmann::ordered_json& out, const FieldRef& ref, nlohmann::ordered_json value) {
    const std::string name(ref.def->name);
    if (ref.def->calls == 0) {
        out[name] = std::move(value);
    } else {
        out[name].push_back(std::move(value));
    }
}

// {"Freq": "Frequency", "T1": ["CALL #1 TONE1", ...]} for the values the
// window shows.
nlohmann::ordered_json captionsJson() {
    nlohmann::ordered_json captions = nlohmann::ordered_json::object();
    for (const FieldRef& ref : allFieldRefs()) {
        if (std::string caption = fieldCaption(ref); !caption.empty()) {
            put(captions, ref, std::move(caption));
        }
    }
    return captions;
}

// Where the file's own bytes differ from the working image made of them.
void printStoredDifferences(const OpenedTable& table) {
    if (table.stored == table.image) {
        return;
    }
    std::cout << "\nThe file holds other values, which opening it normalises (file -> shown):\n";
    printDifferences(table.stored, table.image, std::cout);
}

void printJson(const OpenedTable& table) {
    const ConfigImage& image = table.image;
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    nlohmann::ordered_json uninterpreted = nlohmann::ordered_json::object();
    for (const FieldRef& ref : allFieldRefs()) {
        put(ref.def->kind == FieldKind::Uninterpreted ? uninterpreted : out, ref,
            fieldJson(showField(image, ref)));
    }
    out["Uninterpreted"] = std::move(uninterpreted);
    if (table.stored != table.image) {
        out["InFile"] = differencesJson(table.stored, table.image);
    }
    out[std::string(kCaptionsKey)] = captionsJson();
    std::cout << jsonText(out) << '\n';
}

} // namespace

int runShow(const std::string& path, bool json) {
    const auto table = openTable(path);
    if (!table) {
        return kExitFile;
    }
    if (json) {
        printJson(*table);
    } else {
        printText(table->image);
        printStoredDifferences(*table);
    }
    return kExitSuccess;
}
