#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Text.h"

namespace mj::platform {
namespace {

std::size_t Utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;  // a stray byte stands alone
}

class Converter {
public:
    Converter() : cd_(iconv_open("GB18030", "UTF-8")) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts whole characters; a sequence iconv cannot take becomes "?" so nothing is silently dropped.
    std::string Convert(std::string_view in) {
        std::string out;
        out.reserve(in.size() + in.size() / 2);
        std::size_t i = 0;
        while (i < in.size()) {
            std::size_t n = Utf8Length(static_cast<unsigned char>(in[i]));
            if (i + n > in.size()) n = in.size() - i;
            if (n == 1 && static_cast<unsigned char>(in[i]) < 0x80) {
                out.push_back(in[i]);
                ++i;
                continue;
            }
            char buf[8];
            char* src = const_cast<char*>(in.data() + i);
            std::size_t srcLeft = n;
            char* dst = buf;
            std::size_t dstLeft = sizeof buf;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            if (cd_ == reinterpret_cast<iconv_t>(-1) ||
                iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
                out.push_back('?');
            } else {
                out.append(buf, static_cast<std::size_t>(dst - buf));
            }
            i += n;
        }
        return out;
    }

    std::size_t CharBytes(std::string_view ch) { return Convert(ch).size(); }

private:
    iconv_t cd_;
};

}  // namespace

std::string ToGb18030(std::string_view utf8) {
    Converter c;
    return c.Convert(utf8);
}

std::string CutToGb18030Bytes(std::string_view utf8, std::size_t maxBytes) {
    Converter c;
    std::size_t used = 0, i = 0;
    while (i < utf8.size()) {
        std::size_t n = Utf8Length(static_cast<unsigned char>(utf8[i]));
        if (i + n > utf8.size()) n = utf8.size() - i;
        const std::size_t b = n == 1 ? 1 : c.CharBytes(utf8.substr(i, n));
        if (used + b > maxBytes) break;
        used += b;
        i += n;
    }
    return std::string(utf8.substr(0, i));
}

}  // namespace mj::platform
