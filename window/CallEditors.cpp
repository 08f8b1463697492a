#include "window/CallControls.h"
#include "rules/CallRules.h"
#include "rules/ToneRules.h"
#include "model/ByteMap.h"
#include "dialogs/Messages.h"
#include "rules/NumberRules.h"
#include "window/QtText.h"
#include "window/TEdit.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

#include <array>
#include <cstddef>
#include <initializer_list>

// The CALL tab: four calls and two group calls, each switched on or off, with
// its tones, its priority alert and its hidden alert type and time.

namespace {

// Controls of a call carry the call number as their Tag.
int tagOf(const QObject* control) {
    return control->property("Tag").toInt();
}

// Where a tone column keeps its tones and codes, and how it reacts.
struct ToneColumnRules {
    int (*tone)(int call);
    int (*code)(int call);
    ToneMarker marker;
    void (TForm1::*show)();
    // TONE 1 and TONE 2 hand their Tone Table target back once an entry is
    // committed; the group column keeps it.
    bool committingClearsTarget;
};

const std::array<ToneColumnRules, 3> kToneColumns{{
    {field::T1, field::T1Code, ToneMarker::Tone1OrGroup, &TForm1::showT1, true},
    {field::T2, field::T2Code, ToneMarker::Tone2, &TForm1::showT2, true},
    {field::T3, field::T3Code, ToneMarker::Tone1OrGroup, &TForm1::showT3, false},
}};

const ToneColumnRules& rulesOf(ToneColumn column) {
    return kToneColumns[static_cast<std::size_t>(column)];
}

// The Tone Table fills the tone edit of one column at a time.
void pointTargetAt(std::array<int, 3>& targets, ToneColumn column, int call) {
    targets = {0, 0, 0};
    targets[static_cast<std::size_t>(column)] = call;
}

// Entry of any tone edit: the F9 prompt in Standard Mode, an empty edit for
// a new tone, and the Tone Table pointed at this edit.
void enterToneEdit(TEdit* edit, ToneColumn column, bool standard, std::array<int, 3>& targets,
                   std::initializer_list<QWidget*> f9Prompt) {
    if (standard) {
        for (QWidget* label : f9Prompt) {
            label->show();
        }
    }
    edit->clear();
    pointTargetAt(targets, column, tagOf(edit));
}

} // namespace

void TForm1::chkDuty1Click(QCheckBox* sender) {
    const int n = tagOf(sender);
    const bool on = sender->isChecked();
    writeBits(image, field::DutyBit(n), on ? 1 : 0);
    enableCall(controlTables, static_cast<std::size_t>(n), on);
}

void TForm1::chkGDuty1Click(QCheckBox* sender) {
    const int n = tagOf(sender);
    const bool on = sender->isChecked();
    writeBits(image, field::GDutyBit(n), on ? 1 : 0);
    enableGroupCall(controlTables, static_cast<std::size_t>(n), on);
}

void TForm1::chkPriority1Click(QCheckBox* sender) {
    writeBits(image, field::Priority(tagOf(sender)), sender->isChecked() ? 1 : 0);
}

void TForm1::chkGPriority1Click(QCheckBox* sender) {
    writeBits(image, field::GPriority(tagOf(sender)), sender->isChecked() ? 1 : 0);
}

// The alert controls stay hidden; should one be reached, it keeps the
// stored encoding: the type in bits 0-5 beside the priority bit, the time
// in half seconds.
void TForm1::cboAlertType1Click(QComboBox* sender) {
    const int item = sender->currentIndex();
    if (item >= 0) {
        writeBits(image, field::AlertType(tagOf(sender)), static_cast<std::uint8_t>(item));
    }
}

void TForm1::cboGAlertType1Click(QComboBox* sender) {
    const int item = sender->currentIndex();
    if (item >= 0) {
        writeBits(image, field::GAlertType(tagOf(sender)), static_cast<std::uint8_t>(item));
    }
}

void TForm1::edtAlertTime1Exit(TEdit* sender) {
    const int pos = field::AlertTime(tagOf(sender));
    applyExitResult(
        sender, halfSecondExit(textOf(*sender), kAlertTimeLowerLimit, kAlertTimeRangeMessage),
        [this, pos](std::uint16_t value) { image[pos] = static_cast<std::uint8_t>(value); },
        [this] { showAlertTimes(); });
}

void TForm1::edtGAlertTime1Exit(TEdit* sender) {
    const int pos = field::GAlertTime(tagOf(sender));
    applyExitResult(
        sender, halfSecondExit(textOf(*sender), kAlertTimeLowerLimit, kAlertTimeRangeMessage),
        [this, pos](std::uint16_t value) { image[pos] = static_cast<std::uint8_t>(value); },
        [this] { showAlertTimes(); });
}

void TForm1::edtT11Enter(TEdit* sender) {
    enterToneEdit(sender, ToneColumn::Tone1, standardMode(), toneTableTarget,
                  {ui->Label9, ui->Label1, ui->Label2});
}

void TForm1::edtT21Enter(TEdit* sender) {
    enterToneEdit(sender, ToneColumn::Tone2, standardMode(), toneTableTarget,
                  {ui->Label9, ui->Label1, ui->Label2});
}

void TForm1::edtT31Enter(TEdit* sender) {
    enterToneEdit(sender, ToneColumn::Group, standardMode(), toneTableTarget,
                  {ui->Label9, ui->Label1, ui->Label2});
}

void TForm1::edtT11Exit(TEdit* sender) {
    commitToneEdit(sender, ToneColumn::Tone1);
}

void TForm1::edtT21Exit(TEdit* sender) {
    commitToneEdit(sender, ToneColumn::Tone2);
}

void TForm1::edtT31Exit(TEdit* sender) {
    commitToneEdit(sender, ToneColumn::Group);
}

void TForm1::commitToneEdit(TEdit* edit, ToneColumn column) {
    const ToneColumnRules& rules = rulesOf(column);
    if (edit->text().isEmpty()) {
        (this->*rules.show)();
        return;
    }
    if (rules.committingClearsTarget) {
        toneTableTarget[static_cast<std::size_t>(column)] = 0;
    }
    const ParsedTone parsed = parseToneText(textOf(*edit));
    edit->setText(QString::fromStdString(parsed.shownText));
    if (!parsed.tenths) {
        // Nothing stored; the text stays for the user to correct.
        messages.error(QString::fromStdString(parsed.error));
        return;
    }
    const ToneMode mode = standardMode() ? ToneMode::Standard : ToneMode::User;
    if (!toneInRange(mode, *parsed.tenths)) {
        if (mode == ToneMode::Standard) {
            if (column == ToneColumn::Group) {
                showT3();
            } else {
                edit->clear();
            }
        }
        refuse(edit, qText(toneRangeMessage(mode)));
        return;
    }
    const int n = tagOf(edit);
    const ToneTenths tone = snapToStandardTone(mode, static_cast<ToneTenths>(*parsed.tenths));
    writeWord(image, rules.tone(n), tone);
    edit->setText(QString::fromStdString(formatTone(tone)));
    writeWord(image, rules.code(n), encodeToneCode(tone, rules.marker));
}

void TForm1::edtT11DblClick(TEdit* sender) {
    if (standardMode()) {
        pointTargetAt(toneTableTarget, ToneColumn::Tone1, tagOf(sender));
        openToneTable();
    }
}

void TForm1::edtT21DblClick(TEdit* sender) {
    if (standardMode()) {
        pointTargetAt(toneTableTarget, ToneColumn::Tone2, tagOf(sender));
        openToneTable();
    }
}

void TForm1::edtT31DblClick(TEdit* sender) {
    if (standardMode()) {
        pointTargetAt(toneTableTarget, ToneColumn::Group, tagOf(sender));
        openToneTable();
    }
}
