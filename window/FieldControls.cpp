#include "window/FieldControls.h"

#include <array>

namespace {

using O = ControlOption;
using R = ControlRole;

const std::array kControls{
    FieldControl{"edtVersion", "Version"},
    FieldControl{"cboRangeFreq", "Freq", O::None, {}, {}, -1, R::BandList},
    FieldControl{"edtFreq", "Freq"},
    FieldControl{"cboCSpace", "CSpace"},
    FieldControl{"lblMUTL", "Freq", O::None, {}, {}, -1, R::Multiplier},
    // CALL tab.
    FieldControl{"chkDuty", "Duty"},
    FieldControl{"edtT1", "T1", O::None, "Label4", {}, 0},
    FieldControl{"edtT2", "T2", O::None, "Label11", {}, 1},
    FieldControl{"chkPriority", "Priority"},
    FieldControl{"cboAlertType", "AlertType"},
    FieldControl{"edtAlertTime", "AlertTime"},
    FieldControl{"chkGDuty", "GDuty"},
    FieldControl{"edtT3", "T3", O::None, {}, {}, 2},
    FieldControl{"chkGPriority", "GPriority"},
    FieldControl{"cboGAlertType", "GAlertType"},
    FieldControl{"edtGAlertTime", "GAlertTime"},
    // Setting tab.
    FieldControl{"chkSYSPow", "SYSPow"},
    FieldControl{"chkSYSVib", "SYSVib"},
    FieldControl{"chkSYSPowSave", "SYSPowSave"},
    FieldControl{"chkSYSFIX", "SYSFIX"},
    FieldControl{"chkVolumeLevel", "VolumeLevel"},
    FieldControl{"cboResetCon", "ResetCon"},
    FieldControl{"edtDelay", "Delay", O::None, {}, "Label32"},
    FieldControl{"cboReminder", "Reminder"},
    FieldControl{"cboBatteryLow", "BatteryLow", O::KeepsSelection},
    FieldControl{"chkSYSPrivacy", "SYSPrivacy"},
    FieldControl{"cboPTL", "PTL"},
    FieldControl{"chkSYSPTL", "SYSPTL"},
    FieldControl{"edtAutoMonitor", "AutoMonitor", O::None, {}, "Label30"},
    FieldControl{"chkSYSAudio", "SYSAudio"},
    FieldControl{"edtAudioLock", "AudioLock", O::None, {}, "Label31"},
    FieldControl{"chkSYSSV", "SYSSV"},
    FieldControl{"cboRecordMax", "RecordMax"},
    FieldControl{"chkFullTimeAutoMonitor", "FullTimeAutoMonitor"},
    FieldControl{"edtDelayFullTime", "DelayFullTime", O::None, {}, "lblStandbySec"},
    // Config tab.
    FieldControl{"edtBS_Period", "BS_Period"},
    FieldControl{"edtBS_Duty", "BS_Duty"},
    FieldControl{"edtTone1Len", "Tone1Len"},
    FieldControl{"edtTone2Len", "Tone2Len"},
    FieldControl{"edtRSSI", "RSSI"},
    FieldControl{"edtRSSI2", "RSSI2"},
    FieldControl{"edtSSI", "SSI"},
    FieldControl{"lblPLLR", "PLLR"},
    FieldControl{"lblPLLN", "PLLN"},
    FieldControl{"edtRFDelay", "RFDelay"},
    FieldControl{"edtTone1Limit", "Tone1Limit"},
    FieldControl{"edtTone2Limit", "Tone2Limit"},
    FieldControl{"edtNoiseLimit", "NoiseLimit"},
    FieldControl{"edtDecorderReset", "DecorderReset"},
    // Advance Setting tab.
    FieldControl{"cboBandWidth", "BandWidth"},
    FieldControl{"edtGapMax", "GapMax"},
    FieldControl{"edtSquelch", "Squelch", O::EmptyEndsEntry},
    FieldControl{"edtTone3Len", "Tone3Len"},
};

constexpr std::array<std::string_view, 3> kToneTablePrompt{"Label9", "Label1", "Label2"};

} // namespace

std::span<const FieldControl> fieldControls() {
    return kControls;
}

std::span<const std::string_view> toneTablePrompt() {
    return kToneTablePrompt;
}
