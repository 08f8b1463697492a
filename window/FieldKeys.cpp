#include "rules/FieldDisplay.h"
#include "rules/FieldEntry.h"
#include "window/FieldFocus.h"
#include "dialogs/Messages.h"
#include "window/QtText.h"
#include "window/TEdit.h"
#include "window/Unit1.h"

// The editing convention shared by every typed field: entry, key filters and
// what an exit handler does with its verdict.

void TForm1::edtBS_PeriodEnter(TEdit* sender) {
    sender->clear();
}

void TForm1::edtBS_PeriodKeyPress(TEdit* sender, char32_t& key) {
    carryOutKey(sender, key, wholeNumberKey(key));
}

void TForm1::edtT11KeyPress(TEdit* sender, char32_t& key) {
    carryOutKey(sender, key, oneDecimalKey(textOf(*sender), key));
}

// The TONE 2 and group tone columns each share one exit handler, which is
// also the sender's own, so the three one-decimal filters act alike.
void TForm1::edtT21KeyPress(TEdit* sender, char32_t& key) {
    carryOutKey(sender, key, oneDecimalKey(textOf(*sender), key));
}

void TForm1::edtT31KeyPress(TEdit* sender, char32_t& key) {
    carryOutKey(sender, key, oneDecimalKey(textOf(*sender), key));
}

void TForm1::edtRSSIKeyPress(TEdit* sender, char32_t& key) {
    carryOutKey(sender, key, twoDecimalKey(textOf(*sender), key));
}

void TForm1::edtFreqKeyPress(TEdit* sender, char32_t& key) {
    carryOutKey(sender, key, frequencyKey(key));
}

void TForm1::carryOutKey(TEdit* sender, char32_t& key, KeyDecision decision) {
    switch (decision) {
    case KeyDecision::Pass:
        return;
    case KeyDecision::Swallow:
        break;
    case KeyDecision::SwallowWithMessage:
        key = 0;
        messages.exclamation(qText(kNotNumericMessage));
        fieldFocus->giveFocusBack(sender);
        return;
    case KeyDecision::EndEntry:
        key = 0;
        focusToNull();
        return;
    case KeyDecision::ExitThenEndEntry:
        key = 0;
        // A refused value keeps the field and its text: ending the entry
        // too would check the same text again and report it twice.
        if (!fieldFocus->exitInPlace(sender)) {
            focusToNull();
        }
        return;
    case KeyDecision::ExitKeepFocus:
        key = 0;
        fieldFocus->exitInPlace(sender);
        return;
    }
    key = 0;
}

void TForm1::refuse(TEdit* field, const QString& message) {
    fieldFocus->refuse(field, MessageKind::Exclamation, QString::fromLatin1(kMessageCaption),
                       message);
}

void TForm1::refusePlain(TEdit* field, const QString& message) {
    fieldFocus->refuse(field, MessageKind::Plain, Messages::applicationTitle(), message);
}

void TForm1::giveFocusBack(TEdit* field) {
    fieldFocus->giveFocusBack(field);
}

void TForm1::focusToNull() {
    fieldFocus->focusToSink();
}

bool TForm1::applyExitResult(TEdit* field, const ExitResult& result,
                             const std::function<void(std::uint16_t)>& store,
                             const std::function<void()>& showStored) {
    switch (result.kind) {
    case ExitKind::Empty:
        showStored();
        return false;
    case ExitKind::Accepted:
        store(result.value);
        if (result.shownText) {
            field->setText(QString::fromStdString(*result.shownText));
        }
        return true;
    case ExitKind::OutOfRange:
        refuse(field, QString::fromStdString(result.message));
        return false;
    case ExitKind::NotOnHalfStep:
        messages.exclamation(QString::fromStdString(result.message));
        showStored();
        return false;
    case ExitKind::NotANumber:
        // The text stays for the user to correct; the focus goes where it went.
        messages.error(QString::fromStdString(result.message));
        return false;
    }
    return false;
}

ExitKind TForm1::exitTypedField(TEdit* field, const FieldRef& ref,
                                const std::function<void()>& showStored) {
    const ExitResult result = typedFieldExit(*ref.def, textOf(*field));
    applyExitResult(
        field, result,
        [this, ref](std::uint16_t value) { storeTypedField(image, ref, value); },
        showStored ? showStored
                   : [this, field, ref] { field->setText(qText(fieldEditText(image, ref))); });
    return result.kind;
}
