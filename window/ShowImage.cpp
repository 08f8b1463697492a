#include "window/CallControls.h"
#include "rules/CallRules.h"
#include "rules/ToneRules.h"
#include "model/ByteMap.h"
#include "rules/BehaviourRules.h"
#include "rules/ChannelStep.h"
#include "rules/DisplayPass.h"
#include "rules/FrequencyDigits.h"
#include "rules/NumberRules.h"
#include "window/QtText.h"
#include "window/TEdit.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

#include <optional>

// The display pass: every control shows its field of the image. Check boxes
// changed here run their click rules (they are wired to the state change);
// combo boxes run none (their rules answer the user's pick only), so the pass
// runs the rules it needs itself.

namespace {

// An item outside the list leaves the combo box empty.
void selectItem(QComboBox* box, std::optional<int> item) {
    const int index = item.value_or(-1);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

bool bitSet(const ConfigImage& image, BitField bit) {
    return readBits(image, bit) != 0;
}

} // namespace

void TForm1::showImage() {
    // The pass's click rules store the normalised image; the core stores it
    // first, the same way the command line takes a file, so the rules below
    // find nothing left to change.
    applyDisplayPass(image, ui->chkSYSPrivacy->isChecked());

    ui->edtVersion->setText(
        QStringLiteral("%1.%2").arg(image[field::VersionMajor]).arg(image[field::VersionMinor]));

    showFrequency();
    ui->cboRangeFreq->setCurrentIndex(static_cast<int>(bandOfImage(image)));
    cboRangeFreqClick();

    const std::uint8_t cspace = image[field::CSpace];
    if (cspace < kAutoCodeBase) {
        selectItem(ui->cboCSpace, cspace);
    } else {
        selectItem(ui->cboCSpace, kAutoItem);
        channelStep = autoCodeStep(cspace);
    }
    cboCSpaceClick();
    computePll();

    selectItem(ui->cboBandWidth, image[field::BandWidth]);
    ui->edtBS_Period->setText(qText(formatWholeNumber(image[field::BS_Period])));
    ui->edtBS_Duty->setText(qText(formatWholeNumber(image[field::BS_Duty])));
    if (const auto item = behaviour::batteryLowItem(image[field::BatteryLow])) {
        ui->cboBatteryLow->setCurrentIndex(*item);
    }
    ui->edtRSSI->setText(qText(formatVolts(image[field::RSSI])));
    ui->edtRSSI2->setText(qText(formatVolts(image[field::RSSI2])));
    ui->edtSSI->setText(qText(formatVolts(image[field::SSI])));
    ui->edtRFDelay->setText(qText(formatWholeNumber(image[field::RFDelay])));
    showTone1Len();
    showTone1Limit();
    showTone2Len();
    showTone2Limit();
    showTone3Len();

    showSystemFlags();

    const std::uint8_t resetCode = image[field::ResetCon];
    selectItem(ui->cboResetCon, behaviour::resetItemOfCode(resetCode));
    const bool delayed = behaviour::resetCodeUsesDelay(resetCode);
    ui->edtDelay->setVisible(delayed);
    ui->Label26->setVisible(delayed);
    cboResetConClick();

    ui->edtDelay->setText(qText(formatHalfSeconds(image[field::Delay])));
    ui->edtAutoMonitor->setText(qText(formatHalfSeconds(image[field::AutoMonitor])));
    ui->edtAudioLock->setText(qText(formatHalfSeconds(image[field::AudioLock])));
    selectItem(ui->cboReminder, behaviour::reminderItemOfByte(image[field::Reminder]));
    cboReminderClick();
    selectItem(ui->cboRecordMax, image[field::RecordMax]);
    ui->edtDecorderReset->setText(qText(formatHalfSeconds(image[field::DecorderReset])));

    showT1();
    showT2();
    showT3();
    showAlertTypes();
    showAlertTimes();
    showPriorities();
    showCallStates();
    showGapMax();
    showNoiseLimit();

    ui->edtSquelch->setText(qText(formatWholeNumber(image[field::Squelch])));
    ui->chkVolumeLevel->setChecked(bitSet(image, field::VolumeLevel));
    ui->chkFullTimeAutoMonitor->setChecked(bitSet(image, field::FullTimeAutoMonitor));
    ui->edtDelayFullTime->setText(qText(formatHalfSeconds(image[field::DelayFullTime])));
}

void TForm1::showT1() {
    for (int n = 1; n <= 4; ++n) {
        controlTables.edtT1[n]->setText(qText(formatTone(readWord(image, field::T1(n)))));
    }
}

void TForm1::showT2() {
    for (int n = 1; n <= 4; ++n) {
        controlTables.edtT2[n]->setText(qText(formatTone(readWord(image, field::T2(n)))));
    }
}

void TForm1::showT3() {
    for (int n = 1; n <= 2; ++n) {
        controlTables.edtT3[n]->setText(qText(formatTone(readWord(image, field::T3(n)))));
    }
}

void TForm1::showTone1Len() {
    ui->edtTone1Len->setText(qText(formatWholeNumber(readWord(image, field::Tone1Len))));
}

void TForm1::showTone1Limit() {
    ui->edtTone1Limit->setText(qText(formatWholeNumber(readWord(image, field::Tone1Limit))));
}

void TForm1::showTone2Len() {
    ui->edtTone2Len->setText(qText(formatWholeNumber(readWord(image, field::Tone2Len))));
}

void TForm1::showTone2Limit() {
    ui->edtTone2Limit->setText(qText(formatWholeNumber(readWord(image, field::Tone2Limit))));
}

void TForm1::showTone3Len() {
    ui->edtTone3Len->setText(qText(formatWholeNumber(readWord(image, field::Tone3Len))));
}

void TForm1::showGapMax() {
    ui->edtGapMax->setText(qText(formatWholeNumber(image[field::GapMax])));
}

void TForm1::showNoiseLimit() {
    ui->edtNoiseLimit->setText(qText(formatWholeNumber(image[field::NoiseLimit])));
}

void TForm1::showAlertTimes() {
    for (int n = 1; n <= 4; ++n) {
        controlTables.edtAlertTime[n]->setText(
            qText(formatHalfSeconds(image[field::AlertTime(n)])));
    }
    for (int n = 1; n <= 2; ++n) {
        controlTables.edtGAlertTime[n]->setText(
            qText(formatHalfSeconds(image[field::GAlertTime(n)])));
    }
}

void TForm1::showAlertTypes() {
    for (int n = 1; n <= 4; ++n) {
        selectItem(controlTables.cboAlertType[n], alertTypeItem(image[field::CallRecord(n)]));
    }
    for (int n = 1; n <= 2; ++n) {
        selectItem(controlTables.cboGAlertType[n], alertTypeItem(image[field::GroupRecord(n)]));
    }
}

void TForm1::showPriorities() {
    for (int n = 1; n <= 4; ++n) {
        controlTables.chkPriority[n]->setChecked(bitSet(image, field::Priority(n)));
    }
    for (int n = 1; n <= 2; ++n) {
        controlTables.chkGPriority[n]->setChecked(bitSet(image, field::GPriority(n)));
    }
}

void TForm1::showCallStates() {
    for (std::size_t n = 1; n <= 4; ++n) {
        const bool on = bitSet(image, field::DutyBit(static_cast<int>(n)));
        enableCall(controlTables, n, on);
        controlTables.chkDuty[n]->setChecked(on);
    }
    for (std::size_t n = 1; n <= 2; ++n) {
        const bool on = bitSet(image, field::GDutyBit(static_cast<int>(n)));
        enableGroupCall(controlTables, n, on);
        controlTables.chkGDuty[n]->setChecked(on);
    }
}

void TForm1::showSystemFlags() {
    for (int tag = field::SYSSV; tag <= field::SYSPrivacy; ++tag) {
        controlTables.chkSYS[static_cast<std::size_t>(tag)]->setChecked(
            bitSet(image, field::SystemFlag(tag)));
        if (tag == field::SYSPTL) {
            ui->cboPTL->setCurrentIndex(behaviour::pushToListenItem(
                bitSet(image, field::SystemFlag(field::SYSPTL)), bitSet(image, field::PTL)));
            cboPTLClick();
        }
    }

    // Later rules override earlier ones: with privacy off the audio-lock
    // time is enabled even when audio lock is off.
    enableRecordSections(ui->chkSYSSV->isChecked());
    enableAudioLockTime(ui->chkSYSAudio->isChecked());
    enableAudioControls(!ui->chkSYSPrivacy->isChecked());
}
