#pragma once

#include "model/ConfigImage.h"
#include "rules/FrequencyDigits.h"

#include <QString>

#include <optional>

class FieldEditor;
namespace Ui {
class TForm1;
}

// The receive channel: band, frequency and channel step, and the synthesizer
// words the core's frequency check computes from them. The strip remembers
// the last frequency shown in each band, so that switching bands back brings
// it back; every decision is the core's.
class FrequencyStrip {
public:
    FrequencyStrip(FieldEditor& editor, Ui::TForm1& form, ConfigImage& image);

    // The display pass's part: frequency, band, step list and words.
    void show();
    // edtFreq's exit rule.
    void exit();
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

    FieldEditor& editor;
    Ui::TForm1& form;
    ConfigImage& image;
    QString lowBandFreqText = QStringLiteral("1590000");
    QString highBandFreqText = QStringLiteral("4620000");
};
