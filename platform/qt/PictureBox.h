#pragma once

#include <QImage>
#include <QWidget>

namespace mj::platform::qt {

// A picture drawn at its natural size from the top-left corner, clipped to the box; empty when the picture
// could not be decoded.
class PictureBox : public QWidget {
public:
    PictureBox(QImage picture, QWidget* parent);
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage picture_;
};

}  // namespace mj::platform::qt
