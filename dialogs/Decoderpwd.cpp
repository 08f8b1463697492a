#include "dialogs/Decoderpwd.h"

#include "dialogs/Messages.h"
#include "ui_Decoderpwd.h"

#include <QFocusEvent>
#include <QShowEvent>

namespace {

constexpr QLatin1String password("R4TZQ");

bool blankOrControl(QChar c) {
    return c.unicode() <= u' ';
}

} // namespace

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

bool TForm4::passwordAccepted(const QString& entry) {
    const QString upper = entry.toUpper();
    qsizetype first = 0;
    qsizetype last = upper.size();
    while (first < last && blankOrControl(upper[first])) {
        ++first;
    }
    while (last > first && blankOrControl(upper[last - 1])) {
        --last;
    }
    return QStringView(upper).sliced(first, last - first) == password;
}

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

// Showing the lock empties the entry even though the focus arrives with the
// window's activation, which is no entry of the user's.
void TForm4::FormShow() {
    failures = 0;
    ui->edtPwd->setFocus();
    edtPwdEnter();
}

void TForm4::edtPwdEnter() {
    ui->edtPwd->clear();
}

void TForm4::btnOKClick() {
    ui->edtPwd->setText(ui->edtPwd->text().toUpper());
    if (passwordAccepted(ui->edtPwd->text())) {
        host.setAdvanceUnlocked(true);
        accept();
        return;
    }

    messages.exclamation(QStringLiteral("Password is Error !"));
    ++failures;
    activateWindow();
    edtPwdEnter();
    ui->edtPwd->setFocus();
    if (failures >= maximumTries) {
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
