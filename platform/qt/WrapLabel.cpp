#include "platform/qt/WrapLabel.h"

#include <QPainter>
#include <QTextLayout>

namespace mj::platform::qt {

void WrapLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (autoFillBackground()) p.fillRect(rect(), palette().color(backgroundRole()));
    p.setPen(palette().color(foregroundRole()));
    QString text = this->text();
    text.replace("\r\n", QString(QChar::LineSeparator)).replace('\n', QChar::LineSeparator).remove('\r');
    QTextLayout layout(text, font());
    QTextOption option(alignment() & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const QFontMetricsF metrics(font());
    const qreal step = font().pixelSize() > 0 ? font().pixelSize() : metrics.height();
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width());
        line.setPosition(QPointF(0, y));
        y += step;
    }
    layout.endLayout();
    // Han glyphs sit below the font's ascent line; lift them so the first line starts at the top.
    layout.draw(&p, QPointF(0, -(metrics.ascent() - step * 0.9)));
}

}  // namespace mj::platform::qt
