// What MainWindow does: its buttons, the close-to-tray behaviour, the tray icon and the exit procedure.
#pragma once

#include "platform/Toolkit.h"

namespace mj::ui {

inline constexpr const char* kMain = "MainWindow";
inline constexpr const char* kTrayMenu = "托盘菜单";
inline constexpr const char* kTrayTip = "觅剧搜软件V1.6";

platform::WindowHandlers MainWindowHandlers();

// Asks before stopping a running download; a finished download's own exit passes ask = false.
void ExitProgram(bool askWhileDownloading = true);
bool HideMainWindow();
void ShowMainWindow();
void OnTrayEvent(int type);
void OnSessionEnding();

// Opens one of the other windows modal from MainWindow.
void OpenModal(const platform::WindowDef& def, platform::WindowHandlers handlers = {});

}  // namespace mj::ui
