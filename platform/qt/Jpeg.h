#pragma once

#include <QImage>
#include <span>

namespace mj::platform::qt {

// Decodes a JPEG held in memory with libjpeg; a null image for anything that is not a whole, sound JPEG.
QImage DecodeJpeg(std::span<const unsigned char> bytes);

}  // namespace mj::platform::qt
