// Saves the whole screen of the current display as a PNG: tools/grab out.png
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;
    return QGuiApplication::primaryScreen()->grabWindow(0).save(argv[1], "PNG") ? 0 : 1;
}
