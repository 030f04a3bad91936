// The number rules of the progress texts.
#pragma once

#include <cstdint>
#include <string>

namespace mj {

std::string NumberText(double x);  // "%.13g"
double RoundTo2(double x);         // halves away from zero, after a 1e-12 nudge
double TruncDiv(double a, double b);
std::int32_t FloorInt(double x);

// The texts of the progress labels.
std::string PercentText(int position);                                // 已下载:52.3%
std::string SizesText(std::int64_t done, std::int64_t total);         // 进度：1M/2.24M
std::string SpeedText(std::int64_t bytesPerSecond);                   // 速度：150KB/秒
std::string RemainingText(std::int64_t missing, std::int64_t speed);  // 剩余时间:3秒, or "" to keep the old one
std::string FileSizeText(std::int64_t total);                         // 文件大小:1.5M
std::string TotalTimeText(std::int64_t ms);                           // 总耗时:12.35秒

}  // namespace mj
