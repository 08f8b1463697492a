#include "model/ByteMap.h"
#include "rules/NumberRules.h"
#include "window/QtText.h"
#include "window/TEdit.h"
#include "window/Unit1.h"

#include <cstdint>
#include <functional>

// The five tone timing words, each a count of 100 ms stored high byte first.

namespace {

std::function<void(std::uint16_t)> storeWordAt(ConfigImage& image, int pos) {
    return [&image, pos](std::uint16_t value) { writeWord(image, pos, value); };
}

} // namespace

void TForm1::edtTone1LenExit(TEdit* sender) {
    applyExitResult(sender, wordExit(textOf(*sender)), storeWordAt(image, field::Tone1Len),
                    [this] { showTone1Len(); });
}

void TForm1::edtTone2LenExit(TEdit* sender) {
    applyExitResult(sender, wordExit(textOf(*sender)), storeWordAt(image, field::Tone2Len),
                    [this] { showTone2Len(); });
}

void TForm1::edtTone1LimitExit(TEdit* sender) {
    applyExitResult(sender, wordExit(textOf(*sender)), storeWordAt(image, field::Tone1Limit),
                    [this] { showTone1Limit(); });
}

void TForm1::edtTone2LimitExit(TEdit* sender) {
    applyExitResult(sender, wordExit(textOf(*sender)), storeWordAt(image, field::Tone2Limit),
                    [this] { showTone2Limit(); });
}

void TForm1::edtTone3LenExit(TEdit* sender) {
    applyExitResult(sender, wordExit(textOf(*sender)), storeWordAt(image, field::Tone3Len),
                    [this] { showTone3Len(); });
}
