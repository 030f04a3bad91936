// The multi-connection download library: its settings record, its task object, its operations and events.
// No protocol type appears here, so the program and its tests include it freely.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mj::dl {

// Five pointer-sized arguments, so that event 3 can carry the file name on a 64-bit platform.
using EventRoutine = std::intptr_t (*)(std::intptr_t event, std::intptr_t arg2, std::intptr_t arg3, std::intptr_t arg4,
                                       std::intptr_t arg5);
using LogRoutine = std::intptr_t (*)(std::intptr_t connection, std::intptr_t timeText, std::intptr_t message,
                                     std::intptr_t level, std::intptr_t task);

inline constexpr std::int32_t kFlagDownload = 4096;
inline constexpr std::int32_t kFlagUpload = 8192;

inline constexpr std::intptr_t kEventTotalLength = 3;
inline constexpr std::intptr_t kEventTaskEnded = 4;
inline constexpr std::intptr_t kEventFileExists = 18;

inline constexpr int kLogInfo = 0, kLogCommand = 1, kLogSuccess = 2, kLogError = 3;

// The field order is binding: peers read the record by position. Integers are 32-bit, texts and routines
// pointer-sized, so the record is 80 bytes where pointers are 4 bytes.
struct TaskParam {
    std::int32_t Flags;
    const char* Url;
    const char* LocalPath;
    const char* UserName;
    const char* Password;
    std::int32_t Connections;
    std::int32_t SpeedLimit;
    std::int32_t ConnectTimeout;
    std::int32_t SendTimeout;
    std::int32_t ReceiveTimeout;
    std::int32_t StopWait;
    std::int32_t BlockSize;
    std::int32_t UploadBlockSize;
    LogRoutine LogCallback;
    EventRoutine EventCallback;
    const char* UploadOption;
    std::int32_t FtpTransferType;
    const char* BinaryExtensions;
    const char* ProxyServer;
    const char* Referer;
};

namespace layout {
constexpr std::size_t Align(std::size_t at, std::size_t a) {
    return (at + a - 1) / a * a;
}
// Offsets the record must have for a given pointer size, field by field.
constexpr std::size_t kIntFields[] = {1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0, 0};
constexpr std::size_t OffsetOf(std::size_t field, std::size_t ptr) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < field; ++i) {
        const std::size_t sz = kIntFields[i] ? 4 : ptr;
        at = Align(at, sz) + sz;
    }
    return Align(at, kIntFields[field] ? 4 : ptr);
}
constexpr std::size_t SizeFor(std::size_t ptr) {
    return Align(OffsetOf(19, ptr) + ptr, ptr);
}
}  // namespace layout

static_assert(layout::SizeFor(4) == 80, "the record is 80 bytes with 4-byte pointers");
static_assert(sizeof(TaskParam) == layout::SizeFor(sizeof(void*)));
static_assert(offsetof(TaskParam, Connections) == layout::OffsetOf(5, sizeof(void*)));
static_assert(offsetof(TaskParam, EventCallback) == layout::OffsetOf(14, sizeof(void*)));
static_assert(offsetof(TaskParam, FtpTransferType) == layout::OffsetOf(16, sizeof(void*)));
static_assert(offsetof(TaskParam, Referer) == layout::OffsetOf(19, sizeof(void*)));

// The task object: one word holding the running task's handle, 0 without one. Only the library writes it.
struct Download {
    std::atomic<std::intptr_t> handle{0};
};

// Creates the task and starts its thread; false when the object holds a task already, the address cannot be
// parsed, the record asks for an upload, or the thread cannot start. The record is copied.
bool AddTask(Download* d, const TaskParam* p);
std::int64_t DoneLength(Download* d);
// Bytes since the previous call; the count restarts with each call.
std::int64_t TaskSpeed(Download* d);
std::int64_t TotalSpeed();
// Stops the running task, waits up to StopWait ms for its connections, and leaves the resume data in
// `resume` (the previous block released). The mode has no effect.
bool StopTask(Download* d, std::vector<unsigned char>& resume, int mode);
// Stops a running task as StopTask does, drops its resume data and forgets it.
void ReleaseDownload(Download* d);

// The library's own settings: the wait before a retry and the number of retries. Tests shorten them.
struct LibrarySettings {
    int retryWaitMs = 5000;
    int maxRetries = 999;
    int maxRedirects = 16;
};
void SetLibrarySettings(const LibrarySettings& s);
LibrarySettings GetLibrarySettings();

}  // namespace mj::dl
