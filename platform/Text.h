// Conversions to the byte forms the outside world counts in.
#pragma once

#include <string>
#include <string_view>

namespace mj::platform {

// UTF-8 to GB18030 bytes (identical to GBK on every GBK character).
std::string ToGb18030(std::string_view utf8);

// The longest prefix of utf8 whose GB18030 form has at most maxBytes bytes; never cuts a character.
std::string CutToGb18030Bytes(std::string_view utf8, std::size_t maxBytes);

}  // namespace mj::platform
