#pragma once

#include "link/OperationMessages.h"
#include "link/OperationView.h"
#include "link/PagerMenu.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Plays the main window for the board operations and keeps what they did:
// each outcome, and the message box the window shows for it.
class RecordingView : public OperationView {
public:
    struct Message {
        ViewMessage kind;
        std::string text;
        bool operator==(const Message&) const = default;
    };

    void setStatusText(StatusPanel panel, std::string_view text) override {
        statusTexts.emplace_back(static_cast<int>(panel), std::string(text));
    }
    void setProgressRange(int minimum, int maximum) override {
        progressMinimum = minimum;
        progressMaximum = maximum;
    }
    void setProgressPosition(int position) override { positions.push_back(position); }
    int progressPosition() const override { return positions.empty() ? 0 : positions.back(); }
    void repaintProgress() override {
        ++repaints;
        if (atRepaint) {
            atRepaint();
        }
    }
    void showFirmwareVersion(const FirmwareVersion& version) override {
        versionText = version.text();
        versionVisible = true;
    }
    void showOutcome(const OperationOutcome& outcome) override {
        outcomes.push_back(outcome);
        if (outcome.tookImage()) {
            ++imageShown;
        }
        if (const auto message = outcomeMessage(outcome)) {
            messages.push_back({message->kind, message->text});
        }
        if (outcome.tookImage()) {
            versionVisible = true;
        }
    }
    void operationStarted() override { windowEnabled.push_back(false); }
    void transferStarted() override { setMenu({false, false, false}); }
    void operationEnded(const OperationOutcome& outcome) override {
        windowEnabled.push_back(true);
        if (const auto menu = pagerMenuAfter(outcome, modifyMode)) {
            setMenu(*menu);
        }
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
    // Runs at each repaint, before the request goes out.
    std::function<void()> atRepaint;
    std::vector<bool> windowEnabled;
    bool readItem = true;
    bool writeItem = true;
    bool verifyItem = true;
    int menuChanges = 0;
    std::string versionText;
    bool versionVisible = false;
    int imageShown = 0;
    std::vector<OperationOutcome> outcomes;
    std::vector<Message> messages;
    bool modifyMode = false;

private:
    void setMenu(const PagerMenu& menu) {
        readItem = menu.read;
        writeItem = menu.write;
        verifyItem = menu.verify;
        ++menuChanges;
    }
};
