// The ".SKN" skin file: a checked header and "key=value" lines. Shared by the engine and the skin compiler;
// no toolkit type here, so the reader can be fuzzed on its own.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mj::skin {

inline constexpr std::uint16_t kFormatVersion = 1;
inline constexpr std::uint16_t kFlagPassword = 1;     // attaching needs the password
inline constexpr std::uint16_t kFlagMayRecolour = 2;  // may recolour what a window definition colours itself
inline constexpr std::size_t kHeaderSize = 24;
inline constexpr std::size_t kMaxFileSize = 1 << 20;

// The engine's result codes.
enum Result : int {
    kAttached = 0,
    kUnreadable = 1,    // missing, unreadable, or too large
    kNotASkin = 2,      // another format
    kTruncated = 3,     // shorter than its header says, or its check sum does not match
    kNewerVersion = 4,  // written for a newer engine
    kWrongPassword = 5,
    kMalformed = 6,      // a line or a value that cannot be read
    kNoApplication = 7,  // nothing to restyle
};

struct Rgb {
    int r = 0, g = 0, b = 0;
};

struct Skin {
    std::uint16_t flags = 0;
    std::map<std::string, std::string> values;
    std::string Get(const std::string& key, const std::string& fallback = {}) const;
};

// Every colour key a skin must give, in the order the sources list them.
std::span<const char* const> ColourKeys();

std::uint32_t Crc32(std::span<const unsigned char> bytes);
std::uint64_t PasswordCheck(std::string_view password);
bool ParseColour(std::string_view text, Rgb& out);

// Reads a whole skin file; on any result but kAttached, `out` is left untouched.
Result Parse(std::span<const unsigned char> file, std::string_view password, Skin& out);

// Builds a skin file from its source text ("key=value" lines, "#" comments); an empty result and a message
// when the source is not a valid skin.
std::vector<unsigned char> Compile(std::string_view source, std::string_view password, std::uint16_t flags,
                                   std::string& error);

}  // namespace mj::skin
