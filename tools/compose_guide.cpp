// Composes the guide picture from screenshots of the program's windows: an 822 x 587 baseline JPEG
// (JFIF 1.01, 96 dpi, with an Exif segment), with red frames and arrows that show where to type and which
// button to press. Usage: mj_compose_guide out.jpg [main.png video.png movie.png netdisk.png]
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 822, kHeight = 587;

void Frame(QPainter& p, const QRect& r) {
    p.setPen(QPen(QColor(230, 0, 0), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(-2, -2, 2, 2));
}

void Arrow(QPainter& p, QPointF from, QPointF to) {
    p.setPen(QPen(QColor(230, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QLineF back(to, from);
    QLineF a = back, b = back;
    a.setLength(12);
    b.setLength(12);
    a.setAngle(back.angle() + 28);
    b.setAngle(back.angle() - 28);
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(a.p2());
    head.lineTo(b.p2());
    head.closeSubpath();
    p.setBrush(QColor(230, 0, 0));
    p.drawPath(head);
}

void Note(QPainter& p, QPoint at, const QString& text) {
    QFont f({"Noto Sans CJK SC", "WenQuanYi Micro Hei"}, 13);
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(230, 0, 0));
    p.drawText(at, text);
}

bool WriteJpeg(const QImage& img, const char* path) {
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return false;
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, out);
    c.image_width = static_cast<JDIMENSION>(img.width());
    c.image_height = static_cast<JDIMENSION>(img.height());
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);  // baseline, sequential
    jpeg_set_quality(&c, 88, TRUE);
    c.write_JFIF_header = TRUE;
    c.JFIF_major_version = 1;
    c.JFIF_minor_version = 1;
    c.density_unit = 1;  // dots per inch
    c.X_density = 96;
    c.Y_density = 96;
    jpeg_start_compress(&c, TRUE);
    // Exif: a little-endian TIFF header and one IFD with the picture's description.
    const char desc[] = "mijutong guide";
    std::vector<unsigned char> exif = {'E',  'x',  'i', 'f', 0,           0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
                                       0x0E, 0x01, 2,   0,   sizeof desc, 0, 0,   0,   26, 0, 0, 0, 0, 0, 0, 0};
    exif.insert(exif.end(), desc, desc + sizeof desc);
    jpeg_write_marker(&c, JPEG_APP0 + 1, exif.data(), static_cast<unsigned>(exif.size()));
    const QImage rgb = img.convertToFormat(QImage::Format_RGB888);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(c.next_scanline)));
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;
    QImage canvas(kWidth, kHeight, QImage::Format_RGB32);
    canvas.fill(QColor(246, 246, 242));
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const QImage main = argc > 2 ? QImage(argv[2]) : QImage();
    const QImage video = argc > 3 ? QImage(argv[3]) : QImage();
    const QImage movie = argc > 4 ? QImage(argv[4]) : QImage();
    const QImage disk = argc > 5 ? QImage(argv[5]) : QImage();
    // Main window on the left; the three search windows stacked on the right.
    const QPoint mainAt(8, 70), videoAt(kWidth - 4 - 426, 4), movieAt(kWidth - 4 - 380, 231),
        diskAt(kWidth - 4 - 374, 380);
    p.drawImage(mainAt, main);
    p.drawImage(videoAt, video);
    p.drawImage(movieAt, movie);
    p.drawImage(diskAt, disk);
    Note(p, {12, 24}, "觅剧通 操作图解");
    Note(p, {12, 50}, "① 在方框内输入片名");
    // Main window: the quick-search box and its button, and the three buttons that open the search windows.
    Frame(p, QRect(mainAt + QPoint(72, 8), QSize(192, 24)));
    Frame(p, QRect(mainAt + QPoint(272, 8), QSize(88, 24)));
    Frame(p, QRect(mainAt + QPoint(8, 40), QSize(256, 24)));
    Note(p, {200, 50}, "② 点按钮打开搜索窗口");
    Arrow(p, mainAt + QPoint(136, 40), videoAt + QPoint(-6, 30));
    Arrow(p, mainAt + QPoint(48, 40), QPointF(movieAt + QPoint(-6, 20)));
    Arrow(p, mainAt + QPoint(224, 64), QPointF(diskAt + QPoint(-6, 40)));
    // Search windows: where to type, then which button to press.
    Frame(p, QRect(videoAt + QPoint(64, 8), QSize(248, 24)));
    Frame(p, QRect(videoAt + QPoint(8, 40), QSize(408, 88)));
    Frame(p, QRect(movieAt + QPoint(64, 8), QSize(176, 24)));
    Frame(p, QRect(movieAt + QPoint(240, 8), QSize(128, 120)));
    Frame(p, QRect(diskAt + QPoint(64, 8), QSize(184, 24)));
    Note(p, {12, 420}, "③ 点相应的搜索引擎按钮,");
    Note(p, {12, 444}, "   浏览器将打开该网站的搜索结果");
    Note(p, {12, 480}, "④ 下载更新: 选择速度后点「下载更新」");
    Frame(p, QRect(mainAt + QPoint(8, 272), QSize(152, 24)));
    p.end();
    return WriteJpeg(canvas, argv[1]) ? 0 : 1;
}
