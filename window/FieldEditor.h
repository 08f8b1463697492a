#pragma once

#include "model/ConfigImage.h"
#include "rules/FieldRegistry.h"
#include "rules/ToneRules.h"
#include "window/BoundControls.h"
#include "window/FrequencyStrip.h"
#include "window/SettingLinks.h"
#include "window/ToneColumns.h"

#include <QObject>

#include <functional>
#include <string>

class FieldFocus;
class ImageDocument;
class Messages;
class QCheckBox;
class QComboBox;
class QWidget;
class TEdit;

// Edits every field of the image through the control table: one editor for
// the edits (entry, the field's key filter, its exit rule), the pick-lists and
// the switches, storing through the core's rules; the linked behaviours of the
// receive channel, the tone columns and the Setting tab follow what was
// stored. It also names each control for assistive technology.
class FieldEditor : public QObject {
    Q_OBJECT

public:
    FieldEditor(QWidget& window, ImageDocument& document, FieldFocus& focus, Messages& messages,
                std::function<bool()> standardMode, std::function<void()> openToneTable);

    // The display pass: the core stores what showing the image normalises,
    // as for a freshly started window, then every control shows its value.
    void displayImage();
    // Modify Mode: every control enabled but those a switch that is off
    // disables.
    void enableForModifyMode();

    const BoundControls& boundControls() const { return bound; }
    ToneColumns& toneColumns() { return tones; }

private:
    ToneMode currentToneMode() const;
    void bind(const BoundControl& control);
    void describe(const BoundControl& control) const;
    void filterFieldKey(TEdit* edit, const BoundControl& control, char32_t& key);
    void exitField(TEdit* edit, const BoundControl& control);
    void exitTyped(TEdit* edit, const BoundControl& control);
    void picked(QComboBox* box, const BoundControl& control);
    void switched(QCheckBox* box, const BoundControl& control);
    // Takes a value as px520-cli set takes it; false (and a message) when refused.
    bool storeText(const FieldRef& ref, const std::string& text);

    QWidget& window;
    ImageDocument& document;
    ConfigImage& image;
    FieldFocus& focus;
    Messages& messages;
    std::function<bool()> isStandardMode;
    BoundControls bound;
    FrequencyStrip channel;
    ToneColumns tones;
    SettingLinks links;
};
