#include "resources/Blocks.h"

#include <cstdint>

#define MJ_BLOCK(name)                                \
    extern "C" const unsigned char mj_block_##name[]; \
    extern "C" const std::uint64_t mj_block_##name##_size;

MJ_BLOCK(icon)
MJ_BLOCK(skinengine)
MJ_BLOCK(guide)
MJ_BLOCK(skin_midnight)
MJ_BLOCK(skin_amber)
MJ_BLOCK(skin_meadow)
MJ_BLOCK(skin_slate)
MJ_BLOCK(skin_pixel)
MJ_BLOCK(skin_aqua)
MJ_BLOCK(skin_ivory)
MJ_BLOCK(skin_classic)

namespace mj::blocks {

#define MJ_SPAN(name) Block(mj_block_##name, static_cast<std::size_t>(mj_block_##name##_size))

Block ProgramIcon() {
    return MJ_SPAN(icon);
}
Block SkinEngineLibrary() {
    return MJ_SPAN(skinengine);
}
Block GuidePicture() {
    return MJ_SPAN(guide);
}

Block BuiltInSkin(int number) {
    switch (number) {
        case 1: return MJ_SPAN(skin_midnight);
        case 2: return MJ_SPAN(skin_amber);
        case 3: return MJ_SPAN(skin_meadow);
        case 4: return MJ_SPAN(skin_slate);
        case 5: return MJ_SPAN(skin_pixel);
        case 6: return MJ_SPAN(skin_aqua);
        case 7: return MJ_SPAN(skin_ivory);
        case 8: return MJ_SPAN(skin_classic);
        default: return {};
    }
}

}  // namespace mj::blocks
