#include "cli/DiffCommand.h"

#include "cli/ExitCodes.h"
#include "cli/FieldJson.h"
#include "cli/TableFiles.h"
#include "rules/FieldDisplay.h"

#include <cstdio>
#include <functional>
#include <iomanip>
#include <iostream>

namespace {

constexpr int kLabelWidth = 22;

std::string byteHex(std::uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

// Calls found(label, a, b) for each difference; per byte for the bytes
// the tool does not interpret, per value otherwise.
void forEachDifference(
    const ConfigImage& a, const ConfigImage& b,
    const std::function<void(const std::string&, const FieldRef*, std::size_t)>& found) {
    for (const FieldRef& ref : allFieldRefs()) {
        if (!fieldDiffers(ref, a, b)) {
            continue;
        }
        const FieldBits bits = ref.def->bits(ref.call);
        if (ref.def->kind != FieldKind::Uninterpreted || bits.mask != 0xFF) {
            found(fieldLabel(ref), &ref, 0);
            continue;
        }
        for (int i = 0; i < bits.size; ++i) {
            const auto pos = static_cast<std::size_t>(bits.pos + i);
            if (a[pos] != b[pos]) {
                found("byte " + std::to_string(pos), nullptr, pos);
            }
        }
    }
}

// The stored values, as differenceText gives them. A value whose decoded form is
// the same on both sides (the step item of two Auto codes) is given by its
// text, which names the code.
nlohmann::ordered_json jsonDifference(const ShownValue& a, const ShownValue& b) {
    auto valueA = storedJson(a);
    auto valueB = storedJson(b);
    if (valueA == valueB) {
        return {{"a", a.text}, {"b", b.text}};
    }
    return {{"a", std::move(valueA)}, {"b", std::move(valueB)}};
}

} // namespace

std::string differenceText(const ConfigImage& image, const FieldRef& ref) {
    const ShownValue shown = showField(image, ref);
    // Where the tool computes a field, its stored value is what differs.
    if (shown.computed) {
        if (const auto* s = std::get_if<std::string>(&shown.value)) {
            return *s;
        }
    }
    return shown.text;
}

void printDifferences(const ConfigImage& from, const ConfigImage& to, std::ostream& out) {
    forEachDifference(
        from, to, [&](const std::string& label, const FieldRef* ref, std::size_t pos) {
            const std::string before = ref ? differenceText(from, *ref) : byteHex(from[pos]);
            const std::string after = ref ? differenceText(to, *ref) : byteHex(to[pos]);
            out << std::left << std::setw(kLabelWidth) << label << before << " -> " << after
                << '\n';
        });
}

nlohmann::ordered_json differencesJson(const ConfigImage& a, const ConfigImage& b) {
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    forEachDifference(a, b, [&](const std::string& label, const FieldRef* ref, std::size_t pos) {
        if (ref) {
            out[label] = jsonDifference(showField(a, *ref), showField(b, *ref));
        } else {
            out[label] = {{"a", byteHex(a[pos])}, {"b", byteHex(b[pos])}};
        }
    });
    return out;
}

// The two files as the window takes them, so that files that make the same
// working image are equal.
int runDiff(const std::string& pathA, const std::string& pathB, bool json) {
    const auto a = openTable(pathA);
    const auto b = openTable(pathB);
    if (!a || !b) {
        return kExitFile;
    }
    if (json) {
        std::cout << jsonText(differencesJson(a->image, b->image)) << '\n';
    } else {
        printDifferences(a->image, b->image, std::cout);
    }
    // The registry covers every bit, so any differing byte was listed.
    return a->image == b->image ? kExitSuccess : kExitDiffer;
}
