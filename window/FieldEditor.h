#pragma once

#include "dialogs/Messages.h"
#include "model/ConfigImage.h"
#include "rules/FieldRegistry.h"
#include "rules/ToneRules.h"
#include "window/FieldControls.h"
#include "window/FrequencyStrip.h"
#include "window/SettingLinks.h"
#include "window/ToneColumns.h"

#include <QObject>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class FieldFocus;
class ImageDocument;
class QCheckBox;
class QComboBox;
class QWidget;
class TEdit;
namespace Ui {
class TForm1;
}

// One control of the window bound to one value of the image.
struct BoundControl {
    QWidget* widget = nullptr;
    FieldRef ref;
    ControlOption option = ControlOption::None;
};

// Edits every field of the image through the control table: one editor for
// the edits (entry, the field's key filter, its exit rule), the pick-lists and
// the switches, storing through the core's rules; the linked behaviours of the
// receive channel, the tone columns and the Setting tab follow what was
// stored. It also names each control for assistive technology.
class FieldEditor : public QObject {
    Q_OBJECT

public:
    FieldEditor(Ui::TForm1& form, ConfigImage& image, ImageDocument& document, FieldFocus& focus,
                Messages& messages, std::function<bool()> standardMode,
                std::function<void()> openToneTable);

    // The display pass: the core stores what showing the image normalises,
    // as for a freshly started window, then every control shows its value.
    void showImage();
    // The controls of a field (every call of a per-call field) show the stored value.
    void showField(const FieldDef& def);

    const std::vector<BoundControl>& controls() const { return bound; }
    // The control of a field and call; nullptr when the window has none.
    QWidget* control(std::string_view field, int call = 0) const;
    const BoundControl* binding(const QWidget* widget) const;

    ToneColumns& toneColumns() { return tones; }
    SettingLinks& settingLinks() { return links; }

    // What the linked behaviours share with the editing convention.
    ToneMode toneMode() const;
    // Message (exclamation, "PX520"), then the focus back to the field.
    void refuse(TEdit* field, const std::string& message);
    // The same in a plain message window.
    void refusePlain(TEdit* field, const std::string& message);
    void giveFocusBack(TEdit* field);
    // Ends the entry of whatever field has the focus.
    void focusToSink();
    Messages& messageSink() { return messages; }
    // Runs a user's edit of the field; what it stores is one undo step.
    void recorded(const FieldRef& ref, const std::function<void()>& edit);

private:
    void bind(const BoundControl& control);
    void describe(const BoundControl& control) const;
    void show(const BoundControl& control);
    void enter(TEdit* edit, const BoundControl& control);
    void keyPress(TEdit* edit, const BoundControl& control, char32_t& key);
    void exit(TEdit* edit, const BoundControl& control);
    void exitTyped(TEdit* edit, const BoundControl& control);
    void picked(QComboBox* box, const BoundControl& control);
    void switched(QCheckBox* box, const BoundControl& control);
    // Takes a value as px520-cli set takes it; false (and a message) when refused.
    bool store(const FieldRef& ref, const std::string& text);

    Ui::TForm1& form;
    ConfigImage& image;
    ImageDocument& document;
    FieldFocus& focus;
    Messages& messages;
    std::function<bool()> standardMode;
    std::vector<BoundControl> bound;
    FrequencyStrip channel;
    ToneColumns tones;
    SettingLinks links;
};
