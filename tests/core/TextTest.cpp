#include <gtest/gtest.h>

#include "app/Text.h"
#include "platform/Text.h"

namespace mj {
namespace {

using Pieces = std::vector<std::string>;

TEST(SplitText, FollowsTheSeparatorRules) {
    struct Case {
        const char* text;
        char sep;
        Pieces want;
    } cases[] = {
        {"", '/', {}},
        {"/", '/', {""}},
        {"a", '/', {"a"}},
        {"/home/user/桌面/", '/', {"", "home", "user", "桌面"}},
        {"a//b", '/', {"a", "", "b"}},
        {"http://down.mijutong.example/ljxz/vorb_ins_all.exe",
         '/',
         {"http:", "", "down.mijutong.example", "ljxz", "vorb_ins_all.exe"}},
        // "\xE5\x9C\xAF" is one character; a separator byte value inside a character never splits it.
        {"x\xE5\x9C\xAFy/z", '\xAF', {"x\xE5\x9C\xAFy/z"}},
        // A character cut off by the end of the text ends the scan; what stands before it is the last piece.
        {"ab/c\xE5\x9C", '/', {"ab", "c\xE5\x9C"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitText(c.text, c.sep), c.want) << c.text;
}

TEST(FindText, IsOneBasedAndNeverMatchesInsideACharacter) {
    EXPECT_EQ(FindText("vorb_ins_all.exe", "."), 13);
    EXPECT_EQ(FindText("桌面", "."), -1);
    EXPECT_EQ(FindText("", "."), -1);
    EXPECT_EQ(FindText("a.b", "a.b"), 1);
    EXPECT_EQ(FindText("\xE5\x9C\xAF", "\xAF"), -1);
    EXPECT_EQ(FindText("\xE5\x9C\xAF\xAF", "\xAF"), 4);
}

TEST(Gb18030, ConvertsAndCutsOnWholeCharacters) {
    EXPECT_EQ(platform::ToGb18030("中"), "\xD6\xD0");
    EXPECT_EQ(platform::ToGb18030("a b"), "a b");
    EXPECT_EQ(platform::ToGb18030("😀").size(), 4u);  // outside GBK: a four-byte GB18030 sequence
    // 62 bytes: 31 Han characters fit exactly; with one ASCII byte in front the 31st no longer does.
    const std::string han31 = [] {
        std::string s;
        for (int i = 0; i < 31; ++i) s += "剧";
        return s;
    }();
    EXPECT_EQ(platform::CutToGb18030Bytes(han31 + "剧", 62), han31);
    EXPECT_EQ(platform::CutToGb18030Bytes("a" + han31, 62), "a" + han31.substr(0, han31.size() - 3));
    EXPECT_EQ(platform::CutToGb18030Bytes("觅剧搜软件V1.6", 62), "觅剧搜软件V1.6");
}

}  // namespace
}  // namespace mj
