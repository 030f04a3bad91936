#include <gtest/gtest.h>

#include <set>

#include "search/Hosts.h"
#include "search/Search.h"

namespace mj::search {
namespace {

TEST(PercentEncode, EncodesEveryByteOutsideTheUnreservedSet) {
    struct Case {
        std::string in, want;
    } cases[] = {
        {"", ""},
        {"Avatar-2_x.y~", "Avatar-2_x.y~"},
        {"阿凡达", "%B0%A2%B7%B2%B4%EF"},
        {"Tom & Jerry", "Tom%20%26%20Jerry"},
        {"a#b", "a%23b"},
        {"100%", "100%25"},
        {"a+b", "a%2Bb"},
        {"  lead and trail  ", "%20%20lead%20and%20trail%20%20"},
        {"😀", "%949%FC6"},  // outside GBK: its four GB18030 bytes 94 39 FC 36
        {" site:www.rayfile.com", "%20site%3Awww.rayfile.com"},
    };
    for (const auto& c : cases) EXPECT_EQ(PercentEncode(c.in), c.want) << c.in;
}

TEST(PercentEncode, HandlesAHugePaste) {
    const std::string paste(100000, 'x');
    EXPECT_EQ(PercentEncode(paste), paste);
    std::string han;
    for (int i = 0; i < 100000; ++i) han += "剧";
    EXPECT_EQ(PercentEncode(han).size(), 100000u * 6);
}

const SearchTarget& Row(const std::string& window, const std::string& button) {
    for (const auto& t : Targets())
        if (window == t.window && button == t.button) return t;
    throw std::runtime_error("no row " + window + " " + button);
}

// Every row of the table, composed with one typed text: host, prefix and suffix exactly as the table has them.
TEST(ComposeAddress, EveryTargetOpensItsRowsAddress) {
    const std::string portal = std::string("http://") + hosts::kPortal;
    const std::string q = "%B0%A2%B7%B2%B4%EF";  // 阿凡达
    struct Case {
        const char* window;
        const char* button;
        std::string want;
    } cases[] = {
        {"VideoSearchWindow", "按钮1", portal + "/sou/search.asp?want=video&search=" + q + "&engine=youku"},
        {"VideoSearchWindow", "按钮2", portal + "/sou/search.asp?search=" + q + "&want=video&engine=tudou"},
        {"VideoSearchWindow", "按钮3", portal + "/sou/search.asp?search=" + q + "&want=video&engine=ku6"},
        {"VideoSearchWindow", "按钮4", portal + "/sou/search.asp?search=" + q + "&want=video&engine=6"},
        {"VideoSearchWindow", "按钮5", portal + "/sou/search.asp?search=" + q + "&want=video&engine=sina"},
        {"VideoSearchWindow", "按钮6", portal + "/sou/search.asp?search=" + q + "&want=video&engine=baidu"},
        {"VideoSearchWindow", "按钮7", portal + "/sou/search.asp?search=" + q + "&want=video&engine=google"},
        {"VideoSearchWindow", "按钮8", portal + "/sou/search.asp?search=" + q + "&want=video&engine=soso"},
        {"VideoSearchWindow", "按钮9", portal + "/sou/search.asp?search=" + q + "&want=video&engine=sogou"},
        {"VideoSearchWindow", "按钮10", portal + "/sou/search.asp?search=" + q + "&want=video&engine=bing"},
        {"VideoSearchWindow", "按钮11", portal + "/sou/search.asp?search=" + q + "&want=video&engine=youdao"},
        {"MovieDownloadSearchWindow", "按钮1", portal + "/sou/search.asp?search=" + q + "&want=video&engine=verycd"},
        {"MovieDownloadSearchWindow", "按钮2", portal + "/sou/search.asp?search=" + q + "&want=video&engine=douban"},
        {"MovieDownloadSearchWindow", "按钮3", portal + "/sou/search.asp?search=" + q + "&want=video&engine=mtime"},
        {"MovieDownloadSearchWindow", "按钮4", portal + "/sou/search.asp?search=" + q + "&want=video&engine=gougou"},
        {"NetDiskSearchWindow", "按钮1", "http://www.qiannao.com/search?q=" + q},
        {"NetDiskSearchWindow", "按钮4", "http://www.google.com.hk/search?q=" + q + "%20site%3Awww.rayfile.com"},
        {"NetDiskSearchWindow", "按钮5", "http://www.google.com.hk/search?q=" + q + "%20site%3A115.com"},
        {"NetDiskSearchWindow", "按钮6", "http://www.xunzai.com/?ac=search&key=" + q},
        {"NetDiskSearchWindow", "按钮7", "http://www.800disk.com/search.aspx?key=" + q},
        {"MainWindow", "按钮3", portal + "/so.asp?k=" + q},
    };
    ASSERT_EQ(Targets().size(), std::size(cases));
    std::set<std::pair<std::string, std::string>> seen;
    for (const auto& c : cases) {
        const SearchTarget& t = Row(c.window, c.button);
        const char* filter =
            t.filterBox ? (std::string(t.filterBox) == "编辑框5" ? " site:www.rayfile.com" : " site:115.com") : "";
        EXPECT_EQ(ComposeAddress(t, "阿凡达", filter), c.want) << c.window << " " << c.button;
        seen.insert({c.window, c.button});
    }
    EXPECT_EQ(seen.size(), std::size(cases));
}

TEST(ComposeAddress, EmptyInputStillOpensTheAddress) {
    EXPECT_EQ(ComposeAddress(Row("MainWindow", "按钮3"), ""), "http://www.mijutong.example/so.asp?k=");
    EXPECT_EQ(ComposeAddress(Row("VideoSearchWindow", "按钮2"), ""),
              "http://www.mijutong.example/sou/search.asp?search=&want=video&engine=tudou");
    EXPECT_EQ(ComposeAddress(Row("NetDiskSearchWindow", "按钮4"), "", " site:www.rayfile.com"),
              "http://www.google.com.hk/search?q=%20site%3Awww.rayfile.com");
    EXPECT_EQ(ComposeAddress(Row("NetDiskSearchWindow", "按钮5"), "x", ""), "http://www.google.com.hk/search?q=x");
}

}  // namespace
}  // namespace mj::search
