#pragma once

#include "dialogs/AdvanceLockHost.h"
#include "rules/AdvanceLock.h"

#include <QDialog>
#include <memory>

class Messages;

namespace Ui {
class TForm4;
}

// The password lock in front of the "Advance Setting" tab: the core's lock
// decides; the third wrong try closes the dialog with the tab hidden.
class TForm4 : public QDialog {
    Q_OBJECT

public:
    TForm4(AdvanceLockHost& host, Messages& messages, QWidget* parent = nullptr);
    ~TForm4() override;

    void btnOKClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void edtPwdEnter();

    std::unique_ptr<Ui::TForm4> ui;
    AdvanceLockHost& host;
    Messages& messages;
    AdvanceLock lock;
};
