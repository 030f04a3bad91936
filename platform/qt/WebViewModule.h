// The interface of the web browser box's module, which alone links Qt WebEngine. Versioned: the loader
// refuses a module whose interface number differs, and resolves every symbol when it loads it.
#pragma once

#include <string>

class QWidget;

extern "C" {

struct MjWebViewSettings {
    const char* startAddress;
    int textSize;  // 0..4, clamped
    int offline;   // 1: only file, data and qrc requests go out
    int silent;    // 1: no script dialogs
};

inline constexpr int kMjWebViewApi = 1;
using MjWebViewApiFn = int (*)();
using MjCreateWebViewFn = QWidget* (*)(const MjWebViewSettings*, QWidget* parent);
}

namespace mj::platform::qt {

inline constexpr const char* kWebViewModuleFile = "libmj_webview.so";

// Where the module is looked for; the executable's folder unless set.
void SetWebViewModuleFolder(const std::string& folder);
// Creates a browser box, loading the module on the first call; an empty box when it cannot be loaded.
QWidget* CreateWebView(const MjWebViewSettings& s, QWidget* parent);
// Whether the module has been loaded in this process.
bool WebViewModuleLoaded();

}  // namespace mj::platform::qt
