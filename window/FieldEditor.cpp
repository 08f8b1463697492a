#include "window/FieldEditor.h"

#include "rules/DisplayPass.h"
#include "rules/FieldDisplay.h"
#include "rules/FieldEntry.h"
#include "window/FieldFocus.h"
#include "window/ImageDocument.h"
#include "window/QtText.h"
#include "window/TEdit.h"
#include "ui_Unit1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include <algorithm>

namespace {

bool perCall(const FieldDef& def) {
    return def.calls != 0;
}

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

FieldEditor::FieldEditor(Ui::TForm1& ui, ConfigImage& workingImage, ImageDocument& imageDocument,
                         FieldFocus& fieldFocus, Messages& messageSink,
                         std::function<bool()> standard, std::function<void()> openToneTable)
    : form(ui), image(workingImage), document(imageDocument), focus(fieldFocus),
      messages(messageSink),
      standardMode(std::move(standard)), channel(*this, ui, workingImage),
      tones(*this, ui, workingImage, std::move(openToneTable)), links(*this, ui, workingImage) {
    QWidget& window = *ui.centralWidget->window();
    for (const FieldControl& entry : fieldControls()) {
        const FieldDef* def = findField(entry.field);
        if (def == nullptr) {
            throw std::logic_error("no field " + std::string(entry.field));
        }
        const int calls = std::max(def->calls, 1);
        for (int call = perCall(*def) ? 1 : 0; call <= (perCall(*def) ? calls : 0); ++call) {
            QString name = qText(entry.name);
            if (call != 0) {
                name += QString::number(call);
            }
            auto* widget = window.findChild<QWidget*>(name);
            if (widget == nullptr) {
                throw std::logic_error("no control " + name.toStdString());
            }
            bound.push_back({widget, FieldRef{def, call}, entry.option});
        }
    }
    for (const BoundControl& control : bound) {
        bind(control);
        describe(control);
    }
    connect(ui.cboRangeFreq, &QComboBox::activated, this,
            [this] { recorded(fieldRef("Freq"), [this] { channel.pickBand(); }); });
}

QWidget* FieldEditor::control(std::string_view field, int call) const {
    const auto found = std::ranges::find_if(bound, [&](const BoundControl& c) {
        return c.ref.def->name == field && c.ref.call == call;
    });
    return found != bound.end() ? found->widget : nullptr;
}

const BoundControl* FieldEditor::binding(const QWidget* widget) const {
    const auto found =
        std::ranges::find_if(bound, [widget](const BoundControl& c) { return c.widget == widget; });
    return found != bound.end() ? &*found : nullptr;
}

void FieldEditor::bind(const BoundControl& control) {
    const FieldKind kind = control.ref.def->kind;
    if (auto* edit = qobject_cast<TEdit*>(control.widget)) {
        TEdit::Handler doubleClick;
        if (kind == FieldKind::Tone) {
            doubleClick = [this, control](TEdit* e) { tones.doubleClick(e, control.ref); };
        }
        edit->setHandlers(
            &focus, [this, control](TEdit* e) { enter(e, control); },
            [this, control](TEdit* e, char32_t& key) { keyPress(e, control, key); },
            [this, control](TEdit* e) { recorded(control.ref, [&] { exit(e, control); }); },
            std::move(doubleClick));
        // A file dropped on a field opens as it does anywhere on the window.
        edit->setAcceptDrops(false);
    } else if (auto* box = qobject_cast<QComboBox*>(control.widget)) {
        // A pick-list's rule answers the user's pick only, not the display.
        connect(box, &QComboBox::activated, this, [this, box, control] {
            recorded(control.ref, [&] { picked(box, control); });
        });
    } else if (auto* check = qobject_cast<QCheckBox*>(control.widget)) {
        // A switch's rule runs whenever its state changes, except in the display pass.
        connect(check, &QCheckBox::toggled, this, [this, check, control] {
            recorded(control.ref, [&] { switched(check, control); });
        });
    }
}

// The hints of controls that have none of their own come from their labels
// (see AccessibleControls); a tone column's hint sits on its head.
void FieldEditor::describe(const BoundControl& control) const {
    QWidget& widget = *control.widget;
    widget.setAccessibleName(spokenName(control.ref));
    const auto entry = std::ranges::find_if(
        fieldControls(), [&](const FieldControl& c) { return c.field == control.ref.def->name; });
    if (entry != fieldControls().end() && !entry->hintLabel.empty()) {
        if (const auto* head =
                form.centralWidget->window()->findChild<QLabel*>(qText(entry->hintLabel))) {
            widget.setAccessibleDescription(head->toolTip());
        }
    }
}

void FieldEditor::showImage() {
    applyDisplayPass(image);
    channel.show();
    const auto* standby = form.chkFullTimeAutoMonitor;
    const bool standbyWas = standby->isChecked();
    for (const BoundControl& control : bound) {
        show(control);
    }
    links.show(standby->isChecked() != standbyWas);
}

void FieldEditor::showField(const FieldDef& def) {
    for (const BoundControl& control : bound) {
        if (control.ref.def == &def) {
            show(control);
        }
    }
}

void FieldEditor::show(const BoundControl& control) {
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
        if (!item && control.option == ControlOption::KeepsSelection) {
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

void FieldEditor::recorded(const FieldRef& ref, const std::function<void()>& edit) {
    document.edit(qText(fieldCaption(ref)), edit);
}

ToneMode FieldEditor::toneMode() const {
    return standardMode() ? ToneMode::Standard : ToneMode::User;
}

void FieldEditor::refuse(TEdit* field, const std::string& message) {
    focus.refuse(field, MessageKind::Exclamation, QString::fromLatin1(kMessageCaption),
                 qText(message));
}

void FieldEditor::refusePlain(TEdit* field, const std::string& message) {
    focus.refuse(field, MessageKind::Plain, Messages::applicationTitle(), qText(message));
}

void FieldEditor::giveFocusBack(TEdit* field) {
    focus.giveFocusBack(field);
}

void FieldEditor::focusToSink() {
    focus.focusToSink();
}

void FieldEditor::enter(TEdit* edit, const BoundControl& control) {
    if (control.ref.def->kind == FieldKind::Tone) {
        tones.enter(edit, control.ref);
        return;
    }
    // Emptied without an undo step: Ctrl+Z undoes what is typed, no more.
    edit->setText(QString());
}

void FieldEditor::keyPress(TEdit* edit, const BoundControl& control, char32_t& key) {
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
        focusToSink();
        return;
    case KeyDecision::ExitThenEndEntry:
        key = 0;
        // A refused value keeps the field and its text: ending the entry
        // too would check the same text again and report it twice.
        if (!focus.exitInPlace(edit)) {
            focusToSink();
        }
        return;
    case KeyDecision::ExitKeepFocus:
        key = 0;
        focus.exitInPlace(edit);
        return;
    }
}

void FieldEditor::exit(TEdit* edit, const BoundControl& control) {
    switch (control.ref.def->kind) {
    case FieldKind::Tone:
        tones.exit(edit, control.ref);
        return;
    case FieldKind::Frequency:
        channel.exit();
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
        showField(*control.ref.def);
        if (control.option == ControlOption::EmptyEndsEntry) {
            focusToSink();
        }
        return;
    case ExitKind::Accepted:
        storeTypedField(image, control.ref, result.value);
        if (result.shownText) {
            edit->setText(qText(*result.shownText));
        }
        return;
    case ExitKind::OutOfRange:
        refuse(edit, result.message);
        return;
    case ExitKind::NotOnHalfStep:
        messages.exclamation(qText(result.message));
        showField(*control.ref.def);
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
    if (box->currentIndex() < 0 || !store(control.ref, box->currentText().toStdString())) {
        show(control);
        return;
    }
    links.changed(control.ref);
}

void FieldEditor::switched(QCheckBox* box, const BoundControl& control) {
    if (!store(control.ref, box->isChecked() ? "on" : "off")) {
        show(control);
        return;
    }
    links.changed(control.ref);
}

bool FieldEditor::store(const FieldRef& ref, const std::string& text) {
    const FieldAssignment assignment{ref, text};
    const EntryResult result = enterFields(image, std::span(&assignment, 1), toneMode());
    if (!result.accepted) {
        messages.exclamation(qText(result.message));
    }
    return result.accepted;
}
