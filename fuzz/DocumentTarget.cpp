// Arbitrary bytes as a document for set --from over a valid table file: a
// refused document changes nothing, and no exception leaves the command.

#include "InputFile.h"

#include "cli/ExitCodes.h"
#include "cli/SetFromDocument.h"
#include "model/DefaultImage.h"
#include "model/TableFile.h"
#include "model/TableSave.h"
#include "model/VersionTag.h"

#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ConfigImage table = defaultImage();
    storeVersionTag(table, makeVersionTag(kWindowCaption));
    const InputFile file(std::span<const std::uint8_t>(table), "table.tbl");
    const InputFile document(std::span(data, size), "document.json");

    const int code = runSetFromDocument(file.path().string(), document.path().string(),
                                        std::nullopt, false);
    ConfigImage after{};
    if (loadTable(file.path(), after).bytesRead != kImageSize) {
        std::abort();
    }
    if (code != kExitSuccess && after != table) {
        std::abort(); // refused, yet the file changed
    }
    return 0;
}
