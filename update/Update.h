// The self-update: the update button, the download library's callbacks, and the two progress timers.
#pragma once

#include <cstdint>

namespace mj {

void UpdateClick();
void ProgressTick();  // 时钟, every 50 ms
void LabelsTick();    // 时钟1, every 1000 ms

std::intptr_t OnDownloadEvent(std::intptr_t event, std::intptr_t arg2, std::intptr_t arg3, std::intptr_t arg4,
                              std::intptr_t arg5);
std::intptr_t OnDownloadLog(std::intptr_t connection, std::intptr_t time, std::intptr_t message, std::intptr_t level,
                            std::intptr_t task);

// The end of the task, on the GUI thread: the installer runs only when every byte arrived.
void DownloadEnded(std::int64_t written);

}  // namespace mj
