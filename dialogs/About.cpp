#include "dialogs/About.h"

#include "dialogs/LinkLabel.h"
#include "model/Version.h"
#include "ui_About.h"

#include <QDesktopServices>
#include <QUrl>

#include <string_view>

namespace {

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TAboutBox>()) {
    ui->setupUi(this);
    ui->Version->setText(
        QStringLiteral("Version %1 (%2)").arg(latin1(kVersion), latin1(kReleaseDate)));
    connect(LinkLabel::attach(*ui->lblUrl), &LinkLabel::clicked, this, &TAboutBox::lblUrlClick);
    connect(LinkLabel::attach(*ui->lblEmail), &LinkLabel::clicked, this, &TAboutBox::lblEmailClick);
    connect(ui->OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TAboutBox::~TAboutBox() = default;

// The desktop reports no failure worth telling the user here.
void TAboutBox::lblUrlClick() {
    QDesktopServices::openUrl(QUrl(ui->lblUrl->text()));
}

void TAboutBox::lblEmailClick() {
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + ui->lblEmail->text()));
}
