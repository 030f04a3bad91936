// The seven process-wide values and the settings record that owns its texts.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/download/Download.h"

namespace mj {

// The task's settings with every text owned here; the record's pointers follow the owned strings.
class TaskRecord {
public:
    enum TextField {
        Url,
        LocalPath,
        UserName,
        Password,
        UploadOption,
        BinaryExtensions,
        ProxyServer,
        Referer,
        kTextFields
    };

    TaskRecord();
    TaskRecord(const TaskRecord&) = delete;
    TaskRecord& operator=(const TaskRecord&) = delete;

    // nullopt stores an absent text.
    void SetText(TextField f, std::optional<std::string> text);
    const dl::TaskParam& Param() const { return param_; }
    dl::TaskParam& Ints() { return param_; }  // integer and routine fields only; texts go through SetText

private:
    dl::TaskParam param_{};
    std::array<std::optional<std::string>, kTextFields> texts_;
};

struct AppState {
    std::unique_ptr<dl::Download> Downloader;
    std::unique_ptr<TaskRecord> UpdateTask;
    std::optional<std::string> UpdateUrl;
    std::optional<std::string> SavePath;
    std::atomic<std::int64_t> TotalSize{0};
    std::int64_t StartTick = 0;
    std::int32_t AutoRunAfterDownload = 0;

    // The file the library actually wrote (event 3), and whether the program is ending.
    std::optional<std::string> WrittenFile;
    bool Ending = false;
};

AppState& App();
platform::Platform& Sys();
void BindPlatform(platform::Platform* p);

void InitApplication();
void ReleaseApplication();
void StoreTaskDefaults(TaskRecord& r);

// Start-up up to the event loop: the state, the clean-up, the first window and its created event.
void StartProgram(platform::Platform& p);

// The program's entry: start-up, event loop, exit code.
int ProgramEntry(platform::Platform& p);

}  // namespace mj
