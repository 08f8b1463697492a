#pragma once

#include <QStyledItemDelegate>

#include <functional>
#include <string>

class FleetModel;
class Messages;

// Edits a fleet's cells as the main window edits its fields: the keys typed
// into a value go through the field's key filter, and a pick-list or switch
// offers the registry's items. What the user entered goes to `enter`, which
// takes it by the field's rules or refuses it; an editor left unchanged
// enters nothing, so a cell showing the base's value stays empty.
class FleetDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using Enter = std::function<void(const QModelIndex& cell, const std::string& text)>;

    FleetDelegate(const FleetModel& model, Messages& messages, Enter enter,
                  QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    // While a key filter's message is up, the editor keeps its text: losing
    // the focus to the message neither commits nor closes it.
    bool eventFilter(QObject* editor, QEvent* event) override;

private:
    const FleetModel& model;
    Messages& messages;
    Enter enter;
    mutable bool showingMessage = false;
};
