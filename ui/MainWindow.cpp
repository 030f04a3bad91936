#include "ui/MainWindow.h"

#include <vector>

#include "app/AppState.h"
#include "platform/download/Download.h"
#include "search/Hosts.h"
#include "search/Search.h"
#include "ui/Definitions.h"
#include "update/Update.h"

namespace mj::ui {
namespace {

bool DownloadRunning() {
    const int pos = Sys().ui.Position(kMain, "进度条1");
    return pos != 0 && pos != 1000;
}

void StopDownload() {
    AppState& a = App();
    a.Ending = true;  // the task's closing report must not run anything now
    std::vector<unsigned char> resume;
    if (a.Downloader) dl::StopTask(a.Downloader.get(), resume, 2);
}

}  // namespace

void OpenModal(const platform::WindowDef& def, platform::WindowHandlers handlers) {
    Sys().ui.OpenWindow(def, std::move(handlers), true);
}

bool HideMainWindow() {
    Sys().ui.SetVisible(kMain, false);
    return false;
}

void ShowMainWindow() {
    Sys().ui.RestoreNormal(kMain);
}

void ExitProgram(bool askWhileDownloading) {
    auto& ui = Sys().ui;
    if (askWhileDownloading && DownloadRunning()) {
        HideMainWindow();
        if (ui.MessageBox("任务下载中...是否强行结束当前下载?", "提示:", platform::kMbOkCancel) != platform::kAnswerOk)
            return;
        StopDownload();
    }
    ui.RemoveTrayIcon(kMain);
    Sys().process.EndProgram(0);
}

void OnTrayEvent(int type) {
    if (type == platform::kTrayLeftRelease)
        ShowMainWindow();
    else if (type == platform::kTrayContext)
        Sys().ui.PopupTrayMenu(kMain, kTrayMenu);
}

void OnSessionEnding() {
    // The user's log-off is never held up: no question, the download stops, the normal end follows.
    Sys().ui.RemoveTrayIcon(kMain);
    if (DownloadRunning()) StopDownload();
    Sys().process.EndProgram(0);
}

platform::WindowHandlers MainWindowHandlers() {
    using search::OpenAddress;
    platform::WindowHandlers h;
    h.closeRequest = [] { return std::optional<bool>(HideMainWindow()); };
    h.trayEvent = OnTrayEvent;
    h.sessionEnding = OnSessionEnding;
    h.clicked["按钮2"] = [] { ExitProgram(); };
    h.clicked["按钮11"] = [] { OpenModal(VideoSearchWindow(), search::SearchWindowHandlers("VideoSearchWindow")); };
    h.clicked["按钮4"] = [] {
        OpenModal(MovieDownloadSearchWindow(), search::SearchWindowHandlers("MovieDownloadSearchWindow"));
    };
    h.clicked["按钮5"] = [] { OpenModal(NetDiskSearchWindow(), search::SearchWindowHandlers("NetDiskSearchWindow")); };
    h.clicked["按钮9"] = [] { OpenModal(AboutWindow()); };
    h.clicked["按钮8"] = [] { OpenModal(GuideWindow()); };
    h.clicked["按钮10"] = [] { OpenModal(WebTvWindow()); };
    h.menuSelected["关于"] = [] { OpenModal(AboutWindow()); };
    h.clicked["按钮7"] = [] { OpenAddress(std::string("http://") + hosts::kForum + "/thread-32202-1-1.html"); };
    h.clicked["按钮6"] = [] { OpenAddress(std::string("http://") + hosts::kPlayerVendor + "/"); };
    for (const auto& t : search::Targets())
        if (std::string(t.window) == kMain) h.clicked[t.button] = [&t] { search::SearchClick(t); };
    h.clicked["按钮1"] = UpdateClick;
    h.ticks["时钟"] = ProgressTick;
    h.ticks["时钟1"] = LabelsTick;
    h.menuSelected["显示"] = ShowMainWindow;
    h.menuSelected["退出"] = [] { ExitProgram(); };
    return h;
}

}  // namespace mj::ui
