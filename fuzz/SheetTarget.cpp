// Arbitrary bytes as a --each sheet: refused with a reason, or every row
// checked, numbered from 1 in order, before a pager would be touched.

#include "InputFile.h"

#include "cli/PagerSheet.h"
#include "model/DefaultImage.h"

#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const InputFile sheet(std::span(data, size), "sheet.csv");
    bool refused = false;
    const auto pagers =
        readPagerSheet(sheet.path().string(), defaultImage(), ToneMode::Standard, refused);
    if (!pagers) {
        return 0;
    }
    if (refused) {
        std::abort(); // rows handed on although one was refused
    }
    for (std::size_t i = 0; i < pagers->size(); ++i) {
        if ((*pagers)[i].row != static_cast<int>(i) + 1) {
            std::abort();
        }
    }
    return 0;
}
