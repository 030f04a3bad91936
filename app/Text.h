// Splitting and searching texts over whole UTF-8 characters: a separator byte inside a character never
// splits, a match never starts inside one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mj {

// A leading separator or two in a row give an empty piece; a trailing one gives no empty last piece.
std::vector<std::string> SplitText(std::string_view text, char separator);

// 1-based byte position of the first match, or -1.
int FindText(std::string_view text, std::string_view what);

}  // namespace mj
