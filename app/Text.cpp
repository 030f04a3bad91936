#include "app/Text.h"

namespace mj {
namespace {

// Bytes of the character that starts at text[i]; 0 when it is cut off by the end of the text.
std::size_t CharAt(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t n = 1;
    if (lead >= 0xF0 && lead < 0xF8)
        n = 4;
    else if (lead >= 0xE0)
        n = lead < 0xF0 ? 3 : 1;
    else if (lead >= 0xC0)
        n = 2;
    if (n > 1) {
        if (i + n > text.size()) return 0;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;  // malformed: one byte
    }
    return n;
}

}  // namespace

std::vector<std::string> SplitText(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0, i = 0;
    while (i < text.size()) {
        if (text[i] == separator) {
            pieces.emplace_back(text.substr(start, i - start));
            start = ++i;
            continue;
        }
        const std::size_t n = CharAt(text, i);
        if (n == 0) break;
        i += n;
    }
    if (start < text.size()) pieces.emplace_back(text.substr(start));
    return pieces;
}

int FindText(std::string_view text, std::string_view what) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.substr(i, what.size()) == what) return static_cast<int>(i) + 1;
        const std::size_t n = CharAt(text, i);
        if (n == 0) break;
        i += n;
    }
    return -1;
}

}  // namespace mj
