#include "window/FieldEditor.h"

#include "rules/DisplayPass.h"
#include "rules/FieldDisplay.h"
#include "rules/FieldEntry.h"
#include "window/FieldFocus.h"
#include "window/ImageDocument.h"
#include "dialogs/Messages.h"
#include "window/QtText.h"
#include "window/TEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// The unit the window prints beside the control, as a screen reader should
// say it too; tones carry none on screen.
QString spokenName(const FieldRef& ref) {
    QString name = qText(fieldCaption(ref));
    const FieldDef& def = *ref.def;
    if (!def.unit.empty() && def.kind != FieldKind::Tone) {
        name += QStringLiteral(" (%1)").arg(qText(def.unit));
    }
    return name;
}

} // namespace

FieldEditor::FieldEditor(QWidget& mainWindow, ImageDocument& imageDocument,
                         FieldFocus& fieldFocus, Messages& messageSink,
                         std::function<bool()> standard, std::function<void()> openToneTable)
    : window(mainWindow), document(imageDocument), image(imageDocument.image()),
      focus(fieldFocus), messages(messageSink), isStandardMode(std::move(standard)),
      bound(mainWindow, image), channel(bound, image, fieldFocus, messageSink),
      tones(bound, imageDocument, fieldFocus, messageSink, [this] { return currentToneMode(); },
            std::move(openToneTable)),
      links(bound, image) {
    for (const BoundControl& control : bound.all()) {
        bind(control);
        if (control.role() == ControlRole::Value) {
            describe(control);
        }
    }
}

void FieldEditor::bind(const BoundControl& control) {
    if (control.role() == ControlRole::BandList) {
        connect(static_cast<QComboBox*>(control.widget), &QComboBox::activated, this, [this] {
            document.editField(fieldRef("Freq"), [this] { channel.pickBand(); });
        });
        return;
    }
    if (control.role() != ControlRole::Value) {
        return;
    }
    if (auto* edit = qobject_cast<TEdit*>(control.widget)) {
        const bool tone = control.ref.def->kind == FieldKind::Tone;
        focus.watch(
            edit,
            [this, control, tone](TEdit* e) {
                if (tone) {
                    tones.enterTone(e, control.ref);
                } else {
                    // Emptied without an undo step: Ctrl+Z undoes what is typed, no more.
                    e->setText(QString());
                }
            },
            [this, control](TEdit* e) {
                document.editField(control.ref, [&] { exitField(e, control); });
            });
        TEdit::Handler doubleClick;
        if (tone) {
            doubleClick = [this, control](TEdit*) { tones.doubleClick(control.ref); };
        }
        edit->setHandlers([this, control](TEdit* e, char32_t& key) { filterFieldKey(e, control, key); },
                          std::move(doubleClick));
        // A file dropped on a field opens as it does anywhere on the window.
        edit->setAcceptDrops(false);
    } else if (auto* box = qobject_cast<QComboBox*>(control.widget)) {
        // A pick-list's rule answers the user's pick only, not the display.
        connect(box, &QComboBox::activated, this, [this, box, control] {
            document.editField(control.ref, [&] { picked(box, control); });
        });
    } else if (auto* check = qobject_cast<QCheckBox*>(control.widget)) {
        // A switch's rule runs whenever its state changes, except in the display pass.
        connect(check, &QCheckBox::toggled, this, [this, check, control] {
            document.editField(control.ref, [&] { switched(check, control); });
        });
    }
}

// The hints of controls that have none of their own come from their labels
// (see AccessibleControls); a tone column's hint sits on its head.
void FieldEditor::describe(const BoundControl& control) const {
    QWidget& widget = *control.widget;
    widget.setAccessibleName(spokenName(control.ref));
    if (!control.declared->hintLabel.empty()) {
        if (const auto* head = window.findChild<QLabel*>(qText(control.declared->hintLabel))) {
            widget.setAccessibleDescription(head->toolTip());
        }
    }
}

void FieldEditor::displayImage() {
    applyDisplayPass(image);
    channel.show();
    const auto* standby = bound.control<QCheckBox>("FullTimeAutoMonitor");
    const bool standbyWas = standby->isChecked();
    bound.showAll();
    links.show(standby->isChecked() != standbyWas);
}

void FieldEditor::enableForModifyMode() {
    for (const BoundControl& control : bound.all()) {
        if (qobject_cast<QLabel*>(control.widget) == nullptr) {
            control.widget->setEnabled(true);
        }
    }
    links.showModifyMode();
}

ToneMode FieldEditor::currentToneMode() const {
    return isStandardMode() ? ToneMode::Standard : ToneMode::User;
}

void FieldEditor::filterFieldKey(TEdit* edit, const BoundControl& control, char32_t& key) {
    switch (filterKey(control.ref.def->filter, textOf(*edit), key)) {
    case KeyDecision::Pass:
        return;
    case KeyDecision::Swallow:
        key = 0;
        return;
    case KeyDecision::SwallowWithMessage:
        key = 0;
        messages.exclamation(qText(kNotNumericMessage));
        focus.giveFocusBack(edit);
        return;
    case KeyDecision::EndEntry:
        key = 0;
        focus.focusToSink();
        return;
    case KeyDecision::ExitThenEndEntry:
        key = 0;
        // A refused value keeps the field and its text: ending the entry
        // too would check the same text again and report it twice.
        if (!focus.exitInPlace(edit)) {
            focus.focusToSink();
        }
        return;
    case KeyDecision::ExitKeepFocus:
        key = 0;
        focus.exitInPlace(edit);
        return;
    }
}

void FieldEditor::exitField(TEdit* edit, const BoundControl& control) {
    switch (control.ref.def->kind) {
    case FieldKind::Tone:
        tones.exitTone(edit, control.ref);
        return;
    case FieldKind::Frequency:
        channel.checkEntry();
        return;
    default:
        exitTyped(edit, control);
        return;
    }
}

void FieldEditor::exitTyped(TEdit* edit, const BoundControl& control) {
    const ExitResult result = typedFieldExit(*control.ref.def, textOf(*edit));
    switch (result.kind) {
    case ExitKind::Empty:
        bound.showField(*control.ref.def);
        if (control.option() == ControlOption::EmptyEndsEntry) {
            focus.focusToSink();
        }
        return;
    case ExitKind::Accepted:
        storeTypedField(image, control.ref, result.value);
        if (result.shownText) {
            edit->setText(qText(*result.shownText));
        }
        return;
    case ExitKind::OutOfRange:
        focus.refuse(edit, result.message);
        return;
    case ExitKind::NotOnHalfStep:
        messages.exclamation(qText(result.message));
        bound.showField(*control.ref.def);
        return;
    case ExitKind::NotANumber:
        // The text stays for the user to correct; the focus goes where it went.
        messages.error(qText(result.message));
        return;
    }
}

void FieldEditor::picked(QComboBox* box, const BoundControl& control) {
    if (control.ref.def->kind == FieldKind::ChannelSpace) {
        channel.pickStep();
        return;
    }
    if (box->currentIndex() < 0 || !storeText(control.ref, box->currentText().toStdString())) {
        bound.show(control);
        return;
    }
    links.changed(control.ref);
}

void FieldEditor::switched(QCheckBox* box, const BoundControl& control) {
    if (!storeText(control.ref, box->isChecked() ? "on" : "off")) {
        bound.show(control);
        return;
    }
    links.changed(control.ref);
}

bool FieldEditor::storeText(const FieldRef& ref, const std::string& text) {
    const FieldAssignment assignment{ref, text};
    const EntryResult result = enterFields(image, std::span(&assignment, 1), currentToneMode());
    if (!result.accepted) {
        messages.exclamation(qText(result.message));
    }
    return result.accepted;
}
