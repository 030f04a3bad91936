#pragma once

#include <QImage>
#include <span>

namespace mj::platform::qt {

// Decodes the first image of an icon file held in memory (24- or 32-bit, with its 1-bit mask);
// a null image when the bytes are not such a file.
QImage DecodeIcon(std::span<const unsigned char> ico);

}  // namespace mj::platform::qt
