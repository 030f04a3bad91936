#pragma once

#include <QWidget>
#include <string>

#include "platform/Shell.h"

namespace mj::platform::qt {

// A hyperlink: its caption (or its address when the caption is empty), centred on one line, opened through
// the shell on a left press.
class Hyperlink : public QWidget {
public:
    Hyperlink(Shell& shell, QString caption, std::string target, QWidget* parent);
    bool Visited() const { return visited_; }
    const QString& Caption() const { return caption_; }
    bool Hovered() const { return hover_; }
    QColor TextColour() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    Shell& shell_;
    QString caption_;
    std::string target_;
    bool visited_ = false;
    bool hover_ = false;
};

}  // namespace mj::platform::qt
