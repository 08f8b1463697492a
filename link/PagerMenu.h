#pragma once

#include "link/OperationOutcome.h"

#include <optional>

// The Pager menu's Read1, Write1 and Verify1.
struct PagerMenu {
    bool read = true;
    bool write = true;
    bool verify = true;

    bool operator==(const PagerMenu&) const = default;
};

// The items as Read, Write or Verify leaves them: all three on after a
// Write; after Read and Verify, Write1 only outside Modify Mode. Empty when
// the operation ended before its transfer and left the menu alone.
std::optional<PagerMenu> pagerMenuAfter(const OperationOutcome& outcome, bool modifyMode);

// The items after a board command broke off with an error of its own: Read
// and Verify on, Write1 only outside Modify Mode.
PagerMenu pagerMenuAfterFailure(bool modifyMode);
