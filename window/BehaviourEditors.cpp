#include "model/ByteMap.h"
#include "rules/BehaviourRules.h"
#include "window/FieldActions.h"
#include "rules/NumberRules.h"
#include "window/QtText.h"
#include "window/TEdit.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

#include <initializer_list>
#include <span>
#include <string_view>

// The Setting tab: system flags, Push To Listen, reset method, reminder,
// record sections, full-time monitor and the four key and delay times.

using field_actions::showStored;
using field_actions::storeByte;

namespace {

void setAllEnabled(std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* widget : widgets) {
        widget->setEnabled(enabled);
    }
}

void fillItems(QComboBox* box, std::span<const std::string_view> items) {
    box->clear();
    for (std::string_view item : items) {
        box->addItem(qText(item));
    }
}

} // namespace

void TForm1::chkSYSSVClick(QCheckBox* sender) {
    const int tag = sender->property("Tag").toInt();
    if (tag < field::SYSSV || tag > field::SYSPrivacy) {
        return;
    }
    const bool on = sender->isChecked();
    switch (tag) {
    case field::SYSSV:
        enableRecordSections(on);
        break;
    case field::SYSAudio:
        enableAudioLockTime(on);
        break;
    case field::SYSPrivacy:
        enableAudioControls(!on);
        // Privacy switches Push To Listen off; without it Push To Listen comes
        // back in the mode last chosen.
        ui->cboPTL->setCurrentIndex(
            on ? 0 : behaviour::pushToListenItem(true, readBits(image, field::PTL) != 0));
        cboPTLClick();
        break;
    default:
        break;
    }
    writeBits(image, field::SystemFlag(tag), on ? 1 : 0);
}

void TForm1::enableRecordSections(bool enabled) {
    setAllEnabled({ui->cboRecordMax, ui->Label21}, enabled);
}

void TForm1::enableAudioLockTime(bool enabled) {
    setAllEnabled({ui->edtAudioLock, ui->Label24, ui->Label31}, enabled);
}

void TForm1::enableAudioControls(bool enabled) {
    setAllEnabled({ui->chkSYSAudio, ui->edtAudioLock, ui->edtAutoMonitor, ui->Label24, ui->Label31,
                   ui->Label23, ui->Label30, ui->Label75, ui->cboPTL},
                  enabled);
}

void TForm1::cboPTLClick() {
    const int item = ui->cboPTL->currentIndex();
    const std::uint8_t code = image[field::ResetCon];
    if (item == 0) {
        writeBits(image, field::SystemFlag(field::SYSPTL), 0);
        fillItems(ui->cboResetCon, behaviour::kResetMethodNames);
        ui->cboResetCon->setCurrentIndex(behaviour::resetItemOfCode(code).value_or(-1));
        cboResetConClick();
        return;
    }
    writeBits(image, field::SystemFlag(field::SYSPTL), 1);
    fillItems(
        ui->cboResetCon,
        std::span(behaviour::kResetMethodNames).first(behaviour::kResetMethodsWithPushToListen));
    ui->cboResetCon->setCurrentIndex(behaviour::resetItemWithPushToListen(code).value_or(-1));
    cboResetConClick();
    if (const auto ptl = behaviour::ptlBitOfItem(item)) {
        writeBits(image, field::PTL, *ptl);
    }
}

void TForm1::cboResetConClick() {
    const auto code = behaviour::resetCodeOfItem(ui->cboResetCon->currentIndex());
    // A stored code without an item stays as it is.
    if (code) {
        image[field::ResetCon] = *code;
    }
    const bool delayed = code && behaviour::resetCodeUsesDelay(*code);
    for (QWidget* widget : {static_cast<QWidget*>(ui->Label32), static_cast<QWidget*>(ui->edtDelay),
                            static_cast<QWidget*>(ui->Label26)}) {
        widget->setVisible(delayed);
    }
}

void TForm1::cboReminderClick() {
    image[field::Reminder] = behaviour::reminderByteOfItem(ui->cboReminder->currentIndex());
}

void TForm1::cboRecordMaxClick() {
    const int item = ui->cboRecordMax->currentIndex();
    if (item >= 0) {
        image[field::RecordMax] = static_cast<std::uint8_t>(item);
    }
}

void TForm1::chkVolumeLevelClick() {
    writeBits(image, field::VolumeLevel, ui->chkVolumeLevel->isChecked() ? 1 : 0);
}

void TForm1::chkFullTimeAutoMonitorClick() {
    const bool on = ui->chkFullTimeAutoMonitor->isChecked();
    writeBits(image, field::FullTimeAutoMonitor, on ? 1 : 0);
    setAllEnabled({ui->lblStandbyToMonitorDelay, ui->edtDelayFullTime, ui->lblStandbySec}, on);
}

void TForm1::edtDelayExit(TEdit* sender) {
    applyExitResult(sender,
                    halfSecondExit(textOf(*sender), behaviour::kDelayLowerLimit,
                                   behaviour::kKeyTimeRangeMessage),
                    storeByte(image, field::Delay),
                    showStored(sender, image, field::Delay, formatHalfSeconds));
}

void TForm1::edtAutoMonitorExit(TEdit* sender) {
    applyExitResult(sender,
                    halfSecondExit(textOf(*sender), behaviour::kKeyTimeLowerLimit,
                                   behaviour::kKeyTimeRangeMessage),
                    storeByte(image, field::AutoMonitor),
                    showStored(sender, image, field::AutoMonitor, formatHalfSeconds));
}

void TForm1::edtAudioLockExit(TEdit* sender) {
    applyExitResult(sender,
                    halfSecondExit(textOf(*sender), behaviour::kKeyTimeLowerLimit,
                                   behaviour::kKeyTimeRangeMessage),
                    storeByte(image, field::AudioLock),
                    showStored(sender, image, field::AudioLock, formatHalfSeconds));
}

void TForm1::edtDelayFullTimeExit(TEdit* sender) {
    applyExitResult(sender,
                    halfSecondExit(textOf(*sender), behaviour::kDelayLowerLimit,
                                   behaviour::kKeyTimeRangeMessage),
                    storeByte(image, field::DelayFullTime),
                    showStored(sender, image, field::DelayFullTime, formatHalfSeconds));
}
