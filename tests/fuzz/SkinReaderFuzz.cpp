// Fuzzes the skin reader: no input may crash it, and whatever it accepts must compile back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/skinengine/SkinFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    mj::skin::Skin skin;
    const std::span<const unsigned char> bytes(data, size);
    const auto r = mj::skin::Parse(bytes, "", skin);
    if (r == mj::skin::kAttached) {
        std::string error;
        const std::string source(reinterpret_cast<const char*>(data) + mj::skin::kHeaderSize,
                                 size - mj::skin::kHeaderSize);
        if (mj::skin::Compile(source, "", skin.flags, error).empty()) std::abort();
    }
    mj::skin::Parse(bytes, "secret", skin);
    return 0;
}
