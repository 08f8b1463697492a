#pragma once

#include "window/TEdit.h"
#include "window/Unit1.h"

#include <QCheckBox>
#include <QComboBox>

#include <cstddef>

// A call's editing controls follow its on/off box; the box itself stays
// enabled so that the call can be switched on again.

inline void enableCall(const ControlTables& tables, std::size_t n, bool enabled) {
    tables.edtT1[n]->setEnabled(enabled);
    tables.edtT2[n]->setEnabled(enabled);
    tables.edtAlertTime[n]->setEnabled(enabled);
    tables.cboAlertType[n]->setEnabled(enabled);
    tables.chkPriority[n]->setEnabled(enabled);
}

inline void enableGroupCall(const ControlTables& tables, std::size_t n, bool enabled) {
    tables.edtT3[n]->setEnabled(enabled);
    tables.edtGAlertTime[n]->setEnabled(enabled);
    tables.cboGAlertType[n]->setEnabled(enabled);
    tables.chkGPriority[n]->setEnabled(enabled);
}
