#include "window/AccessibleControls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QTabBar>

#include <algorithm>
#include <vector>

namespace {

QString withoutMnemonic(QString text) {
    return text.remove(QLatin1Char('&'));
}

// Qt names a combo box by its current item on Linux; a screen reader then
// says "120 Second" where the user needs "Reminder".
class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return box()->currentText();
        }
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) {
            box()->showPopup();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

// The focus sink ends entries; it is no control a person uses.
class SilentSink : public QAccessibleWidget {
public:
    explicit SilentSink(QWidget* sink) : QAccessibleWidget(sink, QAccessible::NoRole) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        s.focusable = false;
        return s;
    }
};

// One page tab of a tab bar, as a screen reader lists it.
class PageTab : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PageTab(QTabBar* tabBar, int tabIndex) : bar(tabBar), index(tabIndex) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    bool isValid() const override { return bar != nullptr && index < bar->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent()->window(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(bar.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text kind) const override {
        if (!isValid()) {
            return {};
        }
        switch (kind) {
        case QAccessible::Name:
            return withoutMnemonic(bar->tabText(index));
        case QAccessible::Description:
            return bar->tabToolTip(index);
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect r = bar->tabRect(index);
        return QRect(bar->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = index == bar->currentIndex();
        s.focused = s.selected && bar->hasFocus();
        s.disabled = !bar->isTabEnabled(index);
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && isValid()) {
            bar->setCurrentIndex(index);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QTabBar> bar;
    int index;
};

// A tab bar lists only the pages it shows: a locked page is not announced.
class PageTabList : public QAccessibleWidget {
public:
    explicit PageTabList(QTabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}
    ~PageTabList() override {
        for (const QAccessible::Id id : std::as_const(tabs)) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
    PageTabList(const PageTabList&) = delete;
    PageTabList& operator=(const PageTabList&) = delete;

    // Unnamed, the list says the page it shows.
    QString text(QAccessible::Text kind) const override {
        const QString own = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && own.isEmpty()) {
            return withoutMnemonic(bar()->tabText(bar()->currentIndex()));
        }
        return own;
    }

    int childCount() const override { return static_cast<int>(shownTabs().size()); }
    QAccessibleInterface* child(int i) const override {
        const std::vector<int> shown = shownTabs();
        if (i < 0 || static_cast<std::size_t>(i) >= shown.size()) {
            return nullptr;
        }
        const int index = shown[static_cast<std::size_t>(i)];
        if (!tabs.contains(index)) {
            auto* tab = new PageTab(bar(), index);
            tabs.insert(index, QAccessible::registerAccessibleInterface(tab));
        }
        return QAccessible::accessibleInterface(tabs.value(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i) {
            if (this->child(i) == child) {
                return i;
            }
        }
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        const std::vector<int> shown = shownTabs();
        const auto at = std::find(shown.begin(), shown.end(), bar()->currentIndex());
        return at == shown.end() ? nullptr : child(static_cast<int>(at - shown.begin()));
    }

private:
    QTabBar* bar() const { return static_cast<QTabBar*>(widget()); }
    std::vector<int> shownTabs() const {
        std::vector<int> shown;
        for (int i = 0; i < bar()->count(); ++i) {
            if (bar()->isTabVisible(i)) {
                shown.push_back(i);
            }
        }
        return shown;
    }

    mutable QHash<int, QAccessible::Id> tabs;
};

QAccessibleInterface* controlInterface(const QString& /*className*/, QObject* object) {
    if (auto* box = qobject_cast<QComboBox*>(object)) {
        return new NamedComboBox(box);
    }
    if (auto* bar = qobject_cast<QTabBar*>(object)) {
        return new PageTabList(bar);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(object);
        edit != nullptr && edit->objectName() == QLatin1String("edtNull")) {
        return new SilentSink(edit);
    }
    return nullptr;
}

} // namespace

namespace accessibleControls {

void install() {
    static const bool installed = [] {
        QAccessible::installFactory(controlInterface);
        return true;
    }();
    (void)installed;
}

void describe(QWidget& window) {
    // Qt takes a control's own hint as its description; a hint that sits on
    // the control's label is the label's alone.
    for (QLabel* label : window.findChildren<QLabel*>()) {
        QWidget* buddy = label->buddy();
        if (buddy != nullptr && buddy->accessibleDescription().isEmpty() &&
            buddy->toolTip().isEmpty()) {
            buddy->setAccessibleDescription(label->toolTip());
        }
    }
}

} // namespace accessibleControls
