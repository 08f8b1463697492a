#include "link/PagerMenu.h"

std::optional<PagerMenu> pagerMenuAfter(const OperationOutcome& outcome, bool modifyMode) {
    if (outcome.failedStep == OperationStep::BoardTest ||
        outcome.failedStep == OperationStep::Reopen) {
        return std::nullopt;
    }
    switch (outcome.operation) {
    case OperationKind::Write:
        return PagerMenu{};
    case OperationKind::Read:
    case OperationKind::Verify:
        return pagerMenuAfterFailure(modifyMode);
    case OperationKind::BoardTest:
    case OperationKind::Search:
        break;
    }
    return std::nullopt;
}

PagerMenu pagerMenuAfterFailure(bool modifyMode) {
    return PagerMenu{true, !modifyMode, true};
}
