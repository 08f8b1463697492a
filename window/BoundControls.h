#pragma once

#include "model/ConfigImage.h"
#include "rules/FieldRegistry.h"
#include "window/FieldControls.h"

#include <span>
#include <string_view>
#include <vector>

class QComboBox;
class QLabel;
class QWidget;

// One control of the window bound to one value of the image, with the
// labels that go with it: its caption (the label whose buddy it is) and
// its unit.
struct BoundControl {
    QWidget* widget = nullptr;
    FieldRef ref;
    const FieldControl* declared = nullptr;
    std::vector<QLabel*> labels;

    ControlRole role() const { return declared->role; }
    ControlOption option() const { return declared->option; }
};

// The window's controls as the control table declares them, found by field
// and call, and what every field's controls show of the stored image.
class BoundControls {
public:
    // Throws std::logic_error when the window lacks a declared control.
    BoundControls(QWidget& window, const ConfigImage& image);

    std::span<const BoundControl> all() const { return bound; }
    // The control of a field and call; nullptr when the window has none.
    QWidget* control(std::string_view field, int call = 0,
                     ControlRole role = ControlRole::Value) const;
    template <typename Control>
    Control* control(std::string_view field, int call = 0,
                     ControlRole role = ControlRole::Value) const;
    const BoundControl* binding(const QWidget* widget) const;
    // The labels of a declared group, such as the Tone Table's prompt.
    std::vector<QWidget*> labels(std::span<const std::string_view> names) const;

    // The controls of one value and their labels.
    void setEnabled(const FieldRef& ref, bool enabled);
    void setVisible(const FieldRef& ref, bool visible);

    // A control shows the stored value; the receive channel's own controls
    // are left to it.
    void show(const BoundControl& control) const;
    // Every control of a field (every call of a per-call field).
    void showField(const FieldDef& def) const;
    void showAll() const;

private:
    void forEach(const FieldRef& ref, bool value, void (QWidget::*set)(bool));

    QWidget& window;
    const ConfigImage& image;
    std::vector<BoundControl> bound;
};

template <typename Control>
Control* BoundControls::control(std::string_view field, int call, ControlRole role) const {
    return qobject_cast<Control*>(control(field, call, role));
}
