#include "cli/SetFromDocument.h"

#include "cli/Diagnostics.h"
#include "cli/ExitCodes.h"
#include "cli/FieldJson.h"
#include "cli/InputText.h"
#include "cli/SetCommand.h"
#include "cli/TableFiles.h"
#include "model/TextEncoding.h"
#include "rules/FieldEntry.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <sstream>
#include <vector>

namespace {

using Json = nlohmann::ordered_json;

struct EDocument {
    std::string message;
};

// A document of every field is about 20 kB; these bound what a hostile one
// may cost.
constexpr std::size_t kMostDocumentBytes = std::size_t{1} << 20;
constexpr int kMostNesting = 16;

// Refuses a document nested deeper than the fields ever are, before the
// parser recurses into it.
void checkNesting(const std::string& text) {
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMostNesting) {
                throw EDocument{"nested deeper than " + std::to_string(kMostNesting) +
                                " levels, which no document of fields is."};
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
}

// "line 3, column 7" of a byte offset counted from 1.
std::string positionOf(const std::string& text, std::size_t byte) {
    const std::size_t end = std::min(byte == 0 ? 0 : byte - 1, text.size());
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// The parser's message quotes the token it stopped at, which may be as long
// as the document: the token is shortened.
std::string libraryMessage(std::string_view what) {
    const std::size_t quote = what.find('\'');
    if (quote == std::string_view::npos) {
        return escaped(what);
    }
    return escaped(what.substr(0, quote + 1)) + shortened(what.substr(quote + 1));
}

bool computedKind(FieldKind kind) {
    return kind == FieldKind::ToneCode || kind == FieldKind::PllWord || kind == FieldKind::Checksum;
}

// The text NAME=VALUE would carry for a value of the document.
std::string entryText(const FieldRef& ref, const Json& value) {
    if (value.is_boolean()) {
        return value.get<bool>() ? "on" : "off";
    }
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (value.is_number()) {
        return value.dump();
    }
    throw EDocument{fieldRefName(ref) + ": expected a number, a text or true/false, not " +
                    std::string(value.type_name()) + "."};
}

// The stored part of a computed entry as show prints it.
const Json& storedPart(const Json& value) {
    if (value.is_object() && value.contains("stored")) {
        return value.at("stored");
    }
    return value;
}

struct Entry {
    FieldRef ref;
    Json value;
};

// Every value the document names, by field and call.
std::vector<Entry> entriesOf(const Json& document) {
    if (!document.is_object()) {
        throw EDocument{"the document is not a JSON object of fields."};
    }
    std::vector<Entry> entries;
    for (const auto& [name, value] : document.items()) {
        if (name == "InFile" || name == kCaptionsKey) {
            continue; // what show says of the file's own bytes, and the captions
        }
        if (name == "Uninterpreted") {
            if (!value.is_object()) {
                throw EDocument{"Uninterpreted: expected an object of byte ranges."};
            }
            for (const auto& [range, bytes] : value.items()) {
                const FieldDef* def = findField(range);
                if (def == nullptr || def->kind != FieldKind::Uninterpreted) {
                    throw EDocument{"Uninterpreted: no byte range '" + shortened(range) + "'."};
                }
                entries.push_back({{def, 0}, bytes});
            }
            continue;
        }
        const FieldDef* def = findField(name);
        if (def == nullptr || def->kind == FieldKind::Uninterpreted) {
            throw EDocument{"no field '" + shortened(name) + "' (see show for the names)."};
        }
        if (def->calls == 0) {
            entries.push_back({{def, 0}, value});
            continue;
        }
        if (!value.is_array() || value.size() != static_cast<std::size_t>(def->calls)) {
            throw EDocument{name + ": expected an array of " + std::to_string(def->calls) +
                            " values, one per call."};
        }
        for (int call = 1; call <= def->calls; ++call) {
            entries.push_back({{def, call}, value[static_cast<std::size_t>(call - 1)]});
        }
    }
    return entries;
}

} // namespace

int runSetFromDocument(const std::string& path, const std::string& document,
                       const std::optional<std::string>& out, bool userTones) {
    const InputText input = readInputText(document, kMostDocumentBytes);
    if (input.error != 0) {
        report(withSystemReason("cannot read " + escaped(document), input.error));
        return kExitFile;
    }
    if (input.tooLarge) {
        report(tooLargeMessage(escaped(document), kMostDocumentBytes));
        return kExitRefused;
    }
    const std::string* const text = &input.text;
    auto opened = openTable(path);
    if (!opened) {
        return kExitFile;
    }
    ConfigImage& image = opened->image;
    const ConfigImage shown = image;
    try {
        checkNesting(*text);
        Json parsed;
        try {
            parsed = Json::parse(*text);
        } catch (const Json::parse_error& error) {
            throw EDocument{"broken JSON at " + positionOf(*text, error.byte) + "."};
        } catch (const Json::exception& error) {
            // A number beyond what a double holds, and the like.
            throw EDocument{"not a document of fields: " + libraryMessage(error.what())};
        }
        std::vector<FieldAssignment> assignments;
        std::vector<Entry> computed;
        for (const Entry& entry : entriesOf(parsed)) {
            if (entry.value == fieldJson(showField(shown, entry.ref))) {
                continue;
            }
            if (computedKind(entry.ref.def->kind)) {
                computed.push_back(entry);
                continue;
            }
            if (!entry.ref.def->settable || entry.ref.def->kind == FieldKind::Uninterpreted ||
                entry.ref.def->kind == FieldKind::Version ||
                entry.ref.def->kind == FieldKind::VersionTag) {
                throw EDocument{fieldRefName(entry.ref) + ": " + shortened(entry.value.dump()) +
                                " differs from the file, and the tool never sets this field."};
            }
            assignments.push_back({entry.ref, entryText(entry.ref, entry.value)});
        }
        const EntryResult result =
            enterFields(image, assignments, userTones ? ToneMode::User : ToneMode::Standard);
        if (!result.accepted) {
            throw EDocument{fieldRefName(result.refused) + ": " + result.message};
        }
        for (const Entry& entry : computed) {
            const Json& wanted = storedPart(entry.value);
            const Json now = storedJson(showField(image, entry.ref));
            const Json inFile = storedJson(showField(opened->stored, entry.ref));
            if (wanted != now && wanted != inFile) {
                throw EDocument{fieldRefName(entry.ref) + ": " + shortened(wanted.dump()) +
                                " contradicts what the rules compute (" + now.dump() + ")."};
            }
        }
        if (assignments.empty() && !out) {
            return kExitSuccess;
        }
    } catch (const EDocument& error) {
        report(escaped(document) + ": " + error.message);
        return kExitRefused;
    }
    return saveEditedTable(out.value_or(path), *opened, image) ? kExitSuccess : kExitFile;
}
