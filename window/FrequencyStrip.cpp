#include "window/FrequencyStrip.h"

#include "dialogs/Messages.h"
#include "model/ByteMap.h"
#include "rules/ChannelStep.h"
#include "rules/FieldDisplay.h"
#include "rules/FieldEntry.h"
#include "window/BoundControls.h"
#include "window/FieldFocus.h"
#include "window/PickLists.h"
#include "window/QtText.h"
#include "window/TEdit.h"

#include <QComboBox>
#include <QLabel>

FrequencyStrip::FrequencyStrip(BoundControls& boundControls, ConfigImage& workingImage,
                               FieldFocus& fieldFocus, Messages& messageSink)
    : controls(boundControls), image(workingImage), focus(fieldFocus), messages(messageSink) {}

Band FrequencyStrip::selectedBand() const {
    return bandOfItem(controls.control<QComboBox>("Freq", 0, ControlRole::BandList)->currentIndex());
}

std::optional<int> FrequencyStrip::selectedStep() const {
    const int index = controls.control<QComboBox>("CSpace")->currentIndex();
    return index < 0 ? std::nullopt : std::optional<int>(index);
}

QString& FrequencyStrip::bandFrequencyText(Band band) {
    return frequencyTextOfBand.at(static_cast<std::size_t>(itemOfBand(band)));
}

void FrequencyStrip::showFrequency() {
    const QString text = qText(fieldEditText(image, fieldRef("Freq")));
    bandFrequencyText(bandOfImage(image)) = text;
    controls.control<TEdit>("Freq")->setText(text);
}

void FrequencyStrip::showWords() {
    for (const char* word : {"PLLR", "PLLN"}) {
        controls.control<QLabel>(word)->setText(qText(fieldEditText(image, fieldRef(word))));
    }
}

void FrequencyStrip::showBand(Band band) {
    controls.control<QLabel>("Freq", 0, ControlRole::Multiplier)
        ->setText(QString::number(bandMultiplier(band)));
    auto* steps = controls.control<QComboBox>("CSpace");
    fillItems(*steps, stepItems(band));
    steps->setCurrentIndex(stepItemForCSpace(band, image[field::CSpace]).value_or(-1));
}

void FrequencyStrip::show() {
    showFrequency();
    const Band band = bandOfImage(image);
    controls.control<QComboBox>("Freq", 0, ControlRole::BandList)->setCurrentIndex(itemOfBand(band));
    showBand(band);
    // A stored frequency its step refuses is reported once, as leaving the
    // field with it would.
    checkEntry();
}

void FrequencyStrip::checkEntry() {
    TEdit* freq = controls.control<TEdit>("Freq");
    const FrequencyCheck check =
        checkFrequency(textOf(*freq), selectedBand(), selectedStep(), image[field::CSpace]);
    storeFrequencyCheck(image, check);
    switch (check.exit.kind) {
    case FreqExitKind::ShowStored:
        showFrequency();
        // The stored frequency again, with the stored step: its words, or
        // the field back while the step does not fit it.
        if (const FrequencyCheck stored = checkStoredFrequency(image);
            stored.exit.kind == FreqExitKind::Accepted) {
            storeFrequencyCheck(image, stored);
            showWords();
        } else if (stored.exit.kind == FreqExitKind::SpacingError) {
            focus.giveFocusBack(freq);
        }
        return;
    case FreqExitKind::NotANumber:
        messages.error(qText(check.exit.message));
        return;
    case FreqExitKind::OutOfBand:
        focus.refusePlain(freq, check.exit.message);
        return;
    case FreqExitKind::NoStepChosen:
        return;
    case FreqExitKind::SpacingError:
        focus.refuse(freq, check.exit.message);
        return;
    case FreqExitKind::Accepted:
        showFrequency();
        showWords();
        return;
    }
}

void FrequencyStrip::pickBand() {
    const Band band = selectedBand();
    controls.control<TEdit>("Freq")->setText(bandFrequencyText(band));
    showBand(band);
    // This checks the band's frequency once; a second check of the same text
    // could only repeat its message.
    pickStep();
}

void FrequencyStrip::pickStep() {
    applyStepItem(image, selectedBand(), selectedStep());
    checkEntry();
}
