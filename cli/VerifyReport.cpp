#include "cli/VerifyReport.h"

#include "cli/DiffCommand.h"
#include "cli/FieldJson.h"
#include "rules/FieldRegistry.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string hex(std::size_t value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*zX", digits, value);
    return text;
}

// The value whose bits differ at pos.
const FieldRef* valueAt(std::size_t pos, std::uint8_t differingBits) {
    for (const FieldRef& ref : allFieldRefs()) {
        const FieldBits bits = ref.def->bits(ref.call);
        const auto first = static_cast<std::size_t>(bits.pos);
        if (pos >= first && pos < first + static_cast<std::size_t>(bits.size) &&
            (bits.mask & differingBits) != 0) {
            return &ref;
        }
    }
    return nullptr;
}

} // namespace

std::string describeMismatch(const ConfigImage& expected, const VerifyMismatch& mismatch) {
    // The pager as far as it was read: the differing block over the image,
    // whose earlier blocks it matched.
    ConfigImage pager = expected;
    const std::size_t start = std::min(mismatch.address, pager.size());
    const std::size_t count = std::min(mismatch.pagerBytes.size(), pager.size() - start);
    std::copy_n(mismatch.pagerBytes.begin(), count, pager.begin() + static_cast<long>(start));
    const auto differing = std::mismatch(expected.begin(), expected.end(), pager.begin());
    if (differing.first == expected.end()) {
        return "the pager holds other bytes in the block at 0x" + hex(start, 2);
    }
    const auto pos = static_cast<std::size_t>(differing.first - expected.begin());
    std::string text = "first difference at address 0x" + hex(pos, 2) + " (" +
                       std::to_string(pos) + ")";
    const std::string expectedByte = "byte " + hex(expected[pos], 2);
    const std::string pagerByte = "byte " + hex(pager[pos], 2);
    const FieldRef* ref = valueAt(pos, static_cast<std::uint8_t>(expected[pos] ^ pager[pos]));
    if (ref == nullptr || ref->def->kind == FieldKind::Uninterpreted) {
        return text + ", a byte the tool does not interpret: expected " + expectedByte +
               ", the pager holds " + pagerByte;
    }
    const std::string caption = fieldCaption(*ref);
    const std::string name = fieldLabel(*ref);
    text += ", " + name + (caption.empty() || caption == name ? "" : " (" + caption + ")");
    return text + ": expected " + differenceText(expected, *ref) + " (" + expectedByte +
           "), the pager holds " + differenceText(pager, *ref) + " (" + pagerByte + ")";
}
