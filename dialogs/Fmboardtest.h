#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TForm3;
}

// The borderless start-up splash shown while the programmer board is searched.
class TForm3 : public QDialog {
    Q_OBJECT

public:
    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;

private:
    std::unique_ptr<Ui::TForm3> ui;
};
