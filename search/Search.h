// The search targets, how an address is composed from typed text, and the hand-off to the browser.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/Toolkit.h"

namespace mj::search {

enum class Endpoint { Portal, NetDiskSearch, Xunzai, Disk800, WebSearch };

struct SearchTarget {
    const char* window;
    const char* button;
    Endpoint endpoint;
    const char* prefix;     // after the host, up to and including the "=" before the typed text
    const char* suffix;     // fixed text after the typed text, or nullptr
    const char* filterBox;  // an edit box whose current text follows the typed text, or nullptr
};

std::span<const SearchTarget> Targets();
const char* HostOf(Endpoint e);

// The text as GB18030 bytes with every byte outside RFC 3986's unreserved set as %XX (upper-case hex).
std::string PercentEncode(std::string_view utf8);

// "http://" + host + prefix + encoded typed text + suffix (or the encoded filter text).
std::string ComposeAddress(const SearchTarget& t, std::string_view typed, std::string_view filter = {});

// Hands one address to the shell exactly as composed; the result is not looked at.
void OpenAddress(const std::string& address);

// The click of a target's button: reads the boxes of its window and opens the composed address.
void SearchClick(const SearchTarget& t);

// The handlers of a search window: one per target button.
platform::WindowHandlers SearchWindowHandlers(const std::string& window);

}  // namespace mj::search
