#include "window/BoundControls.h"

#include "rules/FieldDisplay.h"
#include "rules/FrequencyDigits.h"
#include "window/PickLists.h"
#include "window/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>
#include <stdexcept>
#include <string>

BoundControls::BoundControls(QWidget& mainWindow, const ConfigImage& workingImage)
    : window(mainWindow), image(workingImage) {
    const QList<QLabel*> allLabels = window.findChildren<QLabel*>();
    for (const FieldControl& entry : fieldControls()) {
        const FieldDef* def = findField(entry.field);
        if (def == nullptr) {
            throw std::logic_error("no field " + std::string(entry.field));
        }
        const bool perCall = def->calls != 0 && entry.role == ControlRole::Value;
        for (int call = perCall ? 1 : 0; call <= (perCall ? def->calls : 0); ++call) {
            QString name = qText(entry.name);
            if (call != 0) {
                name += QString::number(call);
            }
            auto* widget = window.findChild<QWidget*>(name);
            if (widget == nullptr) {
                throw std::logic_error("no control " + name.toStdString());
            }
            BoundControl control{widget, FieldRef{def, call}, &entry, {}};
            for (QLabel* label : allLabels) {
                if (label->buddy() == widget) {
                    control.labels.push_back(label);
                }
            }
            if (!entry.unitLabel.empty()) {
                control.labels.push_back(window.findChild<QLabel*>(qText(entry.unitLabel)));
            }
            bound.push_back(std::move(control));
        }
    }
    // The pick-lists whose items the core names; the channel step follows the
    // band and is filled with it.
    for (const BoundControl& control : bound) {
        auto* box = qobject_cast<QComboBox*>(control.widget);
        if (box == nullptr) {
            continue;
        }
        if (control.role() == ControlRole::BandList) {
            fillItems(*box, kBandItems);
        } else if (!control.ref.def->items.empty()) {
            fillItems(*box, control.ref.def->items);
        }
    }
}

QWidget* BoundControls::control(std::string_view field, int call, ControlRole role) const {
    const auto found = std::ranges::find_if(bound, [&](const BoundControl& c) {
        return c.ref.def->name == field && c.ref.call == call && c.role() == role;
    });
    return found != bound.end() ? found->widget : nullptr;
}

const BoundControl* BoundControls::binding(const QWidget* widget) const {
    const auto found =
        std::ranges::find_if(bound, [widget](const BoundControl& c) { return c.widget == widget; });
    return found != bound.end() ? &*found : nullptr;
}

std::vector<QWidget*> BoundControls::labels(std::span<const std::string_view> names) const {
    std::vector<QWidget*> found;
    for (std::string_view name : names) {
        found.push_back(window.findChild<QLabel*>(qText(name)));
    }
    return found;
}

void BoundControls::forEach(const FieldRef& ref, bool value, void (QWidget::*set)(bool)) {
    for (const BoundControl& control : bound) {
        if (control.ref.def == ref.def && control.ref.call == ref.call &&
            control.role() == ControlRole::Value) {
            (control.widget->*set)(value);
            for (QLabel* label : control.labels) {
                (label->*set)(value);
            }
        }
    }
}

void BoundControls::setEnabled(const FieldRef& ref, bool enabled) {
    forEach(ref, enabled, &QWidget::setEnabled);
}

void BoundControls::setVisible(const FieldRef& ref, bool visible) {
    forEach(ref, visible, &QWidget::setVisible);
}

void BoundControls::show(const BoundControl& control) const {
    if (control.role() != ControlRole::Value) {
        return;
    }
    switch (control.ref.def->kind) {
    case FieldKind::Frequency:
    case FieldKind::ChannelSpace:
    case FieldKind::PllWord:
        return; // the receive channel shows these as its check decides
    default:
        break;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control.widget)) {
        edit->setText(qText(fieldEditText(image, control.ref)));
    } else if (auto* label = qobject_cast<QLabel*>(control.widget)) {
        label->setText(qText(fieldEditText(image, control.ref)));
    } else if (auto* box = qobject_cast<QComboBox*>(control.widget)) {
        const auto item = fieldItem(image, control.ref);
        if (!item && control.option() == ControlOption::KeepsSelection) {
            return;
        }
        // An item outside the list leaves the list without a selection.
        const int index = item.value_or(-1);
        box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
    } else if (auto* check = qobject_cast<QCheckBox*>(control.widget)) {
        const QSignalBlocker quiet(check);
        check->setChecked(fieldOn(image, control.ref));
    }
}

void BoundControls::showField(const FieldDef& def) const {
    for (const BoundControl& control : bound) {
        if (control.ref.def == &def) {
            show(control);
        }
    }
}

void BoundControls::showAll() const {
    for (const BoundControl& control : bound) {
        show(control);
    }
}
