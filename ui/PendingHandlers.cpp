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

// settings/FrequencyEditors.cpp
void TForm1::cboRangeFreqClick() {}
void TForm1::cboCSpaceClick() {}
void TForm1::edtFreqExit(TEdit*) {}
void TForm1::showFrequency() {}
void TForm1::computePll() {}

// settings/BehaviourEditors.cpp
void TForm1::chkSYSSVClick(QCheckBox*) {}
void TForm1::cboPTLClick() {}
void TForm1::cboResetConClick() {}
void TForm1::cboReminderClick() {}
void TForm1::cboRecordMaxClick() {}
void TForm1::chkVolumeLevelClick() {}
void TForm1::chkFullTimeAutoMonitorClick() {}
void TForm1::edtDelayExit(TEdit*) {}
void TForm1::edtAutoMonitorExit(TEdit*) {}
void TForm1::edtAudioLockExit(TEdit*) {}
void TForm1::edtDelayFullTimeExit(TEdit*) {}

// settings/ReceiverEditors.cpp
void TForm1::edtBS_PeriodExit(TEdit*) {}
void TForm1::edtBS_DutyExit(TEdit*) {}
void TForm1::edtRFDelayExit(TEdit*) {}
void TForm1::edtNoiseLimitExit(TEdit*) {}
void TForm1::edtSquelchExit(TEdit*) {}
void TForm1::edtGapMaxExit(TEdit*) {}
void TForm1::edtRSSIExit(TEdit*) {}
void TForm1::edtRSSI2Exit(TEdit*) {}
void TForm1::edtSSIExit(TEdit*) {}
void TForm1::edtDecorderResetExit(TEdit*) {}
void TForm1::cboBandWidthClick() {}
