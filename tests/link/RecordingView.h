#pragma once

#include "link/OperationView.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

// Plays the main window for the board operations and keeps what they did.
class RecordingView : public OperationView {
public:
    struct Message {
        ViewMessage kind;
        std::string text;
        bool operator==(const Message&) const = default;
    };

    void setStatusText(int panel, std::string_view text) override {
        statusTexts.emplace_back(panel, std::string(text));
    }
    void setProgressRange(int minimum, int maximum) override {
        progressMinimum = minimum;
        progressMaximum = maximum;
    }
    void setProgressPosition(int position) override { positions.push_back(position); }
    int progressPosition() const override { return positions.empty() ? 0 : positions.back(); }
    void repaintProgress() override { ++repaints; }
    void setWindowEnabled(bool enabled) override { windowEnabled.push_back(enabled); }
    void setPagerMenu(bool read, bool write, bool verify) override {
        readItem = read;
        writeItem = write;
        verifyItem = verify;
        ++menuChanges;
    }
    void showFirmwareVersion(std::string_view text) override {
        versionText = text;
        versionVisible = true;
    }
    void showVersionField() override { versionVisible = true; }
    void showImage() override { ++imageShown; }
    void setBoardVersionText(std::string_view text) override { boardVersionText = text; }
    void message(ViewMessage kind, std::string_view text) override {
        messages.push_back({kind, std::string(text)});
    }
    bool modifyModeSelected() const override { return modifyMode; }
    std::string selectedPortName() const override {
        if (portSequence.empty()) {
            return portName;
        }
        return portSequence[std::min(portCalls++, portSequence.size() - 1)];
    }

    // Panel 1's texts in order.
    std::vector<std::string> statusPanel1() const {
        std::vector<std::string> texts;
        for (const auto& [panel, text] : statusTexts) {
            if (panel == 1) {
                texts.push_back(text);
            }
        }
        return texts;
    }
    bool windowIsEnabled() const { return windowEnabled.empty() || windowEnabled.back(); }
    std::vector<bool> menu() const { return {readItem, writeItem, verifyItem}; }

    std::vector<std::pair<int, std::string>> statusTexts;
    int progressMinimum = 0;
    int progressMaximum = 100;
    std::vector<int> positions;
    int repaints = 0;
    std::vector<bool> windowEnabled;
    bool readItem = true;
    bool writeItem = true;
    bool verifyItem = true;
    int menuChanges = 0;
    std::string versionText;
    bool versionVisible = false;
    int imageShown = 0;
    std::string boardVersionText = "unset";
    std::vector<Message> messages;
    bool modifyMode = false;
    std::string portName;
    // When set, the port chosen at each call in turn; the last one stays.
    std::vector<std::string> portSequence;
    mutable std::size_t portCalls = 0;
};
