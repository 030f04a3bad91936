#include "platform/qt/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace mj::platform::qt {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// libjpeg's own handler ends the process; ours jumps back and the picture counts as undecodable.
void OnError(j_common_ptr c) {
    std::longjmp(reinterpret_cast<ErrorManager*>(c->err)->jump, 1);
}
void Quiet(j_common_ptr) {}

constexpr JDIMENSION kMaxSide = 16384;

}  // namespace

QImage DecodeJpeg(std::span<const unsigned char> bytes) {
    if (bytes.size() < 4) return {};
    jpeg_decompress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.output_message = Quiet;
    // Only plain values cross the jump; the pixels live in a malloc'd buffer freed on either path.
    unsigned char* volatile pixels = nullptr;
    volatile int width = 0, height = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        std::free(pixels);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_width == 0 || info.output_height == 0 || info.output_width > kMaxSide ||
        info.output_height > kMaxSide || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    pixels = static_cast<unsigned char*>(std::malloc(stride * static_cast<std::size_t>(height)));
    if (!pixels) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    // A cut or damaged stream still "decodes" with grey filler and a warning; it is not the picture.
    const bool damaged = err.pub.num_warnings > 0;
    jpeg_destroy_decompress(&info);
    QImage out;
    if (!damaged) {
        QImage view(pixels, width, height, static_cast<qsizetype>(stride), QImage::Format_RGB888);
        out = view.copy();
    }
    std::free(pixels);
    return out;
}

}  // namespace mj::platform::qt
