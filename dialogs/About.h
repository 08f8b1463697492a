#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TAboutBox;
}

// The about box: product, version, notice and the project's web and e-mail
// addresses, each opened with the desktop's default handler.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    void lblUrlClick();
    void lblEmailClick();

private:
    std::unique_ptr<Ui::TAboutBox> ui;
};
