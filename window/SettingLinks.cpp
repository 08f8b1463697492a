#include "window/SettingLinks.h"

#include "model/ByteMap.h"
#include "rules/BehaviourRules.h"
#include "rules/FieldDisplay.h"
#include "window/FieldEditor.h"
#include "window/PickLists.h"
#include "ui_Unit1.h"

#include <initializer_list>
#include <span>
#include <string_view>

namespace {

void setAllEnabled(std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* widget : widgets) {
        widget->setEnabled(enabled);
    }
}

} // namespace

SettingLinks::SettingLinks(FieldEditor& fieldEditor, Ui::TForm1& ui, ConfigImage& workingImage)
    : editor(fieldEditor), form(ui), image(workingImage) {}

bool SettingLinks::isOn(const char* field, int call) const {
    return fieldOn(image, fieldRef(field, call));
}

void SettingLinks::enable(std::initializer_list<const char*> fields, int call, bool enabled) {
    for (const char* field : fields) {
        if (QWidget* control = editor.control(field, call)) {
            control->setEnabled(enabled);
        }
    }
}

// A call's switch itself stays enabled so that the call can be switched on again.
void SettingLinks::enableCall(int call, bool enabled) {
    enable({"T1", "T2", "AlertTime", "AlertType", "Priority"}, call, enabled);
}

void SettingLinks::enableGroupCall(int call, bool enabled) {
    enable({"T3", "GAlertTime", "GAlertType", "GPriority"}, call, enabled);
}

void SettingLinks::enableRecordSections(bool enabled) {
    setAllEnabled({form.cboRecordMax, form.Label21}, enabled);
}

void SettingLinks::enableAudioLockTime(bool enabled) {
    setAllEnabled({form.edtAudioLock, form.Label24, form.Label31}, enabled);
}

void SettingLinks::enableAudioControls(bool enabled) {
    setAllEnabled({form.chkSYSAudio, form.edtAudioLock, form.edtAutoMonitor, form.Label24,
                   form.Label31, form.Label23, form.Label30, form.Label75, form.cboPTL},
                  enabled);
}

void SettingLinks::enableStandbyDelay(bool enabled) {
    setAllEnabled({form.lblStandbyToMonitorDelay, form.edtDelayFullTime, form.lblStandbySec},
                  enabled);
}

void SettingLinks::showResetMethods() {
    fillItems(*form.cboResetCon,
              std::span(behaviour::kResetMethodNames)
                  .first(static_cast<std::size_t>(behaviour::resetItemsOffered(image))));
    editor.showField(*findField("ResetCon"));
    showResetDelay();
}

void SettingLinks::showResetDelay() {
    const auto code = behaviour::resetCodeOfItem(form.cboResetCon->currentIndex());
    const bool delayed = code && behaviour::resetCodeUsesDelay(*code);
    for (QWidget* widget : {static_cast<QWidget*>(form.Label32),
                            static_cast<QWidget*>(form.edtDelay),
                            static_cast<QWidget*>(form.Label26)}) {
        widget->setVisible(delayed);
    }
}

void SettingLinks::changed(const FieldRef& ref) {
    const std::string_view name = ref.def->name;
    const bool on = ref.def->kind == FieldKind::Flag || ref.def->kind == FieldKind::Privacy
                        ? fieldOn(image, ref)
                        : false;
    if (name == "Duty") {
        enableCall(ref.call, on);
    } else if (name == "GDuty") {
        enableGroupCall(ref.call, on);
    } else if (name == "SYSSV") {
        enableRecordSections(on);
    } else if (name == "SYSAudio") {
        enableAudioLockTime(on);
    } else if (name == "SYSPrivacy") {
        enableAudioControls(!on);
        editor.showField(*findField("PTL"));
        showResetMethods();
    } else if (name == "PTL") {
        showResetMethods();
    } else if (name == "ResetCon") {
        showResetDelay();
    } else if (name == "FullTimeAutoMonitor") {
        enableStandbyDelay(on);
    }
}

void SettingLinks::show(bool standbyChanged) {
    for (int call = 1; call <= 4; ++call) {
        enableCall(call, isOn("Duty", call));
    }
    for (int call = 1; call <= 2; ++call) {
        enableGroupCall(call, isOn("GDuty", call));
    }
    // Later rules override earlier ones: with privacy off the audio-lock
    // time is enabled even when audio lock is off.
    enableRecordSections(isOn("SYSSV"));
    enableAudioLockTime(isOn("SYSAudio"));
    enableAudioControls(!isOn("SYSPrivacy"));
    showResetMethods();
    if (standbyChanged) {
        enableStandbyDelay(isOn("FullTimeAutoMonitor"));
    }
}
