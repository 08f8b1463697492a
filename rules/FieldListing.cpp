#include "rules/FieldListing.h"

#include "rules/FieldDisplay.h"

std::vector<FieldListingRow> fieldListing(const ConfigImage& image) {
    std::vector<FieldListingRow> rows;
    rows.reserve(allFieldRefs().size());
    for (const FieldRef& ref : allFieldRefs()) {
        rows.push_back({fieldLabel(ref), fieldCaption(ref), showField(image, ref).text});
    }
    return rows;
}

std::string fieldLabel(const FieldRef& ref) {
    if (ref.def->kind == FieldKind::Uninterpreted) {
        return (ref.def->bits(0).size > 1 ? "bytes " : "byte ") + std::string(ref.def->name);
    }
    return fieldRefName(ref);
}
