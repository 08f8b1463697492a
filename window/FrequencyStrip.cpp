#include "window/FrequencyStrip.h"

#include "model/ByteMap.h"
#include "rules/ChannelStep.h"
#include "rules/FieldDisplay.h"
#include "rules/FieldEntry.h"
#include "window/FieldEditor.h"
#include "window/PickLists.h"
#include "window/QtText.h"
#include "window/TEdit.h"
#include "ui_Unit1.h"

FrequencyStrip::FrequencyStrip(FieldEditor& fieldEditor, Ui::TForm1& ui, ConfigImage& workingImage)
    : editor(fieldEditor), form(ui), image(workingImage) {}

Band FrequencyStrip::selectedBand() const {
    return form.cboRangeFreq->currentIndex() == static_cast<int>(Band::High) ? Band::High
                                                                              : Band::Low;
}

std::optional<int> FrequencyStrip::selectedStep() const {
    const int index = form.cboCSpace->currentIndex();
    return index < 0 ? std::nullopt : std::optional<int>(index);
}

void FrequencyStrip::showFrequency() {
    const QString text = qText(fieldEditText(image, fieldRef("Freq")));
    (bandOfImage(image) == Band::Low ? lowBandFreqText : highBandFreqText) = text;
    form.edtFreq->setText(text);
}

void FrequencyStrip::showWords() {
    form.lblPLLR->setText(qText(fieldEditText(image, fieldRef("PLLR"))));
    form.lblPLLN->setText(qText(fieldEditText(image, fieldRef("PLLN"))));
}

void FrequencyStrip::showBand(Band band) {
    form.lblMUTL->setText(QString::number(bandMultiplier(band)));
    fillItems(*form.cboCSpace, stepItems(band));
    form.cboCSpace->setCurrentIndex(stepItemForCSpace(band, image[field::CSpace]).value_or(-1));
}

void FrequencyStrip::show() {
    showFrequency();
    const Band band = bandOfImage(image);
    form.cboRangeFreq->setCurrentIndex(static_cast<int>(band));
    showBand(band);
    // A stored frequency its step refuses is reported once, as leaving the
    // field with it would.
    exit();
}

void FrequencyStrip::exit() {
    const FrequencyCheck check = checkFrequency(textOf(*form.edtFreq), selectedBand(),
                                                selectedStep(), image[field::CSpace]);
    storeFrequencyCheck(image, check);
    TEdit* freq = form.edtFreq;
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
            editor.giveFocusBack(freq);
        }
        return;
    case FreqExitKind::NotANumber:
        editor.messageSink().error(qText(check.exit.message));
        return;
    case FreqExitKind::OutOfBand:
        editor.refusePlain(freq, check.exit.message);
        return;
    case FreqExitKind::NoStepChosen:
        return;
    case FreqExitKind::SpacingError:
        editor.refuse(freq, check.exit.message);
        return;
    case FreqExitKind::Accepted:
        showFrequency();
        showWords();
        return;
    }
}

void FrequencyStrip::pickBand() {
    const Band band = selectedBand();
    form.edtFreq->setText(band == Band::Low ? lowBandFreqText : highBandFreqText);
    showBand(band);
    // This checks the band's frequency once; a second check of the same text
    // could only repeat its message.
    pickStep();
}

void FrequencyStrip::pickStep() {
    applyStepItem(image, selectedBand(), selectedStep());
    exit();
}
