#include "window/PickLists.h"

#include "rules/BehaviourRules.h"
#include "rules/CallRules.h"
#include "rules/ComboItems.h"
#include "rules/FrequencyDigits.h"
#include "ui_Unit1.h"
#include "window/QtText.h"

void fillItems(QComboBox& box, std::span<const std::string_view> items) {
    box.clear();
    for (std::string_view item : items) {
        box.addItem(qText(item));
    }
}

void fillPickLists(Ui::TForm1& form) {
    fillItems(*form.cboRangeFreq, kBandItems);
    for (QComboBox* box : {form.cboAlertType1, form.cboAlertType2, form.cboAlertType3,
                           form.cboAlertType4, form.cboGAlertType1, form.cboGAlertType2}) {
        fillItems(*box, kAlertTypeItems);
    }
    fillItems(*form.cboResetCon, behaviour::kResetMethodNames);
    fillItems(*form.cboReminder, kReminderItems);
    fillItems(*form.cboBatteryLow, kBatteryLowItems);
    fillItems(*form.cboPTL, kPushToListenItems);
    fillItems(*form.cboRecordMax, kRecordMaxItems);
    fillItems(*form.cboBandWidth, kBandWidthItems);
}
