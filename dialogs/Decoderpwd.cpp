#include "dialogs/Decoderpwd.h"

#include "dialogs/Messages.h"
#include "ui_Decoderpwd.h"

#include <QFocusEvent>
#include <QShowEvent>

TForm4::TForm4(AdvanceLockHost& host, Messages& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TForm4>()), host(host), messages(messages) {
    ui->setupUi(this);
    ui->edtPwd->installEventFilter(this);
    connect(ui->edtPwd, &QLineEdit::returnPressed, this, &TForm4::btnOKClick);
    connect(ui->btnOK, &QPushButton::clicked, this, &TForm4::btnOKClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TForm4::btnCancelClick);
}

TForm4::~TForm4() = default;

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

// Showing the lock empties the entry even though the focus arrives with the
// window's activation, which is no entry of the user's.
void TForm4::FormShow() {
    lock.start();
    ui->edtPwd->setFocus();
    edtPwdEnter();
}

void TForm4::edtPwdEnter() {
    ui->edtPwd->clear();
}

void TForm4::btnOKClick() {
    ui->edtPwd->setText(ui->edtPwd->text().toUpper());
    const AdvanceLock::Answer answer = lock.tryPassword(ui->edtPwd->text().toStdString());
    if (answer == AdvanceLock::Answer::Unlocked) {
        host.setAdvanceUnlocked(true);
        accept();
        return;
    }

    messages.exclamation(QStringLiteral("Password is Error !"));
    activateWindow();
    edtPwdEnter();
    ui->edtPwd->setFocus();
    if (answer == AdvanceLock::Answer::Locked) {
        host.setAdvanceUnlocked(false);
        reject();
    }
}

void TForm4::btnCancelClick() {
    reject();
}

bool TForm4::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->edtPwd && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            edtPwdEnter();
        }
    }
    return QDialog::eventFilter(watched, event);
}
