// The skin engine: a shared library the program writes out and loads by name. It restyles the whole
// application, windows opened later included, through the application's palette and style sheet.
#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QWidget>

#include <fstream>
#include <iterator>

#include "platform/skinengine/SkinFormat.h"

namespace {

using namespace mj::skin;

QString Hex(const Skin& s, const char* key) {
    return QString::fromStdString(s.Get(key));
}

QColor Colour(const Skin& s, const char* key) {
    Rgb c;
    ParseColour(s.Get(key), c);
    return QColor(c.r, c.g, c.b);
}

QString StyleSheet(const Skin& s) {
    const QString r = QString::fromStdString(s.Get("radius", "0")) + "px";
    QString css =
        QString(
            "QPushButton { background: %1; color: %2; border: 1px solid %3; border-radius: %4; padding: 0 2px; }"
            "QPushButton:hover { background: %5; }"
            "QPushButton:pressed { background: %6; }"
            "QPushButton:disabled { background: %7; color: %8; }"
            "QGroupBox { border: 1px solid %3; border-radius: %4; margin-top: 7px; }"
            "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"
            "QLineEdit, QPlainTextEdit { background: %9; color: %10; border: 1px solid %3; }"
            "QPlainTextEdit[readOnly=\"true\"] { background: %11; color: %12; }"
            "QComboBox { background: %1; color: %2; border: 1px solid %3; border-radius: %4; padding-left: 4px; }"
            "QComboBox QAbstractItemView { background: %9; color: %10; selection-background-color: %13; }"
            "QProgressBar { background: %14; border: 1px solid %3; border-radius: %4; }"
            "QProgressBar::chunk { background: %13; border-radius: %4; }")
            .arg(Hex(s, "button"), Hex(s, "button.text"), Hex(s, "border"), r, Hex(s, "button.hover"),
                 Hex(s, "button.pressed"), Hex(s, "button.disabled"), Hex(s, "button.disabled.text"), Hex(s, "edit"))
            .arg(Hex(s, "edit.text"), Hex(s, "window"), Hex(s, "text"), Hex(s, "progress.chunk"), Hex(s, "progress"));
    // Colours a window definition gives its labels stay, unless the skin says it may change them.
    if (s.flags & kFlagMayRecolour) css += QString("QLabel { color: %1; }").arg(Hex(s, "text"));
    return css;
}

void Apply(const Skin& s) {
    QPalette p = QApplication::palette();
    p.setColor(QPalette::Window, Colour(s, "window"));
    p.setColor(QPalette::WindowText, Colour(s, "text"));
    p.setColor(QPalette::Button, Colour(s, "button"));
    p.setColor(QPalette::ButtonText, Colour(s, "button.text"));
    p.setColor(QPalette::Base, Colour(s, "edit"));
    p.setColor(QPalette::Text, Colour(s, "edit.text"));
    p.setColor(QPalette::Highlight, Colour(s, "progress.chunk"));
    QApplication::setPalette(p);
    if (const std::string family = s.Get("font.family"); !family.empty() || !s.Get("font.size").empty()) {
        QFont f = QApplication::font();
        if (!family.empty()) {
            QStringList families = f.families();
            families.prepend(QString::fromStdString(family));
            f.setFamilies(families);
        }
        if (const std::string size = s.Get("font.size"); !size.empty()) f.setPixelSize(std::stoi(size));
        QApplication::setFont(f);
    }
    qApp->setStyleSheet(StyleSheet(s));
}

}  // namespace

extern "C" {

// Attaches the skin in the file; on any refusal nothing changes.
__attribute__((visibility("default"))) int SkinAttachEx(const char* path, const char* password) {
    if (!qApp) return kNoApplication;
    if (!path || !*path) return kUnreadable;
    std::ifstream in(path, std::ios::binary);
    if (!in) return kUnreadable;
    std::vector<unsigned char> bytes;
    char buf[8192];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        bytes.insert(bytes.end(), buf, buf + in.gcount());
        if (bytes.size() > kMaxFileSize) return kUnreadable;
    }
    Skin skin;
    const Result r = Parse(bytes, password ? password : "", skin);
    if (r != kAttached) return r;
    Apply(skin);
    return kAttached;
}

// Puts the desktop's own look back: no skin attached.
__attribute__((visibility("default"))) int SkinAttach() {
    if (!qApp) return kNoApplication;
    qApp->setStyleSheet(QString());
    QApplication::setPalette(QPalette());
    return kAttached;
}
}
