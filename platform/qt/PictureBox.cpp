#include "platform/qt/PictureBox.h"

#include <QPainter>

namespace mj::platform::qt {

PictureBox::PictureBox(QImage picture, QWidget* parent) : QWidget(parent), picture_(std::move(picture)) {
    setAutoFillBackground(true);
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter p(this);
    p.drawImage(QPoint(0, 0), picture_);
}

}  // namespace mj::platform::qt
