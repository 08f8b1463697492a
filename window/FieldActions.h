#pragma once

#include "model/ConfigImage.h"
#include "rules/NumberRules.h"
#include "window/TEdit.h"

#include <cstdint>
#include <functional>
#include <string>

// The store and show-again steps that the one-byte exit handlers hand to
// TForm1::applyExitResult.
namespace field_actions {

inline std::function<void(std::uint16_t)> storeByte(ConfigImage& image, int pos) {
    return [&image, pos](std::uint16_t value) { image[pos] = static_cast<std::uint8_t>(value); };
}

inline std::function<void()> showStored(TEdit* edit, const ConfigImage& image, int pos,
                                        std::string (*format)(std::uint8_t)) {
    return
        [edit, &image, pos, format] { edit->setText(QString::fromStdString(format(image[pos]))); };
}

inline std::string wholeNumber(std::uint8_t byte) {
    return formatWholeNumber(byte);
}

} // namespace field_actions
