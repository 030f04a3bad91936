#include "platform/skinengine/SkinFormat.h"

#include <algorithm>
#include <array>

namespace mj::skin {
namespace {

constexpr const char* kColourKeys[] = {
    "window",         "text",           "button",          "button.text",
    "button.hover",   "button.pressed", "button.disabled", "button.disabled.text",
    "border",         "edit",           "edit.text",       "progress",
    "progress.chunk",
};

std::uint32_t Le32(std::span<const unsigned char> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}
std::uint16_t Le16(std::span<const unsigned char> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::uint64_t Le64(std::span<const unsigned char> b, std::size_t at) {
    return std::uint64_t(Le32(b, at)) | std::uint64_t(Le32(b, at + 4)) << 32;
}
void Put(std::vector<unsigned char>& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Parses the lines; false with a message on the first bad one.
bool ReadLines(std::string_view text, std::map<std::string, std::string>& values, std::string& error) {
    std::size_t line = 0;
    while (!text.empty()) {
        ++line;
        const std::size_t nl = text.find('\n');
        std::string_view l = Trim(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (l.empty() || l.front() == '#') continue;
        const std::size_t eq = l.find('=');
        if (eq == std::string_view::npos || eq == 0) {
            error = "line " + std::to_string(line) + ": expected key=value";
            return false;
        }
        values[std::string(Trim(l.substr(0, eq)))] = std::string(Trim(l.substr(eq + 1)));
    }
    for (const char* key : kColourKeys) {
        Rgb c;
        auto it = values.find(key);
        if (it == values.end() || !ParseColour(it->second, c)) {
            error = std::string("colour ") + key + " missing or not #rrggbb";
            return false;
        }
    }
    if (auto it = values.find("font.size"); it != values.end()) {
        const std::string& v = it->second;
        if (v.empty() || v.size() > 2 ||
            !std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; }) || std::stoi(v) < 9 ||
            std::stoi(v) > 20) {
            error = "font.size must be 9 to 20";
            return false;
        }
    }
    if (auto it = values.find("radius"); it != values.end()) {
        const std::string& v = it->second;
        if (v.empty() || v.size() > 2 ||
            !std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; }) || std::stoi(v) > 12) {
            error = "radius must be 0 to 12";
            return false;
        }
    }
    return true;
}

}  // namespace

std::string Skin::Get(const std::string& key, const std::string& fallback) const {
    auto it = values.find(key);
    return it == values.end() ? fallback : it->second;
}

std::span<const char* const> ColourKeys() {
    return kColourKeys;
}

std::uint32_t Crc32(std::span<const unsigned char> bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint64_t PasswordCheck(std::string_view password) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : std::string("mijutong-skin:") + std::string(password)) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

bool ParseColour(std::string_view text, Rgb& out) {
    if (text.size() != 7 || text[0] != '#') return false;
    int v[6];
    for (int i = 0; i < 6; ++i) {
        const char c = text[static_cast<std::size_t>(i) + 1];
        if (c >= '0' && c <= '9')
            v[i] = c - '0';
        else if (c >= 'a' && c <= 'f')
            v[i] = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v[i] = c - 'A' + 10;
        else
            return false;
    }
    out = {v[0] * 16 + v[1], v[2] * 16 + v[3], v[4] * 16 + v[5]};
    return true;
}

Result Parse(std::span<const unsigned char> file, std::string_view password, Skin& out) {
    if (file.size() < 4 || file[0] != '.' || file[1] != 'S' || file[2] != 'K' || file[3] != 'N') {
        return file.size() < 4 && file.size() > 0 && std::equal(file.begin(), file.end(), ".SKN") ? kTruncated
                                                                                                  : kNotASkin;
    }
    if (file.size() > kMaxFileSize) return kUnreadable;
    if (file.size() < kHeaderSize) return kTruncated;
    const std::uint16_t version = Le16(file, 4), flags = Le16(file, 6);
    if (version == 0) return kNotASkin;
    if (version > kFormatVersion) return kNewerVersion;
    const std::uint32_t length = Le32(file, 8);
    if (length != file.size() - kHeaderSize) return kTruncated;
    const auto payload = file.subspan(kHeaderSize);
    if (Crc32(payload) != Le32(file, 12)) return kTruncated;
    if ((flags & kFlagPassword) ? Le64(file, 16) != PasswordCheck(password) : Le64(file, 16) != 0)
        return (flags & kFlagPassword) ? kWrongPassword : kMalformed;
    Skin skin;
    skin.flags = flags;
    std::string error;
    if (!ReadLines(std::string_view(reinterpret_cast<const char*>(payload.data()), payload.size()), skin.values, error))
        return kMalformed;
    out = std::move(skin);
    return kAttached;
}

std::vector<unsigned char> Compile(std::string_view source, std::string_view password, std::uint16_t flags,
                                   std::string& error) {
    std::map<std::string, std::string> values;
    if (!ReadLines(source, values, error)) return {};
    if (!password.empty()) flags |= kFlagPassword;
    std::vector<unsigned char> out = {'.', 'S', 'K', 'N'};
    Put(out, kFormatVersion, 2);
    Put(out, flags, 2);
    Put(out, source.size(), 4);
    Put(out, Crc32({reinterpret_cast<const unsigned char*>(source.data()), source.size()}), 4);
    Put(out, (flags & kFlagPassword) ? PasswordCheck(password) : 0, 8);
    out.insert(out.end(), source.begin(), source.end());
    return out;
}

}  // namespace mj::skin
