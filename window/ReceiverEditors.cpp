#include "model/ByteMap.h"
#include "window/FieldActions.h"
#include "rules/NumberRules.h"
#include "window/QtText.h"
#include "window/TEdit.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

#include <string_view>

// The Config and Advance Setting tabs: battery save, delays, signal levels,
// noise limit, decoder reset, decoder bandwidth, gap max and carrier-off delay.

using field_actions::showStored;
using field_actions::storeByte;
using field_actions::wholeNumber;

namespace {

constexpr std::string_view kDecoderResetRangeMessage = "Please insert a number between 0 to 127.5";

} // namespace

void TForm1::edtBS_PeriodExit(TEdit* sender) {
    applyExitResult(sender, byteExit(textOf(*sender)), storeByte(image, field::BS_Period),
                    showStored(sender, image, field::BS_Period, wholeNumber));
}

void TForm1::edtBS_DutyExit(TEdit* sender) {
    applyExitResult(sender, byteExit(textOf(*sender)), storeByte(image, field::BS_Duty),
                    showStored(sender, image, field::BS_Duty, wholeNumber));
}

void TForm1::edtRFDelayExit(TEdit* sender) {
    applyExitResult(sender, byteExit(textOf(*sender)), storeByte(image, field::RFDelay),
                    showStored(sender, image, field::RFDelay, wholeNumber));
}

void TForm1::edtNoiseLimitExit(TEdit* sender) {
    applyExitResult(sender, byteExit(textOf(*sender)), storeByte(image, field::NoiseLimit),
                    [this] { showNoiseLimit(); });
}

void TForm1::edtSquelchExit(TEdit* sender) {
    const ExitResult result = byteExit(textOf(*sender));
    applyExitResult(sender, result, storeByte(image, field::Squelch),
                    showStored(sender, image, field::Squelch, wholeNumber));
    // Left empty, the carrier-off delay also ends the entry where it is.
    if (result.kind == ExitKind::Empty) {
        focusToNull();
    }
}

// Gap max is one byte: a value above 255 is refused, not cut to its low byte.
void TForm1::edtGapMaxExit(TEdit* sender) {
    applyExitResult(sender, byteExit(textOf(*sender)), storeByte(image, field::GapMax),
                    [this] { showGapMax(); });
}

void TForm1::edtRSSIExit(TEdit* sender) {
    applyExitResult(sender, voltageExit(textOf(*sender)), storeByte(image, field::RSSI),
                    showStored(sender, image, field::RSSI, formatVolts));
}

void TForm1::edtRSSI2Exit(TEdit* sender) {
    applyExitResult(sender, voltageExit(textOf(*sender)), storeByte(image, field::RSSI2),
                    showStored(sender, image, field::RSSI2, formatVolts));
}

void TForm1::edtSSIExit(TEdit* sender) {
    applyExitResult(sender, voltageExit(textOf(*sender)), storeByte(image, field::SSI),
                    showStored(sender, image, field::SSI, formatVolts));
}

void TForm1::edtDecorderResetExit(TEdit* sender) {
    applyExitResult(sender, halfSecondExit(textOf(*sender), 0, kDecoderResetRangeMessage),
                    storeByte(image, field::DecorderReset),
                    showStored(sender, image, field::DecorderReset, formatHalfSeconds));
}

void TForm1::cboBandWidthClick() {
    const int item = ui->cboBandWidth->currentIndex();
    if (item >= 0) {
        image[field::BandWidth] = static_cast<std::uint8_t>(item);
    }
}
