// Handlers whose rules are still being written, each in the file named
// above its group. Whoever defines a handler there deletes it here; this file
// goes away when it is empty.

#include "ui/Unit1.h"

// ui/ShowImage.cpp
void TForm1::showImage() {}
void TForm1::showT1() {}
void TForm1::showT2() {}
void TForm1::showT3() {}
void TForm1::showTone1Len() {}
void TForm1::showTone1Limit() {}
void TForm1::showTone2Len() {}
void TForm1::showTone2Limit() {}
void TForm1::showTone3Len() {}
void TForm1::showGapMax() {}
void TForm1::showNoiseLimit() {}
void TForm1::showAlertTimes() {}
void TForm1::showAlertTypes() {}
void TForm1::showPriorities() {}
void TForm1::showCallStates() {}
void TForm1::showSystemFlags() {}

// calls/CallEditors.cpp
void TForm1::chkDuty1Click(QCheckBox*) {}
void TForm1::chkGDuty1Click(QCheckBox*) {}
void TForm1::chkPriority1Click(QCheckBox*) {}
void TForm1::chkGPriority1Click(QCheckBox*) {}
void TForm1::cboAlertType1Click(QComboBox*) {}
void TForm1::cboGAlertType1Click(QComboBox*) {}
void TForm1::edtAlertTime1Exit(TEdit*) {}
void TForm1::edtGAlertTime1Exit(TEdit*) {}
void TForm1::edtT11Enter(TEdit*) {}
void TForm1::edtT21Enter(TEdit*) {}
void TForm1::edtT31Enter(TEdit*) {}
void TForm1::edtT11Exit(TEdit*) {}
void TForm1::edtT21Exit(TEdit*) {}
void TForm1::edtT31Exit(TEdit*) {}
void TForm1::commitToneEdit(TEdit*, ToneColumn) {}
void TForm1::edtT11DblClick(TEdit*) {}
void TForm1::edtT21DblClick(TEdit*) {}
void TForm1::edtT31DblClick(TEdit*) {}

// calls/TimingEditors.cpp
void TForm1::edtTone1LenExit(TEdit*) {}
void TForm1::edtTone2LenExit(TEdit*) {}
void TForm1::edtTone1LimitExit(TEdit*) {}
void TForm1::edtTone2LimitExit(TEdit*) {}
void TForm1::edtTone3LenExit(TEdit*) {}

