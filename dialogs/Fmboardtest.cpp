#include "dialogs/Fmboardtest.h"

#include "ui_Fmboardtest.h"

#include <QPainter>
#include <QPixmap>

namespace {

// A pager seated in the programmer board, drawn rather than shipped as a file.
QPixmap boardPicture() {
    constexpr int side = 61;
    QPixmap picture(side, side);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(QPen(QColor(0x1b, 0x5e, 0x20), 1));
    painter.setBrush(QColor(0x2e, 0x7d, 0x32));
    painter.drawRoundedRect(QRectF(2.5, 38.5, 56, 20), 3, 3);
    painter.setBrush(QColor(0xc0, 0xa0, 0x40));
    for (int pin = 0; pin < 6; ++pin) {
        painter.drawRect(QRectF(8.5 + pin * 8, 52.5, 4, 4));
    }

    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    painter.setBrush(QColor(0x45, 0x4a, 0x52));
    painter.drawRoundedRect(QRectF(14.5, 4.5, 32, 44), 6, 6);
    painter.setBrush(QColor(0x9c, 0xcc, 0x65));
    painter.drawRect(QRectF(19.5, 10.5, 22, 12));
    painter.setBrush(QColor(0xd3, 0x2f, 0x2f));
    painter.drawEllipse(QRectF(26.5, 29.5, 8, 8));
    return picture;
}

} // namespace

TForm3::TForm3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui(std::make_unique<Ui::TForm3>()) {
    ui->setupUi(this);
    ui->Image1->setPixmap(boardPicture());
}

TForm3::~TForm3() = default;
