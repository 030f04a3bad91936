#include "resources/Blocks.h"

#include <cstdint>

#define MJ_BLOCK(name)                                 \
    extern "C" const unsigned char mj_block_##name[];  \
    extern "C" const std::uint64_t mj_block_##name##_size;

MJ_BLOCK(icon)

namespace mj::blocks {

Block ProgramIcon() { return {mj_block_icon, static_cast<std::size_t>(mj_block_icon_size)}; }

}  // namespace mj::blocks
