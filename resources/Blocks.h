// The data blocks compiled into the executable, each handed out as its bytes and length.
#pragma once

#include <span>

namespace mj::blocks {

using Block = std::span<const unsigned char>;

Block ProgramIcon();

}  // namespace mj::blocks
