#include "fleet/FleetDelegate.h"

#include "dialogs/Messages.h"
#include "fleet/FleetModel.h"
#include "rules/BehaviourRules.h"
#include "rules/ChannelStep.h"
#include "rules/FieldEntry.h"
#include "window/QtText.h"
#include "window/TEdit.h"

#include <QComboBox>
#include <QEvent>

#include <array>
#include <optional>
#include <span>

namespace {

constexpr std::array<std::string_view, 2> kSwitchItems{"on", "off"};

// The items a field is picked from in a row's configuration, as the main
// window's pick-list or switch offers them; nothing for a typed field.
std::optional<std::span<const std::string_view>> pickItems(const FieldRef& ref,
                                                           const ConfigImage& image) {
    switch (ref.def->kind) {
    case FieldKind::Flag:
    case FieldKind::Privacy:
    case FieldKind::PushToListen:
        return kSwitchItems;
    case FieldKind::Item:
    case FieldKind::Reminder:
    case FieldKind::PtlMode:
        return ref.def->items;
    case FieldKind::ResetMethod:
        return std::span(behaviour::kResetMethodNames)
            .first(static_cast<std::size_t>(behaviour::resetItemsOffered(image)));
    case FieldKind::ChannelSpace:
        return stepItems(bandOfImage(image));
    default:
        return std::nullopt;
    }
}

// The item the editor opened on, to tell a pick from no pick.
const char* const kOpenedItem = "openedItem";

} // namespace

FleetDelegate::FleetDelegate(const FleetModel& fleetModel, Messages& messageSink, Enter onEnter,
                             QObject* parent)
    : QStyledItemDelegate(parent), model(fleetModel), messages(messageSink),
      enter(std::move(onEnter)) {}

QWidget* FleetDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    const auto ref = model.fieldOf(index.column());
    if (!ref) {
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    ConfigImage image{};
    model.rowConfiguration(index.row(), image);
    if (const auto items = pickItems(*ref, image)) {
        auto* box = new QComboBox(parent);
        for (const std::string_view item : *items) {
            box->addItem(qText(item));
        }
        box->setAccessibleName(index.model()->headerData(index.column(), Qt::Horizontal).toString());
        // A pick is an entry, as in the main window's lists.
        connect(box, &QComboBox::activated, this, [this, box] {
            emit const_cast<FleetDelegate*>(this)->commitData(box);
            emit const_cast<FleetDelegate*>(this)->closeEditor(box);
        });
        return box;
    }
    auto* edit = new TEdit(parent);
    edit->setFrame(false);
    edit->setAccessibleName(index.model()->headerData(index.column(), Qt::Horizontal).toString());
    const EntryFilter filter = ref->def->filter;
    edit->setHandlers([this, filter](TEdit* e, char32_t& key) {
        switch (filterKey(filter, textOf(*e), key)) {
        case KeyDecision::Pass:
            return;
        case KeyDecision::SwallowWithMessage:
            key = 0;
            showingMessage = true;
            messages.exclamation(qText(kNotNumericMessage));
            showingMessage = false;
            e->setFocus();
            return;
        default:
            // Enter is the table's: it ends the cell's entry.
            key = 0;
            return;
        }
    });
    return edit;
}

void FleetDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString shown = qText(model.shownText(index.row(), index.column()));
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        const int item = box->findText(shown);
        box->setCurrentIndex(item);
        box->setProperty(kOpenedItem, item);
        return;
    }
    // A value's entry starts empty, as a field's does in the main window:
    // its key filter judges the text typed, not the text shown before.
    if (auto* edit = qobject_cast<TEdit*>(editor)) {
        edit->clear();
        edit->setPlaceholderText(shown);
        edit->setModified(false);
    } else if (auto* label = qobject_cast<QLineEdit*>(editor)) {
        label->setText(shown);
        label->selectAll();
        label->setModified(false);
    }
}

void FleetDelegate::setModelData(QWidget* editor, QAbstractItemModel* /*model*/,
                                 const QModelIndex& index) const {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        if (box->currentIndex() >= 0 && box->currentIndex() != box->property(kOpenedItem).toInt()) {
            enter(index, box->currentText().toStdString());
        }
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(editor); edit != nullptr && edit->isModified()) {
        enter(index, textOf(*edit));
    }
}

bool FleetDelegate::eventFilter(QObject* editor, QEvent* event) {
    if (showingMessage && event->type() == QEvent::FocusOut) {
        return false;
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}
