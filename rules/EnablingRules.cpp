#include "rules/EnablingRules.h"

#include "rules/FieldDisplay.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <span>
#include <string_view>

namespace {

// One switch and the fields that follow it. A per-call switch rules the
// fields of its own call.
struct SwitchRule {
    std::string_view switchField;
    bool inverted;
    std::initializer_list<std::string_view> fields;
};

// In the order of the display pass; the standby delay's rule is last and
// runs only when its own switch changes.
const std::array kRules{
    SwitchRule{"Duty", false, {"T1", "T2", "AlertTime", "AlertType", "Priority"}},
    SwitchRule{"GDuty", false, {"T3", "GAlertTime", "GAlertType", "GPriority"}},
    SwitchRule{"SYSSV", false, {"RecordMax"}},
    SwitchRule{"SYSAudio", false, {"AudioLock"}},
    SwitchRule{"SYSPrivacy", true, {"SYSAudio", "AudioLock", "AutoMonitor", "PTL"}},
    SwitchRule{"FullTimeAutoMonitor", false, {"DelayFullTime"}},
};
constexpr std::size_t kDisplayRules = kRules.size() - 1;

// The fields a rule decides for one call of its switch (0: single-valued).
void apply(const SwitchRule& rule, const ConfigImage& image, int call,
           std::vector<FieldEnabling>& out) {
    const bool on = fieldOn(image, fieldRef(rule.switchField, call));
    for (std::string_view field : rule.fields) {
        out.push_back({fieldRef(field, call), on != rule.inverted});
    }
}

void applyEveryCall(const SwitchRule& rule, const ConfigImage& image,
                    std::vector<FieldEnabling>& out) {
    const int calls = findField(rule.switchField)->calls;
    for (int call = calls == 0 ? 0 : 1; call <= calls; ++call) {
        apply(rule, image, call, out);
    }
}

// Each field once, with the state the last rule that names it gave it.
std::vector<FieldEnabling> lastWins(const std::vector<FieldEnabling>& steps) {
    std::vector<FieldEnabling> result;
    for (const FieldEnabling& step : steps) {
        const auto same = std::ranges::find_if(result, [&](const FieldEnabling& e) {
            return e.ref.def == step.ref.def && e.ref.call == step.ref.call;
        });
        if (same == result.end()) {
            result.push_back(step);
        } else {
            same->enabled = step.enabled;
        }
    }
    return result;
}

} // namespace

std::vector<FieldEnabling> switchEnabling(const ConfigImage& image, const FieldRef& changedSwitch) {
    std::vector<FieldEnabling> result;
    for (const SwitchRule& rule : kRules) {
        if (rule.switchField == changedSwitch.def->name) {
            apply(rule, image, changedSwitch.call, result);
        }
    }
    return result;
}

std::vector<FieldEnabling> displayEnabling(const ConfigImage& image) {
    std::vector<FieldEnabling> steps;
    for (const SwitchRule& rule : std::span(kRules).first(kDisplayRules)) {
        applyEveryCall(rule, image, steps);
    }
    return lastWins(steps);
}

std::vector<FieldEnabling> modifyModeEnabling(const ConfigImage& image) {
    std::vector<FieldEnabling> steps;
    for (const SwitchRule& rule : std::span(kRules).first(kDisplayRules)) {
        applyEveryCall(rule, image, steps);
    }
    std::vector<FieldEnabling> result = lastWins(steps);
    // A field any switch disables stays disabled.
    for (FieldEnabling& field : result) {
        field.enabled = std::ranges::all_of(steps, [&](const FieldEnabling& step) {
            return step.ref.def != field.ref.def || step.ref.call != field.ref.call ||
                   step.enabled;
        });
    }
    return result;
}
