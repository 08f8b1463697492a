#include "dialogs/Fmhelp.h"

#include "ui_Fmhelp.h"

TfrmHelp::TfrmHelp(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui(std::make_unique<Ui::TfrmHelp>()) {
    ui->setupUi(this);
    ui->Memo1->viewport()->setCursor(Qt::ArrowCursor);
    connect(ui->Button1, &QPushButton::clicked, this, &TfrmHelp::Button1Click);
}

TfrmHelp::~TfrmHelp() = default;

void TfrmHelp::Button1Click() {
    accept();
}
