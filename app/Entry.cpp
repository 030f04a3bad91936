#include "app/AppState.h"
#include "resources/Blocks.h"
#include "search/Hosts.h"
#include "skin/Skin.h"
#include "ui/Definitions.h"
#include "ui/MainWindow.h"
#include "update/SavePath.h"

namespace mj {
namespace {

void MainWindowCreated() {
    auto& ui = Sys().ui;
    AppState& a = App();
    ApplySkin(3, "");
    ui.SetTrayIcon(ui::kMain, blocks::ProgramIcon(), ui::kTrayTip);
    a.UpdateUrl = std::string("http://") + hosts::kDownload + "/ljxz/vorb_ins_all.exe";
    a.SavePath = Sys().shell.SpecialFolder(platform::Folder::Desktop);
    ui.SetText(ui::kMain, "编辑框", "版本V1.6 新版本下载完毕后软件自动保存在桌面");
    a.AutoRunAfterDownload = 1;
    DeriveSavePath();
    ui.SetWindowIcon(ui::kMain, blocks::ProgramIcon());
}

}  // namespace

void StartProgram(platform::Platform& p) {
    BindPlatform(&p);
    InitApplication();
    p.process.RegisterCleanup(ReleaseApplication);
    DeploySkinEngine();
    platform::WindowHandlers h = ui::MainWindowHandlers();
    h.created = MainWindowCreated;
    if (!p.ui.OpenWindow(ui::MainWindow(), std::move(h), false)) p.process.FatalError("载入启动窗口失败");
}

int ProgramEntry(platform::Platform& p) {
    StartProgram(p);
    p.ui.RunEventLoop();
    return 0;
}

}  // namespace mj
