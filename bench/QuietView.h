#pragma once

#include "link/OperationView.h"

// The view of a terminal nobody watches.
class QuietView : public OperationView {
public:
    void setStatusText(StatusPanel, std::string_view) override {}
    void setProgressRange(int, int) override {}
    void setProgressPosition(int position) override { position_ = position; }
    int progressPosition() const override { return position_; }
    void repaintProgress() override {}
    void showFirmwareVersion(const FirmwareVersion&) override {}
    void showOutcome(const OperationOutcome&) override {}

private:
    int position_ = 0;
};
