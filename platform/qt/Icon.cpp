#include "platform/qt/Icon.h"

#include <cstdint>

namespace mj::platform::qt {
namespace {

std::uint32_t Le(std::span<const unsigned char> b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

}  // namespace

QImage DecodeIcon(std::span<const unsigned char> ico) {
    if (ico.size() < 22 || Le(ico, 0, 2) != 0 || Le(ico, 2, 2) != 1 || Le(ico, 4, 2) < 1) return {};
    const std::uint32_t size = Le(ico, 14, 4), offset = Le(ico, 18, 4);
    if (offset > ico.size() || size > ico.size() - offset || size < 40) return {};
    const auto img = ico.subspan(offset, size);
    const int width = static_cast<int>(Le(img, 4, 4));
    const int height = static_cast<int>(Le(img, 8, 4)) / 2;
    const int bpp = static_cast<int>(Le(img, 14, 2));
    if (Le(img, 0, 4) != 40 || width <= 0 || width > 256 || height <= 0 || height > 256 || Le(img, 16, 4) != 0 ||
        (bpp != 24 && bpp != 32))
        return {};
    const std::size_t stride = (static_cast<std::size_t>(width) * static_cast<std::size_t>(bpp / 8) + 3) / 4 * 4;
    const std::size_t maskStride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    const std::size_t colourBytes = stride * static_cast<std::size_t>(height);
    if (40 + colourBytes + maskStride * static_cast<std::size_t>(height) > img.size()) return {};

    QImage out(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = 40 + stride * static_cast<std::size_t>(height - 1 - y);
        const std::size_t mrow = 40 + colourBytes + maskStride * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::size_t p = row + static_cast<std::size_t>(x * (bpp / 8));
            const bool transparent = (img[mrow + static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1;
            const int alpha = transparent ? 0 : (bpp == 32 ? img[p + 3] : 255);
            out.setPixel(x, y, qRgba(img[p + 2], img[p + 1], img[p], alpha));
        }
    }
    return out;
}

}  // namespace mj::platform::qt
