#pragma once

#include "model/ConfigImage.h"
#include "rules/FrequencyDigits.h"

#include <QString>

#include <array>
#include <optional>

class BoundControls;
class FieldFocus;
class Messages;

// The receive channel: band, frequency and channel step, and the synthesizer
// words the core's frequency check computes from them. The strip remembers
// the last frequency shown in each band, so that switching bands back brings
// it back; every decision is the core's.
class FrequencyStrip {
public:
    FrequencyStrip(BoundControls& controls, ConfigImage& image, FieldFocus& focus,
                   Messages& messages);

    // The display pass's part: frequency, band, step list and words.
    void show();
    // edtFreq's exit rule.
    void checkEntry();
    // The user picked a band, or a step.
    void pickBand();
    void pickStep();

private:
    Band selectedBand() const;
    std::optional<int> selectedStep() const;
    void showFrequency();
    void showWords();
    // The band's multiplier, its step list and the item the stored code selects.
    void showBand(Band band);
    QString& bandFrequencyText(Band band);

    BoundControls& controls;
    ConfigImage& image;
    FieldFocus& focus;
    Messages& messages;
    std::array<QString, kBandItems.size()> frequencyTextOfBand{
        QString::fromStdString(frequencyText(defaultBandFrequency(Band::Low))),
        QString::fromStdString(frequencyText(defaultBandFrequency(Band::High)))};
};
