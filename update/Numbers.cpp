#include "update/Numbers.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace mj {

std::string NumberText(double x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.13g", x);
    return buf;
}

double RoundTo2(double x) {
    if (x == 0) return 0;
    const double y = std::fabs(x) * 100 + 0.000000000001;
    const double i = std::floor(y);
    const double r = (y - i >= 0.5 ? i + 1 : i) / 100;
    return x < 0 ? -r : r;
}

double TruncDiv(double a, double b) {
    return std::trunc(a / b);
}

std::int32_t FloorInt(double x) {
    if (!std::isfinite(x)) return 0;
    const double frac = x - std::trunc(x);
    if (std::fabs(frac) > 0.999999999999) x = x > 0 ? std::ceil(x) : std::floor(x);
    const double f = std::floor(x);
    if (f >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (f <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(f);
}

namespace {
constexpr double kM = 1048576.0;
std::string Megabytes(std::int64_t bytes) {
    return NumberText(RoundTo2(static_cast<double>(bytes) / kM)) + "M";
}
}  // namespace

std::string PercentText(int position) {
    return "已下载:" + NumberText(position / 10.0) + "%";
}

std::string SizesText(std::int64_t done, std::int64_t total) {
    return "进度：" + Megabytes(done) + "/" + Megabytes(total);
}

std::string SpeedText(std::int64_t bytesPerSecond) {
    return "速度：" + NumberText(TruncDiv(static_cast<double>(bytesPerSecond), 1024)) + "KB/秒 ";
}

std::string RemainingText(std::int64_t missing, std::int64_t speed) {
    const std::int32_t seconds = FloorInt(static_cast<double>(missing) / static_cast<double>(speed));
    return seconds == 0 ? std::string() : "剩余时间:" + std::to_string(seconds) + "秒";
}

std::string FileSizeText(std::int64_t total) {
    return "文件大小:" + Megabytes(total);
}

std::string TotalTimeText(std::int64_t ms) {
    return "总耗时:" + NumberText(RoundTo2(static_cast<double>(ms) / 1000.0)) + "秒";
}

}  // namespace mj
