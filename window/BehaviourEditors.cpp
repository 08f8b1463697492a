#include "model/ByteMap.h"
#include "rules/BehaviourRules.h"
#include "rules/FieldRegistry.h"
#include "window/PickLists.h"
#include "window/TEdit.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

#include <initializer_list>
#include <span>
#include <string_view>

// The Setting tab: system flags, Push To Listen, reset method, reminder,
// record sections, full-time monitor and the four key and delay times.

namespace {

void setAllEnabled(std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* widget : widgets) {
        widget->setEnabled(enabled);
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
        behaviour::applyPrivacy(image, on);
        ui->cboPTL->setCurrentIndex(
            behaviour::pushToListenItem(readBits(image, field::SystemFlag(field::SYSPTL)) != 0,
                                        readBits(image, field::PTL) != 0));
        showResetMethods();
        return;
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
    behaviour::applyPushToListenItem(image, ui->cboPTL->currentIndex());
    showResetMethods();
}

// The reset methods offered with Push To Listen on or off, the stored one selected.
void TForm1::showResetMethods() {
    fillItems(*ui->cboResetCon,
              std::span(behaviour::kResetMethodNames)
                  .first(static_cast<std::size_t>(behaviour::resetItemsOffered(image))));
    ui->cboResetCon->setCurrentIndex(
        behaviour::resetItemOfCode(image[field::ResetCon]).value_or(-1));
    cboResetConClick();
}

void TForm1::cboResetConClick() {
    const int item = ui->cboResetCon->currentIndex();
    behaviour::applyResetItem(image, item);
    const auto code = behaviour::resetCodeOfItem(item);
    const bool delayed = code && behaviour::resetCodeUsesDelay(*code);
    for (QWidget* widget : {static_cast<QWidget*>(ui->Label32), static_cast<QWidget*>(ui->edtDelay),
                            static_cast<QWidget*>(ui->Label26)}) {
        widget->setVisible(delayed);
    }
}

void TForm1::cboReminderClick() {
    behaviour::applyReminderItem(image, ui->cboReminder->currentIndex());
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
    exitTypedField(sender, fieldRef("Delay"));
}

void TForm1::edtAutoMonitorExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("AutoMonitor"));
}

void TForm1::edtAudioLockExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("AudioLock"));
}

void TForm1::edtDelayFullTimeExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("DelayFullTime"));
}
