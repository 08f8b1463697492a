#include "window/CallControls.h"
#include "rules/FieldEntry.h"
#include "rules/FieldRegistry.h"
#include "rules/ToneRules.h"
#include "model/ByteMap.h"
#include "dialogs/Messages.h"
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

// The field a tone column edits, and how it reacts.
struct ToneColumnRules {
    std::string_view field;
    void (TForm1::*show)();
    // TONE 1 and TONE 2 hand their Tone Table target back once an entry is
    // committed; the group column keeps it.
    bool committingClearsTarget;
};

const std::array<ToneColumnRules, 3> kToneColumns{{
    {"T1", &TForm1::showT1, true},
    {"T2", &TForm1::showT2, true},
    {"T3", &TForm1::showT3, false},
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
    exitTypedField(sender, fieldRef("AlertTime", tagOf(sender)), [this] { showAlertTimes(); });
}

void TForm1::edtGAlertTime1Exit(TEdit* sender) {
    exitTypedField(sender, fieldRef("GAlertTime", tagOf(sender)), [this] { showAlertTimes(); });
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
    const ToneMode mode = standardMode() ? ToneMode::Standard : ToneMode::User;
    const ToneEntry entry =
        enterToneField(image, fieldRef(rules.field, tagOf(edit)), textOf(*edit), mode);
    edit->setText(QString::fromStdString(entry.shownText));
    switch (entry.kind) {
    case ToneEntryKind::NotANumber:
        // Nothing stored; the text stays for the user to correct.
        messages.error(QString::fromStdString(entry.message));
        return;
    case ToneEntryKind::OutOfRange:
        if (mode == ToneMode::Standard) {
            if (column == ToneColumn::Group) {
                showT3();
            } else {
                edit->clear();
            }
        }
        refuse(edit, QString::fromStdString(entry.message));
        return;
    case ToneEntryKind::Accepted:
        return;
    }
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
