// The peer of the start-up benchmark: a bare Qt Widgets program that shows one empty window.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowTitle("bare-peer");
    w.resize(368, 306);
    w.show();
    return QApplication::exec();
}
