// Arbitrary bytes as a sheet: refused with a reason, or read into rows that
// are written back in the sheet's dialect and read again to the same bytes,
// and every row checked on the base before a pager would be touched.

#include "model/DefaultImage.h"
#include "rules/PagerSheet.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const PagerSheetRead read = parsePagerSheet(bytes);
    if (!read.sheet) {
        if (!read.error || read.error->message.empty()) {
            std::abort(); // refused without a reason
        }
        return 0;
    }
    const std::string written = formatPagerSheet(*read.sheet);
    const PagerSheetRead again = parsePagerSheet(written);
    if (!again.sheet || formatPagerSheet(*again.sheet) != written ||
        again.sheet->rows.size() != read.sheet->rows.size()) {
        std::abort(); // what was written does not read back as the same sheet
    }
    const SheetImages checked = checkRows(defaultImage(), *read.sheet, ToneMode::Standard);
    if (checked.error ? !checked.images.empty()
                      : checked.images.size() != read.sheet->rows.size()) {
        std::abort(); // rows handed on although one was refused, or rows lost
    }
    return 0;
}
