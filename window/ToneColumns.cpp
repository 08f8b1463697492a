#include "window/ToneColumns.h"

#include "dialogs/Messages.h"
#include "rules/FieldEntry.h"
#include "window/BoundControls.h"
#include "window/FieldFocus.h"
#include "window/ImageDocument.h"
#include "window/QtText.h"
#include "window/TEdit.h"

#include <algorithm>

ToneColumns::ToneColumns(BoundControls& boundControls, ImageDocument& imageDocument,
                         FieldFocus& fieldFocus, Messages& messageSink,
                         std::function<ToneMode()> mode, std::function<void()> openToneTable)
    : controls(boundControls), document(imageDocument), focus(fieldFocus), messages(messageSink),
      modeOfTones(std::move(mode)), openTable(std::move(openToneTable)) {}

int ToneColumns::columnOf(const FieldRef& ref) const {
    const auto found = std::ranges::find_if(controls.all(), [&](const BoundControl& c) {
        return c.ref.def == ref.def && c.declared->toneColumn >= 0;
    });
    return found != controls.all().end() ? found->declared->toneColumn : -1;
}

void ToneColumns::pointTargetAt(const FieldRef& ref) {
    toneTableTarget = {0, 0, 0};
    if (const int column = columnOf(ref); column >= 0) {
        toneTableTarget.at(static_cast<std::size_t>(column)) = ref.call;
    }
}

void ToneColumns::showPrompt(bool shown) {
    for (QWidget* label : controls.labels(toneTablePrompt())) {
        label->setVisible(shown);
    }
}

void ToneColumns::enterTone(TEdit* edit, const FieldRef& ref) {
    if (modeOfTones() == ToneMode::Standard) {
        showPrompt(true);
    }
    edit->setText(QString());
    pointTargetAt(ref);
}

void ToneColumns::exitTone(TEdit* edit, const FieldRef& ref) {
    if (edit->text().isEmpty()) {
        controls.showField(*ref.def);
        return;
    }
    const ToneColumnBehaviour column = toneColumnBehaviour(*ref.def);
    if (!column.keepsTableTarget) {
        toneTableTarget.at(static_cast<std::size_t>(columnOf(ref))) = 0;
    }
    const ToneMode mode = modeOfTones();
    const ToneEntry entry = enterToneField(document.image(), ref, textOf(*edit), mode);
    edit->setText(qText(entry.shownText));
    switch (entry.kind) {
    case ToneEntryKind::NotANumber:
        // Nothing stored; the text stays for the user to correct.
        messages.error(qText(entry.message));
        return;
    case ToneEntryKind::OutOfRange:
        if (mode == ToneMode::Standard) {
            if (column.refusedShowsStored) {
                controls.showField(*ref.def);
            } else {
                edit->clear();
            }
        }
        focus.refuse(edit, entry.message);
        return;
    case ToneEntryKind::Accepted:
        return;
    }
}

void ToneColumns::doubleClick(const FieldRef& ref) {
    if (modeOfTones() == ToneMode::Standard) {
        pointTargetAt(ref);
        openTable();
    }
}

void ToneColumns::clearTargets() {
    toneTableTarget = {0, 0, 0};
    showPrompt(false);
}

bool ToneColumns::targetSet() const {
    return std::ranges::any_of(toneTableTarget, [](int target) { return target != 0; });
}

QLineEdit* ToneColumns::toneEdit(int column, int call) {
    const auto found = std::ranges::find_if(controls.all(), [&](const BoundControl& c) {
        return c.declared->toneColumn == column && c.ref.call == call && call >= 1;
    });
    return found != controls.all().end() ? qobject_cast<QLineEdit*>(found->widget) : nullptr;
}

void ToneColumns::commitToneEdit(QLineEdit* edit, int /*column*/) {
    if (const BoundControl* control = controls.binding(edit)) {
        const FieldRef ref = control->ref;
        document.editField(ref, [&] { exitTone(static_cast<TEdit*>(edit), ref); });
    }
}
