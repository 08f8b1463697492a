#include "cli/PagerSheet.h"

#include "cli/Diagnostics.h"
#include "cli/InputText.h"
#include "model/TextEncoding.h"
#include "rules/PagerSheet.h"

namespace {

// A row is a few hundred bytes: room for well over 10^5 pagers.
constexpr std::size_t kMostSheetBytes = std::size_t{32} << 20;

// Refused rather than unreadable: a label or a value a field does not take
// (a cell to blame in a data row), or more rows than a sheet may have.
bool isRefusal(const SheetError& error) {
    return (error.row > 0 && error.column >= 0) || error.row > static_cast<int>(kMostSheetRows);
}

} // namespace

std::string rowName(const SheetPager& pager) {
    return rowName(pager.row, pager.label);
}

std::optional<std::vector<SheetPager>>
readPagerSheet(const std::string& path, const ConfigImage& base, ToneMode mode, bool& refused) {
    refused = false;
    const std::string name = escaped(path);
    InputText input = readInputText(path, kMostSheetBytes);
    if (input.error != 0) {
        report(withSystemReason("cannot open " + name, input.error));
        return std::nullopt;
    }
    if (input.tooLarge) {
        report(tooLargeMessage(name, kMostSheetBytes));
        refused = true;
        return std::nullopt;
    }
    PagerSheetRead read = parsePagerSheet(input.text);
    // The cells hold what the rows need; the file's bytes are done with.
    std::string().swap(input.text);
    if (!read.sheet) {
        report(name + ": " + read.error->message);
        refused = isRefusal(*read.error);
        return std::nullopt;
    }
    PagerSheet sheet = std::move(*read.sheet);
    if (sheet.dialect.encoding == SheetEncoding::Windows1252) {
        report(name + " is not UTF-8: read as Windows-1252.");
    }
    std::vector<SheetPager> pagers;
    pagers.reserve(sheet.rows.size());
    for (std::size_t row = 0; row < sheet.rows.size(); ++row) {
        SheetPager& pager = pagers.emplace_back(static_cast<int>(row) + 1, std::string{}, base);
        if (const auto error = applyRow(pager.image, sheet, row, mode)) {
            report(name + ": " + error->message);
            refused = true;
            return std::nullopt;
        }
        pager.label = std::move(sheet.rows[row].label);
    }
    return pagers;
}
