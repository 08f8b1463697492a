#include "window/SettingLinks.h"

#include "rules/BehaviourRules.h"
#include "window/BoundControls.h"
#include "window/PickLists.h"

#include <QComboBox>

#include <span>

SettingLinks::SettingLinks(BoundControls& boundControls, const ConfigImage& workingImage)
    : controls(boundControls), image(workingImage) {}

void SettingLinks::apply(const std::vector<FieldEnabling>& states) {
    for (const FieldEnabling& state : states) {
        controls.setEnabled(state.ref, state.enabled);
    }
}

void SettingLinks::showResetMethods() {
    const FieldDef& reset = *findField("ResetCon");
    fillItems(*controls.control<QComboBox>(reset.name),
              reset.items.first(static_cast<std::size_t>(behaviour::resetItemsOffered(image))));
    controls.showField(reset);
    showResetDelay();
}

void SettingLinks::showResetDelay() {
    const auto code =
        behaviour::resetCodeOfItem(controls.control<QComboBox>("ResetCon")->currentIndex());
    controls.setVisible(fieldRef("Delay"), code && behaviour::resetCodeUsesDelay(*code));
}

void SettingLinks::changed(const FieldRef& ref) {
    apply(switchEnabling(image, ref));
    const std::string_view name = ref.def->name;
    if (name == "SYSPrivacy") {
        controls.showField(*findField("PTL"));
        showResetMethods();
    } else if (name == "PTL") {
        showResetMethods();
    } else if (name == "ResetCon") {
        showResetDelay();
    }
}

void SettingLinks::show(bool standbyChanged) {
    apply(displayEnabling(image));
    showResetMethods();
    if (standbyChanged) {
        apply(switchEnabling(image, fieldRef("FullTimeAutoMonitor")));
    }
}

void SettingLinks::showModifyMode() {
    apply(modifyModeEnabling(image));
}
