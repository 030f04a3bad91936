#include "search/Search.h"

#include "app/AppState.h"
#include "platform/Text.h"
#include "search/Hosts.h"

namespace mj::search {
namespace {

constexpr const char* kVideo = "VideoSearchWindow";
constexpr const char* kMovie = "MovieDownloadSearchWindow";
constexpr const char* kNetDisk = "NetDiskSearchWindow";
constexpr const char* kSearch = "/sou/search.asp?search=";

constexpr SearchTarget kTargets[] = {
    {kVideo, "按钮1", Endpoint::Portal, "/sou/search.asp?want=video&search=", "&engine=youku", nullptr},
    {kVideo, "按钮2", Endpoint::Portal, kSearch, "&want=video&engine=tudou", nullptr},
    {kVideo, "按钮3", Endpoint::Portal, kSearch, "&want=video&engine=ku6", nullptr},
    {kVideo, "按钮4", Endpoint::Portal, kSearch, "&want=video&engine=6", nullptr},
    {kVideo, "按钮5", Endpoint::Portal, kSearch, "&want=video&engine=sina", nullptr},
    {kVideo, "按钮6", Endpoint::Portal, kSearch, "&want=video&engine=baidu", nullptr},
    {kVideo, "按钮7", Endpoint::Portal, kSearch, "&want=video&engine=google", nullptr},
    {kVideo, "按钮8", Endpoint::Portal, kSearch, "&want=video&engine=soso", nullptr},
    {kVideo, "按钮9", Endpoint::Portal, kSearch, "&want=video&engine=sogou", nullptr},
    {kVideo, "按钮10", Endpoint::Portal, kSearch, "&want=video&engine=bing", nullptr},
    {kVideo, "按钮11", Endpoint::Portal, kSearch, "&want=video&engine=youdao", nullptr},
    {kMovie, "按钮1", Endpoint::Portal, kSearch, "&want=video&engine=verycd", nullptr},
    {kMovie, "按钮2", Endpoint::Portal, kSearch, "&want=video&engine=douban", nullptr},
    {kMovie, "按钮3", Endpoint::Portal, kSearch, "&want=video&engine=mtime", nullptr},
    {kMovie, "按钮4", Endpoint::Portal, kSearch, "&want=video&engine=gougou", nullptr},
    {kNetDisk, "按钮1", Endpoint::NetDiskSearch, "/search?q=", nullptr, nullptr},
    {kNetDisk, "按钮4", Endpoint::WebSearch, "/search?q=", nullptr, "编辑框5"},
    {kNetDisk, "按钮5", Endpoint::WebSearch, "/search?q=", nullptr, "编辑框7"},
    {kNetDisk, "按钮6", Endpoint::Xunzai, "/?ac=search&key=", nullptr, nullptr},
    {kNetDisk, "按钮7", Endpoint::Disk800, "/search.aspx?key=", nullptr, nullptr},
    {"MainWindow", "按钮3", Endpoint::Portal, "/so.asp?k=", nullptr, nullptr},
};

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

}  // namespace

std::span<const SearchTarget> Targets() {
    return kTargets;
}

const char* HostOf(Endpoint e) {
    switch (e) {
        case Endpoint::Portal: return hosts::kPortal;
        case Endpoint::NetDiskSearch: return hosts::kNetDiskSearch;
        case Endpoint::Xunzai: return hosts::kXunzai;
        case Endpoint::Disk800: return hosts::kDisk800;
        case Endpoint::WebSearch: return hosts::kWebSearch;
    }
    return "";
}

std::string PercentEncode(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::string bytes = platform::ToGb18030(utf8);
    std::string out;
    out.reserve(bytes.size() * 3);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (Unreserved(c)) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        }
    }
    return out;
}

std::string ComposeAddress(const SearchTarget& t, std::string_view typed, std::string_view filter) {
    std::string address = std::string("http://") + HostOf(t.endpoint) + t.prefix + PercentEncode(typed);
    if (t.suffix) address += t.suffix;
    if (t.filterBox) address += PercentEncode(filter);
    return address;
}

void OpenAddress(const std::string& address) {
    Sys().shell.Open(address);
}

void SearchClick(const SearchTarget& t) {
    auto& ui = Sys().ui;
    const std::string typed = ui.GetText(t.window, "编辑框1");
    const std::string filter = t.filterBox ? ui.GetText(t.window, t.filterBox) : std::string();
    OpenAddress(ComposeAddress(t, typed, filter));
}

platform::WindowHandlers SearchWindowHandlers(const std::string& window) {
    platform::WindowHandlers h;
    for (const SearchTarget& t : kTargets)
        if (window == t.window) h.clicked[t.button] = [&t] { SearchClick(t); };
    return h;
}

}  // namespace mj::search
