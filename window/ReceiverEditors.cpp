#include "model/ByteMap.h"
#include "rules/FieldRegistry.h"
#include "window/TEdit.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

// The Config and Advance Setting tabs: battery save, delays, signal levels,
// noise limit, decoder reset, decoder bandwidth, gap max and carrier-off delay.

void TForm1::edtBS_PeriodExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("BS_Period"));
}

void TForm1::edtBS_DutyExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("BS_Duty"));
}

void TForm1::edtRFDelayExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("RFDelay"));
}

void TForm1::edtNoiseLimitExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("NoiseLimit"), [this] { showNoiseLimit(); });
}

void TForm1::edtSquelchExit(TEdit* sender) {
    // Left empty, the carrier-off delay also ends the entry where it is.
    if (exitTypedField(sender, fieldRef("Squelch")) == ExitKind::Empty) {
        focusToNull();
    }
}

// Gap max is one byte: a value above 255 is refused, not cut to its low byte.
void TForm1::edtGapMaxExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("GapMax"), [this] { showGapMax(); });
}

void TForm1::edtRSSIExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("RSSI"));
}

void TForm1::edtRSSI2Exit(TEdit* sender) {
    exitTypedField(sender, fieldRef("RSSI2"));
}

void TForm1::edtSSIExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("SSI"));
}

void TForm1::edtDecorderResetExit(TEdit* sender) {
    exitTypedField(sender, fieldRef("DecorderReset"));
}

void TForm1::cboBandWidthClick() {
    const int item = ui->cboBandWidth->currentIndex();
    if (item >= 0) {
        image[field::BandWidth] = static_cast<std::uint8_t>(item);
    }
}
