#pragma once

#include <QLabel>

namespace mj::platform::qt {

// A word-wrapped label whose lines are as far apart as its font's pixel size, as the windows were laid out
// for: CJK fonts here are taller, and two lines would not fit the boxes the definitions give them.
class WrapLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override;
};

}  // namespace mj::platform::qt
