#include "model/ByteMap.h"
#include "rules/ChannelStep.h"
#include "rules/FrequencyDigits.h"
#include "rules/FrequencyExit.h"
#include "rules/Synthesizer.h"
#include "dialogs/Messages.h"
#include "window/PickLists.h"
#include "window/QtText.h"
#include "window/TEdit.h"
#include "window/Unit1.h"
#include "ui_Unit1.h"

#include <optional>

// The receive channel: band, frequency and channel step, and the synthesizer
// words that follow from them.

namespace {

Band selectedBand(const QComboBox* range) {
    return range->currentIndex() == static_cast<int>(Band::High) ? Band::High : Band::Low;
}

std::optional<int> selectedItem(const QComboBox* box) {
    const int index = box->currentIndex();
    if (index < 0) {
        return std::nullopt;
    }
    return index;
}

} // namespace

void TForm1::showFrequency() {
    const QString text = QString::fromStdString(frequencyText(frequencyFromImage(image)));
    if (bandOfImage(image) == Band::Low) {
        lowBandFreqText = text;
    } else {
        highBandFreqText = text;
    }
    ui->edtFreq->setText(text);
}

void TForm1::computePll() {
    const auto frequency = parseWholeNumber(textOf(*ui->edtFreq));
    if (!frequency) {
        return;
    }
    const auto words = ::computePll(*frequency, channelStep, bandMultiplier);
    if (!words) {
        // The stored frequency does not fit the step: the user must type one that does.
        giveFocusBack(ui->edtFreq);
        return;
    }
    storePll(image, *words);
    ui->lblPLLR->setText(QString::fromStdString(pllWordText(words->reference)));
    ui->lblPLLN->setText(QString::fromStdString(pllWordText(words->divider)));
}

void TForm1::edtFreqExit(TEdit* sender) {
    const Band band = selectedBand(ui->cboRangeFreq);
    const FreqExit result =
        exitFrequency(textOf(*sender), band, selectedItem(ui->cboCSpace), image[field::CSpace]);
    if (result.step) {
        channelStep = result.step->step;
        image[field::CSpace] = result.step->cspace;
    }
    switch (result.kind) {
    case FreqExitKind::ShowStored:
        showFrequency();
        computePll();
        return;
    case FreqExitKind::NotANumber:
        messages.error(QString::fromStdString(result.message));
        return;
    case FreqExitKind::OutOfBand:
        refusePlain(sender, QString::fromStdString(result.message));
        return;
    case FreqExitKind::NoStepChosen:
        return;
    case FreqExitKind::SpacingError:
        refuse(sender, QString::fromStdString(result.message));
        return;
    case FreqExitKind::Accepted:
        storeFrequency(image, result.digits);
        showFrequency();
        computePll();
        return;
    }
}

void TForm1::cboRangeFreqClick() {
    const Band band = selectedBand(ui->cboRangeFreq);
    bandMultiplier = ::bandMultiplier(band);
    ui->lblMUTL->setText(QString::number(bandMultiplier));
    ui->edtFreq->setText(band == Band::Low ? lowBandFreqText : highBandFreqText);
    fillItems(*ui->cboCSpace, stepItems(band));
    ui->cboCSpace->setCurrentIndex(stepItemForCSpace(band, image[field::CSpace]).value_or(-1));
    // This checks the band's frequency once; a second check of the same text
    // could only repeat its message.
    cboCSpaceClick();
}

void TForm1::cboCSpaceClick() {
    image[field::CSpace] =
        cspaceForItem(selectedBand(ui->cboRangeFreq), selectedItem(ui->cboCSpace), channelStep,
                      image[field::CSpace]);
    edtFreqExit(ui->edtFreq);
}
