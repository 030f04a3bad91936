#include "app/AppState.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>

namespace mj {
namespace {

AppState g_app;
platform::Platform* g_platform = nullptr;

constexpr const char* dl::TaskParam::*kTextMembers[TaskRecord::kTextFields] = {
    &dl::TaskParam::Url,         &dl::TaskParam::LocalPath,    &dl::TaskParam::UserName,
    &dl::TaskParam::Password,    &dl::TaskParam::UploadOption, &dl::TaskParam::BinaryExtensions,
    &dl::TaskParam::ProxyServer, &dl::TaskParam::Referer,
};

}  // namespace

AppState& App() {
    return g_app;
}

platform::Platform& Sys() {
    assert(g_platform);
    return *g_platform;
}

void BindPlatform(platform::Platform* p) {
    g_platform = p;
}

TaskRecord::TaskRecord() = default;

void TaskRecord::SetText(TextField f, std::optional<std::string> text) {
    texts_[f] = std::move(text);
    param_.*kTextMembers[f] = texts_[f] ? texts_[f]->c_str() : nullptr;
}

void StoreTaskDefaults(TaskRecord& r) {
    dl::TaskParam& p = r.Ints();
    p.Flags = 1;
    r.SetText(TaskRecord::Url, "");
    r.SetText(TaskRecord::LocalPath, "");
    r.SetText(TaskRecord::UserName, "anonymous");
    r.SetText(TaskRecord::Password, "guest@mijutong.ex");  // 17 characters, shaped as an address
    p.Connections = 1;
    p.SpeedLimit = 0;
    p.ConnectTimeout = 20000;
    p.SendTimeout = 20000;
    p.ReceiveTimeout = 20000;
    p.StopWait = 1000;
    p.BlockSize = 20480;
    p.UploadBlockSize = 1024;
    p.LogCallback = nullptr;
    p.EventCallback = nullptr;
    r.SetText(TaskRecord::UploadOption, "");
    p.FtpTransferType = 1;
    r.SetText(TaskRecord::BinaryExtensions, ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm");
    r.SetText(TaskRecord::ProxyServer, std::nullopt);
    r.SetText(TaskRecord::Referer, std::nullopt);
}

void InitApplication() {
    AppState& a = App();
    a.Downloader = std::make_unique<dl::Download>();
    a.UpdateTask = std::make_unique<TaskRecord>();
    StoreTaskDefaults(*a.UpdateTask);
}

void ReleaseApplication() {
    AppState& a = App();
    if (a.Downloader) dl::ReleaseDownload(a.Downloader.get());
    a.Downloader.reset();
    a.SavePath.reset();
    a.UpdateTask.reset();
    a.UpdateUrl.reset();
}

}  // namespace mj

namespace mj {

void OutOfMemory(std::size_t bytes) {
    if (!g_platform) std::abort();
    char message[64];
    std::snprintf(message, sizeof message, "分配 %zu 字节内存失败!", bytes);
    g_platform->process.FatalError(message);
}

}  // namespace mj
