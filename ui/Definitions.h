// The definitions of the program's windows.
#pragma once

#include <span>

#include "platform/WindowDef.h"

namespace mj::ui {

const platform::WindowDef& MainWindow();
const platform::WindowDef& VideoSearchWindow();
const platform::WindowDef& MovieDownloadSearchWindow();
const platform::WindowDef& NetDiskSearchWindow();
const platform::WindowDef& AboutWindow();
const platform::WindowDef& GuideWindow();
const platform::WindowDef& WebTvWindow();

// Every definition, for checks that hold for all windows.
std::span<const platform::WindowDef* const> AllWindows();

}  // namespace mj::ui
