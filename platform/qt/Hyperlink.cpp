#include "platform/qt/Hyperlink.h"

#include <QMouseEvent>
#include <QPainter>

namespace mj::platform::qt {

Hyperlink::Hyperlink(Shell& shell, QString caption, std::string target, QWidget* parent)
    : QWidget(parent), shell_(shell), caption_(std::move(caption)), target_(std::move(target)) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setAutoFillBackground(true);
}

QColor Hyperlink::TextColour() const {
    if (hover_) return QColor(49, 106, 197);
    return visited_ ? QColor(128, 0, 0) : QColor(0, 0, 255);
}

void Hyperlink::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(TextColour());
    p.setFont(font());
    // Centred; a caption wider than the control keeps its beginning in view.
    const bool fits = fontMetrics().horizontalAdvance(caption_) <= width();
    p.drawText(rect(), (fits ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine, caption_);
}

void Hyperlink::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
    if (target_.empty() || target_ == "mailto:") return;
    if (shell_.OpenWithFallback(target_)) visited_ = true;
    update();
}

void Hyperlink::enterEvent(QEnterEvent*) {
    hover_ = true;
    update();
}

void Hyperlink::leaveEvent(QEvent*) {
    hover_ = false;
    update();
}

}  // namespace mj::platform::qt
