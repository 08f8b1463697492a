// Arbitrary bytes as a table file, through everything the tool does with a
// loaded image: open, the display pass, every field shown, the diff, write
// preparation and the checksum, and saving it again.
#include "InputFile.h"

#include "model/DefaultImage.h"
#include "model/TableFile.h"
#include "model/TableSave.h"
#include "model/VersionTag.h"
#include "model/WritePreparation.h"
#include "rules/DisplayPass.h"
#include "rules/FieldDisplay.h"
#include "rules/FieldRegistry.h"

#include <cstdlib>
#include <filesystem>


namespace {

void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

void showEveryField(const ConfigImage& image, const ConfigImage& before) {
    for (const FieldRef& ref : allFieldRefs()) {
        showField(image, ref);
        fieldEditText(image, ref);
        fieldDiffers(ref, image, before);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span bytes(data, size);
    const InputFile file(bytes, "input.tbl");

    ConfigImage image = defaultImage();
    const TableLoad load = loadTable(file.path(), image);
    check(load.status == TableStatus::Loaded && load.bytesRead == std::min(size, kImageSize));
    check(std::equal(image.begin(), image.begin() + load.bytesRead, bytes.begin()));
    ConfigImage startUp{};
    loadDefaultTable(file.path(), startUp);

    const ConfigImage opened = image;
    applyDisplayPass(image);
    showEveryField(image, opened);

    // Saving writes the 256 bytes at the start and keeps a longer file's tail.
    check(saveTableFile(file.path(), image) == 0);
    ConfigImage saved{};
    check(loadTable(file.path(), saved).bytesRead == kImageSize && saved == image);
    check(std::filesystem::file_size(file.path()) == std::max(size, kImageSize));

    const FirmwareVersion firmware{image[1], image[2]};
    prepareImageForWrite(image, firmware, makeVersionTag(kWindowCaption));
    check(imageChecksum(image) == storedChecksum(image));
    check(tagNamesModel(image));
    showEveryField(image, opened);
    return 0;
}
