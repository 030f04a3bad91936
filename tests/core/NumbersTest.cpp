#include <gtest/gtest.h>

#include <cmath>

#include "update/Numbers.h"

namespace mj {
namespace {

TEST(Numbers, NumberTextIsPercentPoint13g) {
    const std::pair<double, const char*> cases[] = {{52.3, "52.3"},   {100.0, "100"}, {0.5, "0.5"},
                                                    {2.24, "2.24"},   {0, "0"},       {1.5, "1.5"},
                                                    {12.35, "12.35"}, {150, "150"},   {-1, "-1"}};
    for (const auto& [x, want] : cases) EXPECT_EQ(NumberText(x), want) << x;
}

TEST(Numbers, RoundTo2RoundsHalvesAwayFromZeroAfterTheNudge) {
    const std::pair<double, double> cases[] = {{2.345, 2.35},   {12.345, 12.35}, {0.005, 0.01}, {0.125, 0.13}, {0, 0},
                                               {-2.345, -2.35}, {2.237, 2.24},   {1.0, 1.0},    {2.344, 2.34}};
    for (const auto& [x, want] : cases) EXPECT_DOUBLE_EQ(RoundTo2(x), want) << x;
    EXPECT_EQ(NumberText(RoundTo2(2.237 * 1048576 / 1048576)), "2.24");
}

TEST(Numbers, TruncDivAndFloorInt) {
    EXPECT_EQ(TruncDiv(523000, 1000), 523);
    EXPECT_EQ(TruncDiv(1023, 1024), 0);
    EXPECT_EQ(TruncDiv(150 * 1024, 1024), 150);
    EXPECT_EQ(TruncDiv(-7, 2), -3);
    const std::pair<double, std::int32_t> cases[] = {
        {3.3, 3}, {0.5, 0}, {2.9999999999995, 3}, {-2.5, -3}, {-0.9999999999995, -1}, {7, 7}};
    for (const auto& [x, want] : cases) EXPECT_EQ(FloorInt(x), want) << x;
    EXPECT_EQ(FloorInt(1.0 / 0.0), 0) << "a division by 0 gives 0";
    EXPECT_EQ(FloorInt(std::nan("")), 0);
    EXPECT_EQ(FloorInt(1e300), 2147483647) << "out of range saturates instead of overflowing";
}

}  // namespace
}  // namespace mj

namespace mj {
namespace {

TEST(ProgressTexts, ReadAsTheLabelsShowThem) {
    EXPECT_EQ(PercentText(523), "已下载:52.3%");
    EXPECT_EQ(PercentText(1000), "已下载:100%");
    EXPECT_EQ(SizesText(1048576, static_cast<std::int64_t>(2.237 * 1048576)), "进度：1M/2.24M");
    EXPECT_EQ(SpeedText(150 * 1024), "速度：150KB/秒 ");
    EXPECT_EQ(SpeedText(1023), "速度：0KB/秒 ");
    EXPECT_EQ(RemainingText(33, 10), "剩余时间:3秒");
    EXPECT_EQ(RemainingText(5, 10), "") << "under a second keeps the old text";
    EXPECT_EQ(RemainingText(5, 0), "") << "no speed keeps the old text";
    EXPECT_EQ(FileSizeText(1572864), "文件大小:1.5M");
    EXPECT_EQ(TotalTimeText(12345), "总耗时:12.35秒");
}

}  // namespace
}  // namespace mj
