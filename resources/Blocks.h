// The data blocks compiled into the executable, each handed out as its bytes and length.
#pragma once

#include <span>

namespace mj::blocks {

using Block = std::span<const unsigned char>;

Block ProgramIcon();
Block SkinEngineLibrary();
Block GuidePicture();
// Built-in skins 1 to 8; an empty block for any other number.
Block BuiltInSkin(int number);

}  // namespace mj::blocks
