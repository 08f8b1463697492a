#pragma once

#include "dialogs/ToneTableHost.h"
#include "model/ConfigImage.h"
#include "rules/FieldRegistry.h"
#include "rules/ToneRules.h"

#include <array>
#include <functional>

class BoundControls;
class FieldFocus;
class ImageDocument;
class Messages;
class TEdit;

// The three tone columns of the CALL tab (TONE 1, TONE 2, group tone): the
// Tone Table's target in each, the F9 prompt while a tone is typed, and the
// tone entry, which the core reads, checks, snaps and stores with its code.
class ToneColumns : public ToneTableHost {
public:
    ToneColumns(BoundControls& controls, ImageDocument& document, FieldFocus& focus,
                Messages& messages, std::function<ToneMode()> toneMode,
                std::function<void()> openToneTable);

    void enterTone(TEdit* edit, const FieldRef& ref);
    void exitTone(TEdit* edit, const FieldRef& ref);
    // Standard Mode: the Tone Table opens for this edit.
    void doubleClick(const FieldRef& ref);
    // No column is a target any more and the F9 prompt goes.
    void clearTargets();
    bool targetSet() const;
    const std::array<int, 3>& targets() const { return toneTableTarget; }

    std::array<int, 3>& toneTableTargets() override { return toneTableTarget; }
    QLineEdit* toneEdit(int column, int call) override;
    void commitToneEdit(QLineEdit* edit, int column) override;

private:
    void pointTargetAt(const FieldRef& ref);
    int columnOf(const FieldRef& ref) const;
    void showPrompt(bool shown);

    BoundControls& controls;
    ImageDocument& document;
    FieldFocus& focus;
    Messages& messages;
    std::function<ToneMode()> modeOfTones;
    std::function<void()> openTable;
    std::array<int, 3> toneTableTarget{};
};
