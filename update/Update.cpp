#include "update/Update.h"

#include "app/AppState.h"
#include "resources/Blocks.h"
#include "ui/MainWindow.h"
#include "update/Numbers.h"

namespace mj {
namespace {

using ui::kMain;

constexpr const char* kCompletion = "下载后将为最新版本";
constexpr const char* kRunNew = "运行新版本";

void SetTooltip(const std::string& text) {
    Sys().ui.SetTrayIcon(kMain, blocks::ProgramIcon(), text);
}

void StopTimers() {
    Sys().ui.SetTimerPeriod(kMain, "时钟", 0);
    Sys().ui.SetTimerPeriod(kMain, "时钟1", 0);
}

// The file the library wrote; before its report, the save path.
std::string InstallerPath() {
    const AppState& a = App();
    return a.WrittenFile.value_or(a.SavePath.value_or(""));
}

// A download that did not complete: nothing is run, the incomplete file goes, and the user may try again.
void ShowFailure(const std::string& reason) {
    auto& ui = Sys().ui;
    auto& shell = Sys().shell;
    StopTimers();
    ui.SetPosition(kMain, "进度条1", 0);
    ui.SetText(kMain, "标签进度", "下载失败");
    ui.SetText(kMain, "标签大小", reason);
    ui.SetText(kMain, "标签速度", "");
    ui.SetText(kMain, "标签时间", "");
    if (const auto& written = App().WrittenFile; written && shell.IsRegularFile(*written)) shell.Remove(*written);
    ui.SetText(kMain, "按钮1", "下载更新");
    ui.SetEnabled(kMain, "按钮1", true);
    SetTooltip(ui::kTrayTip);
}

}  // namespace

void UpdateClick() {
    auto& ui = Sys().ui;
    auto& shell = Sys().shell;
    AppState& a = App();
    if (ui.GetText(kMain, "按钮1") == kRunNew) {
        shell.Open(InstallerPath());
        ui::HideMainWindow();
        return;
    }
    TaskRecord& r = *a.UpdateTask;
    dl::TaskParam& p = r.Ints();
    p.Flags = dl::kFlagDownload;
    r.SetText(TaskRecord::Url, a.UpdateUrl);
    p.SpeedLimit = 999999999;
    p.StopWait = 1000;
    p.Connections = ui.ItemValue(kMain, "组合框", ui.CurrentIndex(kMain, "组合框")).value_or(-1);
    r.SetText(TaskRecord::LocalPath, a.SavePath);
    // Only a regular file is deleted: a folder of that name is none of ours.
    if (a.SavePath && shell.IsRegularFile(*a.SavePath)) shell.Remove(*a.SavePath);
    p.ConnectTimeout = 5000;
    p.SendTimeout = 5001;
    p.ReceiveTimeout = 10000;
    p.BlockSize = 20480;
    p.EventCallback = OnDownloadEvent;
    p.LogCallback = OnDownloadLog;
    r.SetText(TaskRecord::UserName, "");
    r.SetText(TaskRecord::Password, "");
    a.TotalSize = 0;
    a.WrittenFile.reset();
    const bool started = dl::AddTask(a.Downloader.get(), &r.Param());
    ui.SetEnabled(kMain, "按钮1", false);
    if (!started) {
        // No event will ever come for a task that was never created; say so instead of waiting forever.
        ShowFailure("无法开始下载");
        return;
    }
    ui.SetText(kMain, "标签大小", "正在连接下载服务器...");
    ui.SetTimerPeriod(kMain, "时钟1", 1000);
    ui.SetTimerPeriod(kMain, "时钟", 50);
    a.StartTick = shell.UptimeMs();
}

std::intptr_t OnDownloadEvent(std::intptr_t event, std::intptr_t, std::intptr_t arg3, std::intptr_t arg4,
                              std::intptr_t) {
    // Runs on the task's thread: only TotalSize is written here, everything else goes to the GUI thread.
    if (event == dl::kEventTotalLength) {
        App().TotalSize.store(static_cast<std::int64_t>(arg3));
        std::string name = arg4 ? reinterpret_cast<const char*>(arg4) : "";
        Sys().ui.PostToGui([name = std::move(name)] { App().WrittenFile = name; });
    } else if (event == dl::kEventTaskEnded) {
        const auto written = static_cast<std::int64_t>(arg3);
        Sys().ui.PostToGui([written] { DownloadEnded(written); });
    }
    return 0;
}

std::intptr_t OnDownloadLog(std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t) {
    return 0;
}

void DownloadEnded(std::int64_t written) {
    AppState& a = App();
    if (a.Ending) return;  // the stop in ExitProgram: the program is ending, nothing is opened
    auto& ui = Sys().ui;
    auto& shell = Sys().shell;
    const std::int64_t total = a.TotalSize.load();
    const std::string file = InstallerPath();
    if (total <= 0 || written != total || !a.WrittenFile || shell.FileSize(file) != total) {
        const std::string save = a.SavePath.value_or("");
        const std::string folder = save.substr(0, save.rfind('/') + 1);
        // No file was ever made when the desktop folder is missing: say that, not a network failure.
        ShowFailure(!folder.empty() && !shell.Exists(folder) ? "桌面文件夹不存在"
                    : total == 0                             ? "无法连接下载服务器"
                                                             : "下载未完成");
        return;
    }
    // The library has let go of the task, so its done length no longer tells; every byte is there.
    ui.SetPosition(kMain, "进度条1", 1000);
    if (a.AutoRunAfterDownload != 0) {
        ui.SetText(kMain, "标签速度", "下载已完成!");
        SetTooltip("下载已完成!");
        shell.Open(file);
        ui::ExitProgram(false);
    } else {
        ui.SetText(kMain, "按钮1", kRunNew);
        ui.SetEnabled(kMain, "按钮1", true);
    }
}

void ProgressTick() {
    auto& ui = Sys().ui;
    AppState& a = App();
    const std::int64_t total = a.TotalSize.load();
    // Once the task is gone its done length reads 0; the bar keeps what it showed.
    if (total != 0 && a.Downloader && a.Downloader->handle.load() != 0) {
        const double pos =
            TruncDiv(static_cast<double>(dl::DoneLength(a.Downloader.get())) * 1000.0, static_cast<double>(total));
        ui.SetPosition(kMain, "进度条1", static_cast<int>(pos));
    }
    if (ui.Position(kMain, "进度条1") > 990) {
        ui.SetText(kMain, "标签进度", "");
        ui.SetText(kMain, "标签大小", "");
        ui.SetText(kMain, "标签速度", kCompletion);
        ui.SetPosition(kMain, "进度条1", 1000);
    }
}

void LabelsTick() {
    auto& ui = Sys().ui;
    auto& shell = Sys().shell;
    AppState& a = App();
    const std::int64_t total = a.TotalSize.load();
    if (ui.GetText(kMain, "标签速度") == kCompletion) {
        if (shell.FileSize(InstallerPath()).value_or(-1) != total) return;
        ui.SetText(kMain, "标签大小", FileSizeText(total));
        ui.SetText(kMain, "标签时间", TotalTimeText(shell.UptimeMs() - a.StartTick));
        ui.SetText(kMain, "标签进度", "已完成:100%");
        SetTooltip(ui.GetText(kMain, "标签进度"));
        StopTimers();
        return;
    }
    if (total == 0) return;
    dl::Download* d = a.Downloader.get();
    ui.SetText(kMain, "标签进度", PercentText(ui.Position(kMain, "进度条1")));
    SetTooltip(ui.GetText(kMain, "标签进度"));
    ui.SetText(kMain, "标签大小", SizesText(dl::DoneLength(d), total));
    ui.SetText(kMain, "标签速度", SpeedText(dl::TaskSpeed(d)));
    const std::int64_t done = dl::DoneLength(d);
    if (const std::string left = RemainingText(total - done, dl::TotalSpeed()); !left.empty())
        ui.SetText(kMain, "标签时间", left);
}

}  // namespace mj
