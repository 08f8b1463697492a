#pragma once

#include "dialogs/AdvanceLockHost.h"

#include <QDialog>
#include <memory>

class Messages;

namespace Ui {
class TForm4;
}

// The password lock in front of the "Advance Setting" tab. Each showing
// allows three tries; the third wrong one closes the lock with the tab hidden.
class TForm4 : public QDialog {
    Q_OBJECT

public:
    TForm4(AdvanceLockHost& host, Messages& messages, QWidget* parent = nullptr);
    ~TForm4() override;

    static constexpr int maximumTries = 3;

    // Upper case, surrounding blanks and control characters ignored.
    static bool passwordAccepted(const QString& entry);

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
    int failures = 0;
};
