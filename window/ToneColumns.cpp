#include "window/ToneColumns.h"

#include "rules/FieldEntry.h"
#include "window/FieldEditor.h"
#include "window/QtText.h"
#include "window/TEdit.h"
#include "ui_Unit1.h"

#include <algorithm>
#include <string_view>

namespace {

// The field of each column, in the order of toneTableTarget.
constexpr std::array<std::string_view, 3> kColumnFields{"T1", "T2", "T3"};
constexpr int kGroupColumn = 2;

int columnOf(const FieldRef& ref) {
    const auto found = std::ranges::find(kColumnFields, ref.def->name);
    return static_cast<int>(found - kColumnFields.begin());
}

} // namespace

ToneColumns::ToneColumns(FieldEditor& fieldEditor, Ui::TForm1& ui, ConfigImage& workingImage,
                         std::function<void()> openTable)
    : editor(fieldEditor), form(ui), image(workingImage), openToneTable(std::move(openTable)) {}

void ToneColumns::pointTargetAt(int column, int call) {
    toneTableTarget = {0, 0, 0};
    toneTableTarget[static_cast<std::size_t>(column)] = call;
}

void ToneColumns::enter(TEdit* edit, const FieldRef& ref) {
    if (editor.toneMode() == ToneMode::Standard) {
        for (QWidget* label : {form.Label9, form.Label1, form.Label2}) {
            label->show();
        }
    }
    edit->setText(QString());
    pointTargetAt(columnOf(ref), ref.call);
}

void ToneColumns::exit(TEdit* edit, const FieldRef& ref) {
    const int column = columnOf(ref);
    if (edit->text().isEmpty()) {
        editor.showField(*ref.def);
        return;
    }
    // TONE 1 and TONE 2 hand their target back once an entry is committed;
    // the group column keeps it.
    if (column != kGroupColumn) {
        toneTableTarget[static_cast<std::size_t>(column)] = 0;
    }
    const ToneMode mode = editor.toneMode();
    const ToneEntry entry = enterToneField(image, ref, textOf(*edit), mode);
    edit->setText(qText(entry.shownText));
    switch (entry.kind) {
    case ToneEntryKind::NotANumber:
        // Nothing stored; the text stays for the user to correct.
        editor.messageSink().error(qText(entry.message));
        return;
    case ToneEntryKind::OutOfRange:
        if (mode == ToneMode::Standard) {
            if (column == kGroupColumn) {
                editor.showField(*ref.def);
            } else {
                edit->clear();
            }
        }
        editor.refuse(edit, entry.message);
        return;
    case ToneEntryKind::Accepted:
        return;
    }
}

void ToneColumns::doubleClick(TEdit* /*edit*/, const FieldRef& ref) {
    if (editor.toneMode() == ToneMode::Standard) {
        pointTargetAt(columnOf(ref), ref.call);
        openToneTable();
    }
}

void ToneColumns::clearTargets() {
    toneTableTarget = {0, 0, 0};
    for (QWidget* label : {form.Label9, form.Label1, form.Label2}) {
        label->hide();
    }
}

bool ToneColumns::targetSet() const {
    return std::ranges::any_of(toneTableTarget, [](int target) { return target != 0; });
}

QLineEdit* ToneColumns::toneEdit(int column, int call) {
    if (column < 0 || column >= static_cast<int>(kColumnFields.size()) || call < 1) {
        return nullptr;
    }
    return qobject_cast<QLineEdit*>(
        editor.control(kColumnFields[static_cast<std::size_t>(column)], call));
}

void ToneColumns::commitToneEdit(QLineEdit* edit, int /*column*/) {
    if (const BoundControl* control = editor.binding(edit)) {
        const FieldRef ref = control->ref;
        editor.recorded(ref, [&] { exit(static_cast<TEdit*>(edit), ref); });
    }
}
