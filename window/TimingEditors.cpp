#include "rules/FieldRegistry.h"
#include "window/TEdit.h"
#include "window/Unit1.h"

// The five tone timing words, each a count of 100 ms stored high byte first.

void TForm1::edtTone1LenExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("Tone1Len"), [this] { showTone1Len(); });
}

void TForm1::edtTone2LenExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("Tone2Len"), [this] { showTone2Len(); });
}

void TForm1::edtTone1LimitExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("Tone1Limit"), [this] { showTone1Limit(); });
}

void TForm1::edtTone2LimitExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("Tone2Limit"), [this] { showTone2Limit(); });
}

void TForm1::edtTone3LenExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("Tone3Len"), [this] { showTone3Len(); });
}
