#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TfrmHelp;
}

// The reset method help: a borderless window with the text and an OK button.
class TfrmHelp : public QDialog {
    Q_OBJECT

public:
    explicit TfrmHelp(QWidget* parent = nullptr);
    ~TfrmHelp() override;

    void Button1Click();

private:
    std::unique_ptr<Ui::TfrmHelp> ui;
};
